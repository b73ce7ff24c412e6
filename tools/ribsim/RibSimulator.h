// SPDX-License-Identifier: GPL-3.0-or-later
// A RIB and the radio behind it, answering the RIB's text commands on the master side of a
// pseudo-terminal. Faults can be switched on per command to exercise the program's failure paths.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>

class QSocketNotifier;

using Block = std::array<uint8_t, 128>;

struct SimOptions {
    int cpu = 0x11;
    int revision = 1;
    QString saveFile;
    QHash<QString, bool> silent;     // command keyword -> never answered ("all": every command)
    QHash<QString, int> ignoreFirst; // command keyword -> receipts ignored before answering
    QHash<QString, bool> noPrompt;   // command keyword -> answered without the prompt
    QHash<QString, int> lateMs;      // command keyword -> answer delay
    QByteArray gidText;              // replaces the identification fields when set
    QByteArray cmpText;              // replaces the compare verdict when set
    bool compareDiffer = false;
    int badChecksumRecord = -1;
    int missingRecord = -1;
    bool noise = false;
    bool echo = false;
    int hangupAfter = -1;   // characters of the record answer before the line drops
    QString hangupOn;       // command keyword whose receipt drops the line (DATA: mid-records)
    bool flood = false;     // streams garbage from the start, as a device that is no RIB
    double msPerChar = 0;   // output pacing; 0 sends at once
    bool paceInput = false; // received characters also take msPerChar each to arrive
};

class RibSimulator : public QObject {
    Q_OBJECT
public:
    RibSimulator(int masterFd, const SimOptions& options, const Block& radio);
    void Save() const;
    // Characters received and sent so far.
    qint64 ReceivedCount() const { return receivedCount_; }
    qint64 SentCount() const { return sentCount_; }

private:
    static QString Keyword(const QByteArray& line);
    void OnReadable();
    void Receive(QByteArrayView text);
    void PaceInput();
    void Handle(const QByteArray& line);
    QByteArray Answer(const QString& keyword);
    QByteArray Records() const;
    void StoreRecords(const QByteArray& text);
    void Send(const QByteArray& text);
    void Pace();
    void WriteNow(const QByteArray& text);
    void HangUp();
    void Flood();

    int master_;
    SimOptions options_;
    Block radio_{};
    Block f000_{};
    Block f800_{};
    QSocketNotifier* notifier_;
    QByteArray line_;
    bool loadingRecords_ = false;
    QHash<QString, int> receipts_;
    QByteArray pending_;
    QTimer pacer_;
    QElapsedTimer paceClock_;
    double paceSent_ = 0;
    int noiseSeed_ = 0;
    qint64 receivedCount_ = 0;
    qint64 sentCount_ = 0;
    // Input pacing: characters read from the terminal and the time each reaches the RIB.
    QByteArray arriving_;
    QList<qint64> arrivalNs_;
    qint64 lineFreeNs_ = 0;
    QTimer inputPacer_;
    QTimer flooder_;
    QElapsedTimer clock_;
};
