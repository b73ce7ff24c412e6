// SPDX-License-Identifier: GPL-3.0-or-later
// What the Read Radio and Write Radio operations need from whoever runs them (the main window,
// or the command-line tool), in two parts: what a radio operation works on (RadioHost), and
// how an operation tells the operator (OperationReport, which the file flows use too). The
// operations themselves live in the link layer and never touch a widget.
#pragma once

#include "image/EEImage.h"
#include "platform/Backups.h"

#include <QString>
#include <cstdint>

namespace ostrand {

class RadioHost {
public:
    virtual ~RadioHost() = default;

    // The serial device to open (from the configuration).
    virtual QString SerialDevice() const = 0;
    // A read stores the radio's block here; a write sends the block it holds at the start.
    virtual EEImage& Image() = 0;
    // The CPU type and revision the image is shown and encoded for.
    virtual int16_t CurRadioID() const = 0;
    virtual int16_t CurRevision() const = 0;
    // Stores the identified CPU and revision, then refreshes whatever follows them (the CPU
    // label, the CCT lists and the grid). Called when an operation succeeds.
    virtual void SetIdentity(int16_t curRadioID, int16_t curRevision) = 0;
    // Where the block of every successful read and write is kept; none when null.
    virtual BackupStore* Backups() { return nullptr; }
};

class OperationReport {
public:
    virtual ~OperationReport() = default;

    // The status window: shown fresh at the start of an operation, each text replacing the
    // last, closed at the end. A terminal only prints the texts.
    virtual void ShowStatus() {}
    virtual void SetStatus(const QString& text) = 0;
    virtual void CloseStatus() {}
    virtual void Beep() = 0;
    // Whether a failure text stays up for the 3-second pause (a terminal keeps its lines).
    virtual bool PausesAfterFailure() const { return true; }
    // The "CPU Version Warning" Yes/No box with the stop icon; true when the operator says Yes.
    virtual bool ConfirmCpuMismatch(const QString& text, const QString& title) = 0;
    virtual void Log(const QString& text) = 0; // debug_log
};

} // namespace ostrand
