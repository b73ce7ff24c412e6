#include "link/RadioOperations.h"

#include "link/RibLink.h"

#include <algorithm>

namespace ostrand {

namespace {

enum class Outcome { Done, Failed, Declined };

bool OpenPort(RibLink& link, RadioHost& host, const QString& prefix) {
    QString failure;
    if (link.Open(failure)) {
        host.Log(prefix + ": PortOpen=True");
        host.ShowStatus();
        return true;
    }
    host.Log(prefix + ": Port open failed - " + failure);
    host.ShowStatus();
    host.SetStatus(failure);
    return false;
}

bool WakeRib(RibLink& link, RadioHost& host, const QString& found) {
    host.SetStatus("Searching for RIB...");
    if (!link.FindRIB()) {
        host.SetStatus("RIB not found");
        return false;
    }
    host.SetStatus(found);
    return true;
}

bool IdentifyRadio(RibLink& link, RadioHost& host) {
    if (!link.GetRadioID()) {
        host.SetStatus("Bad Radio ID");
        return false;
    }
    const FirmwareCheck check = CheckFirmware(host.CurRadioID(), host.CurRevision());
    host.SetStatus(check.text);
    return check.accepted;
}

bool Command(RibLink& link, RadioHost& host, const char* command, const QString& name) {
    if (!link.SendCmdWaitPrompt(command)) {
        host.SetStatus("Failed while sending " + name);
        return false;
    }
    host.SetStatus(name + " sent OK");
    return true;
}

Block BlockOf(const EEImage& image) {
    Block block;
    std::copy_n(image.begin(), kBlockSize, block.begin());
    return block;
}

Outcome ReadSteps(RibLink& link, RadioHost& host) {
    if (!WakeRib(link, host, "Found RIB") || !IdentifyRadio(link, host)) return Outcome::Failed;
    link.delay(400);
    if (!Command(link, host, rib::kSid, "SID") || !Command(link, host, rib::kRrd, "RRD"))
        return Outcome::Failed;
    // Received into a copy: the image changes only when the whole block arrived intact.
    Block received = BlockOf(host.Image());
    bool passfail = false;
    link.GetIntelHex(rib::kIot, received, passfail);
    if (!passfail) {
        host.SetStatus("Failed while reading Data");
        host.Log("cmdRead: Read Failed");
        return Outcome::Failed;
    }
    std::copy(received.begin(), received.end(), host.Image().begin());
    host.SetStatus("Data was Read OK");
    host.Log("cmdRead: Read OK");
    host.SetStatus("Done");
    link.delay(1000);
    return Outcome::Done;
}

Outcome WriteSteps(RibLink& link, RadioHost& host, const Block& block) {
    if (!WakeRib(link, host, "Found RIB OK")) return Outcome::Failed;
    const int16_t encodedFor = host.CurRadioID();
    if (!IdentifyRadio(link, host)) return Outcome::Failed;
    link.delay(400);
    if (link.Aborted()) return Outcome::Failed;
    if (encodedFor != host.CurRadioID() &&
        !host.ConfirmCpuMismatch(kCpuWarningText, kCpuWarningTitle))
        return Outcome::Declined;
    bool passfail = false;
    link.PutIntelHex(rib::kIit, block, passfail);
    if (!passfail) {
        host.SetStatus("Failed while Writing Data");
        return Outcome::Failed;
    }
    host.SetStatus("Write ok so far");
    if (!Command(link, host, rib::kSid, "SID") || !Command(link, host, rib::kWrd, "WRD") ||
        !Command(link, host, rib::kRrd, "RRD"))
        return Outcome::Failed;
    if (!link.GetCompareResult(rib::kCmp)) {
        host.SetStatus("Verify failed");
        return Outcome::Failed;
    }
    host.SetStatus("Verify OK!");
    link.delay(1000);
    return Outcome::Done;
}

void FailureEnd(RibLink& link, RadioHost& host) {
    // A window that is closing gets no beep and no pause.
    if (link.Aborted() || host.Closing()) return;
    host.Beep();
    link.delay(3000);
}

} // namespace

bool ReadRadio(RadioHost& host, const LinkTiming& timing) {
    host.SetReadEnabled(false);
    host.SetWriteEnabled(false);
    host.Log("mdRead: Entered");
    Outcome outcome = Outcome::Failed;
    {
        RibLink link(host, timing);
        if (OpenPort(link, host, "Read")) outcome = ReadSteps(link, host);
        if (outcome == Outcome::Failed) FailureEnd(link, host);
        host.CloseStatus();
        link.Close();
    }
    host.Log("Read: PortOpen=False");
    host.DecodeGrid();
    host.SetReadEnabled(true);
    host.SetWriteEnabled(true);
    host.Log("cmdRead: Exiting");
    return outcome == Outcome::Done;
}

bool WriteRadio(RadioHost& host, const LinkTiming& timing) {
    host.Log("cmdWrite: Entered");
    host.SetWriteEnabled(false);
    host.SetReadEnabled(false);
    host.EncodeGrid();
    host.DecodeGrid();
    // What the grid held at the click is what goes to the radio, whatever is edited meanwhile.
    const Block block = BlockOf(host.Image());
    Outcome outcome = Outcome::Failed;
    {
        RibLink link(host, timing);
        if (OpenPort(link, host, "Write")) outcome = WriteSteps(link, host, block);
        if (outcome == Outcome::Failed) FailureEnd(link, host);
        host.CloseStatus();
        link.Close();
    }
    host.Log("Write: PortOpen=False");
    host.SetWriteEnabled(true);
    host.SetReadEnabled(true);
    return outcome == Outcome::Done;
}

} // namespace ostrand
