// SPDX-License-Identifier: GPL-3.0-or-later
// ostrand-cli end to end: the real executable on real files, and against the simulated RIB.
// What it prints, writes, logs and sends for given files, plans and radios, refusals
// included, is pinned by the regression check (tests/regression); this is about the freedom a
// plan's layout has, the manual pages, the file type and a line lost in real time.
#include "RibSimProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kHeader = "Channel,Tx Freq.,Rx Freq.,PLL Ref. Position,PLL Ref. Item,Tx CG/DCG,"
                        "Rx CG/DCG,STE,CCT Position,CCT Item,Tx W,Tx Z,Rx W,Rx Z";
const QString kWorkedRecord = "43BB08C9A22CA131";
const QString kWorkedLine = "1,155.3625,160.0000,3,6.250kHz,023,100.0,1,2,60 Sec,0,1,1,0";
// The regression check's configuration; band 1 with these options is the worked example's
// low side of 10 MHz.
const QString kLowSide = " --injection lo --if-freq 10.0";

// A plan with a header: the given channel lines, every other channel empty.
QString Plan(const QMap<int, QString>& lines = {}) {
    QString text = kHeader + "\n";
    for (int c = 1; c <= 16; ++c)
        text += lines.value(c, QString::number(c) + ",,,0,,,,0,0,,0,0,0,0") + "\n";
    return text;
}

struct Result {
    int code;
    QString out, err;
    QStringList Lines() const { return out.split('\n', Qt::SkipEmptyParts); }
};

} // namespace

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QString Path(const QString& name) const { return dir_.filePath(name); }
    QString Read(const QString& name) const {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }
    void Write(const QString& name, const QString& content) {
        QFile f(Path(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write test file");
        f.write(content.toUtf8());
    }
    // A command line split at spaces; "%D" stands for the test folder; --config defaults to
    // the test one.
    Result Run(QString line) {
        QStringList args = line.replace("%D", dir_.path()).split(' ', Qt::SkipEmptyParts);
        if (!args.contains("--config") && args.first() != "ports")
            args << "--config" << Path("Ostrand.ini");
        QProcess p;
        p.start(qEnvironmentVariable("OSTRAND_BINARY_DIR") + "/ostrand-cli", args);
        const bool done = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
        return {done ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        const QString source = qEnvironmentVariable("OSTRAND_SOURCE_DIR");
        QVERIFY(QFile::copy(source + "/tests/regression/Ostrand.ini", Path("Ostrand.ini")));
        // The MIME database with the package file as installed, beside the system's.
        QVERIFY(QDir().mkpath(Path("share/mime/packages")));
        QVERIFY(QFile::copy(source + "/data/desktop/ostrand-mime.xml",
                            Path("share/mime/packages/ostrand.xml")));
        qputenv("XDG_DATA_DIRS", (Path("share") + ":/usr/local/share:/usr/share").toLocal8Bit());
    }

    // A typed plan is stored as the record, printed as stored, and decodes back to exactly
    // what was printed, however the plan is laid out: no header, any order, CR LF, comments,
    // blanks, quotes and trailing zeros.
    void planStored() {
        QStringList lines = Plan({{1, R"("1", 155.36250 ,"160.00",3,"a, b","23","100.0",1,2,)"
                                      R"("x""y",0,1,1,0)"}})
                                .split('\n', Qt::SkipEmptyParts)
                                .mid(1);
        std::reverse(lines.begin(), lines.end());
        Write("plan.csv", "# plan\r\n\r\n" + lines.join("\r\n") + "\r\n  \r\n");
        const Result e = Run("encode %D/plan.csv -o %D/out.DSX" + kLowSide);
        QVERIFY2(e.code == 0 && e.err.isEmpty(), qPrintable(e.err));
        QCOMPARE(e.Lines().value(0), kHeader);
        QCOMPARE(e.Lines().value(1), kWorkedLine);
        QCOMPARE(Read("out.DSX").mid(224, 16), kWorkedRecord);
        QCOMPARE(Run("decode %D/out.DSX" + kLowSide).out, e.out);
    }

    // Each manual page names every option that its program's --help lists: the CLI's page is
    // made from the tables --help prints, ribsim's is written by hand.
    void manPagesNameEveryOption_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("command");
        QTest::newRow("ribsim") << "ribsim"
                                << "";
        QTest::newRow("ostrand") << "ostrand"
                                 << "";
        for (const QString& line : Run("--help").Lines())
            if (line.startsWith("  "))
                QTest::newRow(qPrintable("ostrand-cli " + line.section(' ', 2, 2)))
                    << "ostrand-cli" << line.section(' ', 2, 2);
    }
    void manPagesNameEveryOption() {
        QFETCH(QString, program);
        QFETCH(QString, command);
        const QString bin = qEnvironmentVariable("OSTRAND_BINARY_DIR");
        QFile page(bin + "/man/" + program + ".1");
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString man = QString::fromUtf8(page.readAll());
        QProcess p;
        p.start(bin + '/' + program, QStringList{command, "--help"}.mid(command.isEmpty()));
        QVERIFY(p.waitForFinished() && p.exitCode() == 0);
        const QString help = QString::fromUtf8(p.readAllStandardOutput());
        if (!command.isEmpty()) {
            QVERIFY(man.contains("\\fB" + command + "\\fR"));
            QCOMPARE(Run(command + " --help-all").out, help);
        }
        static const QRegularExpression option("^  (?:(-\\w), )?(--[\\w-]+)",
                                               QRegularExpression::MultilineOption);
        QStringList names;
        for (const QRegularExpressionMatch& m : option.globalMatch(help))
            names << m.capturedTexts().mid(1);
        names.removeAll(QString());
        QVERIFY(names.size() > 2);
        for (QString name : names)
            QVERIFY2(man.contains(name.replace("-", "\\-")), qPrintable(name));
    }

    // The printed page holds the definition's name and every frequency the grid shows, under
    // each record layout (pdftotext reads the PDF's text back).
    void printHoldsThePlan_data() {
        QTest::addColumn<QString>("options");
        QTest::newRow("Delta-SX") << "";
        QTest::newRow("Delta-S, band 2") << " --band 2 --cpu 16";
    }
    void printHoldsThePlan() {
        QFETCH(QString, options);
        QVERIFY(QFile::copy(qEnvironmentVariable("OSTRAND_SOURCE_DIR") +
                                "/tests/regression/channels.DSX",
                            Path("print.DSX")) ||
                QFile::exists(Path("print.DSX")));
        QCOMPARE(Run("print %D/print.DSX -o %D/plan.pdf" + options).code, 0);
        QProcess text;
        text.start("pdftotext", {"-layout", Path("plan.pdf"), "-"});
        QVERIFY2(text.waitForFinished(), "pdftotext (poppler-utils) is needed");
        const QString page = QString::fromUtf8(text.readAllStandardOutput());
        const QString band = options.isEmpty() ? "1" : "2";
        QVERIFY(page.contains(Run("bands").Lines().value(band.toInt()).section(',', 1, 1)));
        QStringList frequencies;
        for (const QString& line : Run("decode %D/print.DSX" + options).Lines().mid(1))
            frequencies << line.section(',', 1, 2).split(',', Qt::SkipEmptyParts);
        QVERIFY(frequencies.size() > 4);
        for (const QString& frequency : frequencies)
            QVERIFY2(page.contains(frequency), qPrintable(frequency));
    }

    // The window's program answers --help and --version on standard output and exits 0
    // without a window: it needs no display at all.
    void windowProgramOptions() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb"), env.remove("DISPLAY"), env.remove("WAYLAND_DISPLAY");
        for (const auto& [option, first] : {std::pair{"--help", "Usage: ostrand [options] [FILE]"},
                                            std::pair{"--version", "Ostrand 1.0.0"}}) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(qEnvironmentVariable("OSTRAND_BINARY_DIR") + "/ostrand", {option});
            QVERIFY(p.waitForFinished() && p.exitStatus() == QProcess::NormalExit);
            QCOMPARE(p.exitCode(), 0);
            QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()).section('\n', 0, 0), first);
        }
    }

    // The port chosen in the window takes precedence over Ostrand.ini's, and --device over
    // both: the refusal names the device opened.
    void portPrecedence_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("opened");
        const auto row = [](const char* tag, const char* chosen, const char* options,
                            const char* opened) {
            QTest::newRow(tag) << chosen << options << opened;
        };
        row("Ostrand.ini alone", "", "", "/dev/ostrand-ini");
        row("chosen over Ostrand.ini", "/dev/ostrand-chosen", "", "/dev/ostrand-chosen");
        row("--device over both", "/dev/ostrand-chosen", " --device /dev/x", "/dev/x");
    }
    void portPrecedence() {
        QFETCH(QString, chosen);
        QFETCH(QString, options);
        QFETCH(QString, opened);
        QSettings("Ostrand", "Ostrand").setValue("Serial/Device", chosen);
        Write("port.ini",
              Read("Ostrand.ini").replace("[Serial]", "[Serial]\nDevice=/dev/ostrand-ini"));
        const Result r = Run("read -o %D/p.DSX --config %D/port.ini" + options);
        QSettings("Ostrand", "Ostrand").remove("Serial/Device");
        QVERIFY2(r.code == 1 && r.out.contains("Cannot open " + opened + ": no such device"),
                 qPrintable(r.out));
    }

    // Personality files are one type whatever the case of their extension.
    void personalityMimeType() {
        const auto type = [](const char* name) {
            return QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension).name();
        };
        for (const char* name : {"A.DSX", "b.dsx", "c.Dfs", "D.DS"})
            QCOMPARE(type(name), "application/x-ostrand-personality");
        QVERIFY(type("e.dsxx") != "application/x-ostrand-personality");
    }

    // In real time: the line hangs up inside the records, and the command ends at once with
    // the device named, one log line for the event, and the log written to a stream.
    void lineGoneEndsAtOnce() {
        ostrand::RibSimProcess rib({"--hangup-after", "100"});
        QElapsedTimer clock;
        clock.start();
        const Result r = Run("read -o %D/gone.DSX --log /dev/stderr --device " + rib.Device());
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(r.code, 1);
        QCOMPARE(r.Lines().last(),
                 "Lost the connection to " + rib.Device() + ". Is the RIB still plugged in?");
        QCOMPARE(r.err.count(" : OnComm: "), 1);
        QVERIFY2(!r.err.contains(QRegularExpression("\\bQ\\w+::")),
                 qPrintable(r.err)); // Qt warnings
        QCOMPARE(Read("gone.DSX"), QString());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
