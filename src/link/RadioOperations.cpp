#include "link/RadioOperations.h"

#include "image/RecordCodec.h"
#include "link/RibLink.h"

#include <algorithm>

namespace ostrand {

namespace {

enum class Outcome { Done, Failed, Declined };

// One operation: its link and what it decides by.
struct Operation {
    Operation(RadioHost& h, const LinkTiming& timing)
        : host(h), link(h, timing), device(h.SerialDevice()), curRadioID(h.CurRadioID()),
          curRevision(h.CurRevision()) {}

    RadioHost& host;
    RibLink link;
    // The snapshot at the click.
    const QString device;
    const int16_t curRadioID;
    const int16_t curRevision;
    // What identification found.
    int16_t radioID = 0;
    int16_t revision = 0;
    bool wrdSent = false; // from here on the radio's memory may have changed

    // The failure text of a step, unless the line went away: then that is what failed.
    Outcome Fail(const QString& text) {
        if (!link.LineGone()) {
            host.SetStatus(text);
        } else {
            host.SetStatus("Lost the connection to " + DevicePath(device) +
                           ". Is the RIB still plugged in?" +
                           (wrdSent ? "\nThe radio may hold a partial personality: write it "
                                      "again once the RIB answers."
                                    : ""));
        }
        return Outcome::Failed;
    }
};

bool OpenPort(Operation& op, const QString& prefix) {
    QString failure;
    if (op.link.Open(op.device, failure)) {
        op.host.Log(prefix + ": PortOpen=True");
        op.host.ShowStatus();
        return true;
    }
    op.host.Log(prefix + ": Port open failed - " + failure);
    op.host.ShowStatus();
    op.host.SetStatus(failure);
    return false;
}

bool WakeRib(Operation& op, const QString& found) {
    op.host.SetStatus("Searching for RIB...");
    if (!op.link.FindRIB()) {
        op.Fail("RIB not found");
        return false;
    }
    op.host.SetStatus(found);
    return true;
}

bool IdentifyRadio(Operation& op) {
    RadioIdFields fields;
    const bool ok = op.link.GetRadioID(fields);
    // A missing field keeps the value the host had.
    op.radioID = fields.id.value_or(op.curRadioID);
    op.revision = fields.revision.value_or(op.curRevision);
    if (!ok) {
        // The host's CPU line no longer changes on a failed identification: say what was found.
        const bool found = fields.id && fields.revision;
        op.Fail(found ? "Bad Radio ID\n" + CpuLabelText(op.radioID, op.revision)
                      : QStringLiteral("Bad Radio ID"));
        return false;
    }
    const FirmwareCheck check = CheckFirmware(op.radioID, op.revision);
    op.host.SetStatus(check.text);
    return check.accepted;
}

bool Command(Operation& op, const char* command, const QString& name) {
    if (!op.link.SendCmdWaitPrompt(command)) {
        op.Fail("Failed while sending " + name);
        return false;
    }
    op.host.SetStatus(name + " sent OK");
    return true;
}

Block BlockOf(const EEImage& image) {
    Block block;
    std::copy_n(image.begin(), kBlockSize, block.begin());
    return block;
}

Outcome ReadSteps(Operation& op) {
    if (!WakeRib(op, "Found RIB") || !IdentifyRadio(op)) return Outcome::Failed;
    op.link.delay(400);
    if (!Command(op, rib::kSid, "SID") || !Command(op, rib::kRrd, "RRD")) return Outcome::Failed;
    // Received into a copy: the image changes only when the whole block arrived intact.
    Block received = BlockOf(op.host.Image());
    bool passfail = false;
    op.link.GetIntelHex(rib::kIot, received, passfail);
    if (!passfail) {
        op.Fail("Failed while reading Data");
        op.host.Log("cmdRead: Read Failed");
        return Outcome::Failed;
    }
    // Shown at once in the layout of the radio it came from: an edit during the last pause
    // then works on the radio's channels.
    std::copy(received.begin(), received.end(), op.host.Image().begin());
    op.host.SetIdentity(op.radioID, op.revision);
    op.host.SetStatus("Data was Read OK");
    op.host.Log("cmdRead: Read OK");
    op.host.SetStatus("Done");
    op.link.delay(1000);
    return Outcome::Done;
}

Outcome WriteSteps(Operation& op, const Block& block) {
    if (!WakeRib(op, "Found RIB OK") || !IdentifyRadio(op)) return Outcome::Failed;
    op.link.delay(400);
    if (op.link.Aborted()) return Outcome::Failed;
    if (op.curRadioID != op.radioID &&
        !op.host.ConfirmCpuMismatch(kCpuWarningText, kCpuWarningTitle))
        return Outcome::Declined;
    bool passfail = false;
    op.link.PutIntelHex(rib::kIit, block, passfail);
    if (!passfail) return op.Fail("Failed while Writing Data");
    op.host.SetStatus("Write ok so far");
    if (!Command(op, rib::kSid, "SID")) return Outcome::Failed;
    op.wrdSent = true;
    if (!Command(op, rib::kWrd, "WRD") || !Command(op, rib::kRrd, "RRD")) return Outcome::Failed;
    if (!op.link.GetCompareResult(rib::kCmp)) return op.Fail("Verify failed");
    op.host.SetStatus("Verify OK!");
    if (op.host.CurRadioID() == op.curRadioID && op.host.CurRevision() == op.curRevision)
        op.host.SetIdentity(op.radioID, op.revision);
    op.link.delay(1000);
    return Outcome::Done;
}

void FailureEnd(Operation& op) {
    // A window that is closing gets no beep and no pause.
    if (op.link.Aborted() || op.host.Closing()) return;
    op.host.Beep();
    if (op.host.PausesAfterFailure()) op.link.delay(3000);
}

} // namespace

bool ReadRadio(RadioHost& host, const LinkTiming& timing) {
    host.SetReadEnabled(false);
    host.SetWriteEnabled(false);
    host.Log("mdRead: Entered");
    Outcome outcome = Outcome::Failed;
    {
        Operation op(host, timing);
        if (OpenPort(op, "Read")) outcome = ReadSteps(op);
        if (outcome == Outcome::Failed) FailureEnd(op);
        host.CloseStatus();
        op.link.Close();
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
    const Block block = BlockOf(host.Image());
    Outcome outcome = Outcome::Failed;
    {
        Operation op(host, timing);
        if (OpenPort(op, "Write")) outcome = WriteSteps(op, block);
        if (outcome == Outcome::Failed) FailureEnd(op);
        host.CloseStatus();
        op.link.Close();
    }
    host.Log("Write: PortOpen=False");
    host.SetWriteEnabled(true);
    host.SetReadEnabled(true);
    return outcome == Outcome::Done;
}

} // namespace ostrand
