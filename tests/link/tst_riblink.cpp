// The exchanges, Read Radio and Write Radio over the simulated RIB's pseudo-terminal with every
// timeout scaled down. Every fault of the RIB and the line is in the fault matrix.
#include "RecordingHost.h"
#include "RibSimProcess.h"
#include "SimRadio.h"
#include "link/RadioOperations.h"
#include "link/RibLink.h"

#include <QTest>
#include <QTimer>

using namespace ostrand;

namespace {

struct Rig {
    RibSimProcess sim;
    RecordingHost host;
    explicit Rig(const QStringList& args) : sim(args) { host.device = sim.Device(); }
    // The log lines with their quoted contents cut off, to compare the order.
    QString Heads() const {
        const QRegularExpression quoted("'.*", QRegularExpression::DotMatchesEverythingOption);
        return QStringList(host.logLines).replaceInStrings(quoted, "").join('|');
    }
};

// Tries("P: ", "A|{B|C #}|D", 2) is "P: A|P: B|P: C 10|P: B|P: C 9|P: D": the part in braces
// once per try, # counting down from 10, every line after the prefix.
QString Tries(const QString& prefix, QString pattern, int tries) {
    const qsizetype open = pattern.indexOf('{'), close = pattern.indexOf('}');
    QStringList each;
    for (int i = 0; open >= 0 && i < tries; ++i)
        each << pattern.mid(open + 1, close - open - 1).replace('#', QString::number(10 - i));
    if (open >= 0) pattern = pattern.left(open) + each.join('|') + pattern.mid(close + 1);
    return prefix + pattern.split('|').join('|' + prefix);
}

} // namespace

class TestRibLink : public QObject {
    Q_OBJECT
private slots:
    // Each exchange against a RIB that answers late, after some tries or never (at once: below).
    void exchange_data() {
        QTest::addColumn<QString>("command"); // as the simulator reports it
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("sends");
        QTest::addColumn<double>("factor");
        const auto row = [](const char* tag, const char* command, QStringList args, bool result,
                            int sends, double factor = 0.1) {
            QTest::newRow(tag) << QString(command) << args << result << sends << factor;
        };
        const char *wake = "<ESC>ZZZZ", *sid = "SID = 10", *cmp = "CMP F000-F800=80";
        row("RIB never answers: ten tries", wake, {"--silent", "WAKE"}, false, 10);
        row("RIB answers only the tenth", wake, {"--ignore", "WAKE:9"}, true, 10);
        // The 2 s wait lasts 1000 ms and the answer comes 1500 ms after each command: half a
        // second of slack either way on a loaded machine.
        row("answer after 3 s: sent twice", sid, {"--late", "SID:1500"}, true, 2, 0.5);
        row("prompt only after the fourth", sid, {"--ignore", "SID:3"}, true, 4);
        row("prompt never: four tries", sid, {"--silent", "SID"}, false, 4);
        row("<> ends at once, no retry", cmp, {"--compare-differ"}, false, 1);
        row("both <> and == is equal", cmp, {"--cmp-text", "<>=="}, true, 1);
        row("scattered = < >: no verdict, four tries", cmp, {"--cmp-text", "= < > ="}, false, 4);
    }
    void exchange() {
        QFETCH(QString, command);
        QFETCH(QStringList, args);
        QFETCH(bool, result);
        QFETCH(int, sends);
        QFETCH(double, factor);
        Rig rig(args);
        Clock clock(factor);
        RibLink link(rig.host, clock);
        QString failure;
        QVERIFY2(link.Open(rig.host.device, failure), qPrintable(failure));
        QString name, log;
        if (command.startsWith("<ESC>")) {
            QCOMPARE(link.FindRIB(), result);
            name = "FindRIB", log = "Entered|{Sent Init|Wait exited with |cnt=#}|Loop exited with ";
        } else if (command.startsWith("SID")) {
            QCOMPARE(link.SendCmdWaitPrompt("SID = 10\r\n"), result);
            name = "SendCmdWaitPrompt",
            log = "Entered|{Sent |wait exited with }|loop exited with |";
            log += result ? "True" : "False";
        } else {
            QCOMPARE(link.GetCompareResult("CMP F000-F800=80\r\n"), result);
            name = "GetCompareResult", log = result ? "Entered with |True|" : "Entered with |";
            log += "Exiting with ";
        }
        QCOMPARE(rig.Heads(), Tries(name + ": ", log, sends));
        QTRY_COMPARE(rig.sim.Received().filter(command).size(), sends);
    }

    // Whole operations: the statuses, window events, commands and log in order. A write of an
    // image encoded for the other CPU asks first; No sends nothing more and is no failure, Yes
    // writes the records in one line, the end record right after them. A window closing in the
    // first wait ends a read there, with no beep and no pause.
    void operation_data() {
        QTest::addColumn<bool>("write");
        QTest::addColumn<int>("answer"); // to the CPU question: 0 No, 1 Yes, -1 not asked
        QTest::addColumn<bool>("closing");
        QTest::addColumn<QString>("statuses");
        QTest::addColumn<QString>("received");
        QTest::addColumn<QString>("log"); // the heads of the log lines
        const auto row = [](const char* tag, bool write, int answer, bool closing,
                            const QString& statuses, const QString& received, const QString& log) {
            QTest::newRow(tag) << write << answer << closing << statuses << received << log;
        };
        // One try of each exchange, and the lines after it.
        const auto once = [](const char* name, const char* lines) {
            return Tries(QString(name) + ": ", lines, 1) + '|';
        };
        const QString find =
            once("FindRIB", "Entered|Sent Init|Wait exited with |cnt=10|Loop exited with ");
        const QString cmd =
            once("SendCmdWaitPrompt", "Entered|Sent |wait exited with |loop exited with |True");
        row("read", false, -1, false,
            "Searching for RIB...|Found RIB|Delta-S Firmware\nSoftware Revision 2|SID sent OK|RRD "
            "sent OK|Data was Read OK|Done",
            "<ESC>ZZZZ|GID 2 = 0|SID = 10|RRD 7F-2=0|IOT F800-80=0",
            "mdRead: Entered|Read: PortOpen=True|" + find +
                once("GetRadioID", "Entered|GID sent|wait exited with |cnt=4|Loop exited with ") +
                cmd + cmd + once("GetIntelHex", "Entered|Sent |Wait exited with |found EOR") +
                "cmdRead: Read OK|Read: PortOpen=False|cmdRead: Exiting");
        row("read, window closing", false, -1, true, "Searching for RIB...|RIB not found",
            "<ESC>ZZZZ",
            "mdRead: Entered|Read: PortOpen=True|" + find +
                "Read: PortOpen=False|cmdRead: Exiting");
        const QString found =
            "Searching for RIB...|Found RIB OK|Delta-SX Firmware\nSoftware Revision 1";
        row("write for the other CPU, No", true, 0, false, found, "<ESC>ZZZZ|GID 2 = 0", "");
        row("write for the other CPU, Yes", true, 1, false,
            found + "|Write ok so far|SID sent OK|WRD sent OK|RRD sent OK|Verify OK!",
            "<ESC>ZZZZ|GID 2 = 0|IIT =F000|" + QString(IntelHexFields(Pattern(9)).join()) +
                ":00000001FF|SID = 10|WRD 7F-2=0|RRD 7F-2=0|CMP F000-F800=80",
            "");
    }
    void operation() {
        QFETCH(bool, write);
        QFETCH(int, answer);
        QFETCH(bool, closing);
        // The read meets the older CPU, the write the newer one (the simulator's own).
        Rig rig(closing ? QStringList{"--silent", "all"}
                        : QStringList{"--cpu", write ? "0x11" : "0x10", "--revision",
                                      write ? "1" : "2"});
        rig.host.radioId = 16, rig.host.answerYes = answer == 1;
        const Block edited = Pattern(9);
        std::copy(edited.begin(), edited.end(), rig.host.image.begin());
        // Closing runs in the first event loop, the wait after the first wake-up; in real time,
        // so that wait cannot time out before the closing is seen.
        Clock clock(closing ? 1.0 : kTenth);
        if (closing) QTimer::singleShot(0, &clock, &Clock::Stop);
        QCOMPARE(write ? WriteRadio(rig.host, rig.host, clock)
                       : ReadRadio(rig.host, rig.host, clock),
                 !closing && answer != 0);
        QTEST(rig.host.statuses.join('|'), "statuses");
        QCOMPARE(rig.host.events.join('|'), "show|close");
        const QString warning = "CPU Version Warning: Target Radio CPU expects an EEPROM format "
                                "different than you are attempting to write.  Do you wish to "
                                "contine?";
        QCOMPARE(rig.host.questions, answer < 0 ? QStringList{} : QStringList{warning});
        QFETCH(QString, received);
        QTRY_COMPARE(rig.sim.Received().join('|'), received);
        QFETCH(QString, log);
        if (!log.isEmpty()) QCOMPARE(rig.Heads(), log);
    }
};

QTEST_GUILESS_MAIN(TestRibLink)
#include "tst_riblink.moc"
