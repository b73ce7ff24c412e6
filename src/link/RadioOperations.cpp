// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/RadioOperations.h"

#include "image/RecordCodec.h"
#include "link/RibLink.h"

#include <algorithm>

namespace ostrand {

namespace {

enum class Outcome { Done, Failed, Declined };

// One operation: its link and what it decides by.
struct Operation {
    Operation(RadioHost& h, OperationReport& r, Clock& c)
        : host(h), report(r), clock(c), link(r, c), device(h.SerialDevice()),
          curRadioID(h.CurRadioID()), curRevision(h.CurRevision()) {}

    RadioHost& host;
    OperationReport& report;
    Clock& clock;
    RibLink link;
    // The snapshot at the click.
    const QString device;
    const int16_t curRadioID;
    const int16_t curRevision;
    // What identification found.
    int16_t radioID = 0;
    int16_t revision = 0;
    bool wrdSent = false; // from here on the radio's memory may have changed
    bool writing = false;

    // The failure text of a step, unless the operator cancelled or the line went away: then
    // that is what ended it.
    Outcome Fail(const QString& text) {
        if (link.Aborted()) {
            report.SetStatus(CancelledText());
        } else if (!link.LineGone()) {
            report.SetStatus(text);
        } else {
            report.SetStatus("Lost the connection to " + DevicePath(device) +
                             ". Is the RIB still plugged in?" +
                             (wrdSent ? "\nThe radio may hold a partial personality: write it "
                                        "again once the RIB answers."
                                      : ""));
        }
        return Outcome::Failed;
    }

    QString CancelledText() const {
        if (!writing) return QStringLiteral("Cancelled: nothing was read.");
        // The RIB writes the radio's memory only on WRD; up to then it holds the block alone.
        return wrdSent ? QStringLiteral("Cancelled: the radio may hold a partial "
                                        "personality: write it again.")
                       : QStringLiteral("Cancelled: the radio was not written.");
    }
};

bool OpenPort(Operation& op, const QString& prefix) {
    QString failure;
    if (op.link.Open(op.device, failure)) {
        op.report.Log(prefix + ": PortOpen=True");
        op.report.ShowStatus();
        return true;
    }
    op.report.Log(prefix + ": Port open failed - " + failure);
    op.report.ShowStatus();
    op.report.SetStatus(failure);
    return false;
}

bool WakeRib(Operation& op, const QString& found) {
    op.report.SetStatus("Searching for RIB...");
    if (!op.link.FindRIB()) {
        op.Fail("RIB not found");
        return false;
    }
    op.report.SetStatus(found);
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
    op.report.SetStatus(check.text);
    return check.accepted;
}

bool Command(Operation& op, const char* command, const QString& name) {
    if (!op.link.SendCmdWaitPrompt(command)) {
        op.Fail("Failed while sending " + name);
        return false;
    }
    op.report.SetStatus(name + " sent OK");
    return true;
}

// A backup that cannot be kept is told, and the text stays up as long as a failure's does,
// but the operation has succeeded all the same.
int KeepBackup(Operation& op, const QString& what, const Block& block, const QString& shown) {
    BackupStore* store = op.host.Backups();
    if (!store) return 1000;
    EEImage image{};
    std::copy(block.begin(), block.end(), image.begin());
    const BackupResult kept = store->Keep(what, op.radioID, image);
    if (kept.problem.isEmpty()) {
        op.report.Log("Backup: " + kept.path);
        return 1000;
    }
    op.report.Log("Backup: failed - " + kept.problem);
    op.report.SetStatus(shown + "\nNo backup kept: " + kept.problem);
    return 3000;
}

Block BlockOf(const EEImage& image) {
    Block block;
    std::copy_n(image.begin(), kBlockSize, block.begin());
    return block;
}

Outcome ReadSteps(Operation& op, EEImage* kept) {
    if (!WakeRib(op, "Found RIB") || !IdentifyRadio(op)) return Outcome::Failed;
    op.link.delay(400);
    if (!Command(op, rib::kSid, "SID") || !Command(op, rib::kRrd, "RRD")) return Outcome::Failed;
    // Received into a copy: the image changes only when the whole block arrived intact.
    Block received = BlockOf(op.host.Image());
    bool passfail = false;
    op.link.GetIntelHex(rib::kIot, received, passfail);
    if (!passfail) {
        op.Fail("Failed while reading Data");
        op.report.Log("cmdRead: Read Failed");
        return Outcome::Failed;
    }
    // Shown at once in the layout of the radio it came from: an edit during the last pause
    // then works on the radio's channels.
    std::copy(received.begin(), received.end(), op.host.Image().begin());
    if (kept) *kept = op.host.Image();
    op.host.SetIdentity(op.radioID, op.revision);
    op.report.SetStatus("Data was Read OK");
    op.report.Log("cmdRead: Read OK");
    op.report.SetStatus("Done");
    op.link.delay(KeepBackup(op, "read", received, "Done"));
    return Outcome::Done;
}

Outcome WriteSteps(Operation& op, const Block& block) {
    if (!WakeRib(op, "Found RIB OK") || !IdentifyRadio(op)) return Outcome::Failed;
    op.link.delay(400);
    if (op.link.Aborted()) return op.Fail({});
    if (op.curRadioID != op.radioID &&
        !op.report.ConfirmCpuMismatch(kCpuWarningText, kCpuWarningTitle))
        return Outcome::Declined;
    bool passfail = false;
    op.link.PutIntelHex(rib::kIit, block, passfail);
    if (!passfail) return op.Fail("Failed while Writing Data");
    op.report.SetStatus("Write ok so far");
    if (!Command(op, rib::kSid, "SID")) return Outcome::Failed;
    op.wrdSent = true;
    if (!Command(op, rib::kWrd, "WRD") || !Command(op, rib::kRrd, "RRD")) return Outcome::Failed;
    if (!op.link.GetCompareResult(rib::kCmp)) return op.Fail("Verify failed");
    op.report.SetStatus("Verify OK!");
    if (op.host.CurRadioID() == op.curRadioID && op.host.CurRevision() == op.curRevision)
        op.host.SetIdentity(op.radioID, op.revision);
    op.link.delay(KeepBackup(op, "write", block, "Verify OK!"));
    return Outcome::Done;
}

void FailureEnd(Operation& op) {
    // A window that is closing gets no beep and no pause.
    if (op.link.Aborted() || op.clock.Stopped()) return;
    op.report.Beep();
    if (op.report.PausesAfterFailure()) op.link.delay(3000);
}

} // namespace

bool ReadRadio(RadioHost& host, OperationReport& report, Clock& clock, EEImage* received) {
    report.Log("mdRead: Entered");
    Outcome outcome = Outcome::Failed;
    {
        Operation op(host, report, clock);
        if (OpenPort(op, "Read")) outcome = ReadSteps(op, received);
        if (outcome == Outcome::Failed) FailureEnd(op);
        report.CloseStatus();
        op.link.Close();
    }
    report.Log("Read: PortOpen=False");
    report.Log("cmdRead: Exiting");
    return outcome == Outcome::Done;
}

bool WriteRadio(RadioHost& host, OperationReport& report, Clock& clock) {
    report.Log("cmdWrite: Entered");
    const Block block = BlockOf(host.Image());
    Outcome outcome = Outcome::Failed;
    {
        Operation op(host, report, clock);
        op.writing = true;
        if (OpenPort(op, "Write")) outcome = WriteSteps(op, block);
        if (outcome == Outcome::Failed) FailureEnd(op);
        report.CloseStatus();
        op.link.Close();
    }
    report.Log("Write: PortOpen=False");
    return outcome == Outcome::Done;
}

} // namespace ostrand
