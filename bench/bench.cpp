// SPDX-License-Identifier: GPL-3.0-or-later
// ostrand_bench MODE: one measurement per process, one result line on standard output.
//   read | write   the radio operation at real time against ribsim paced at 2400 baud both
//                  ways; the floor is the characters that crossed the line at 240 a second
//                  plus the fixed pauses of a successful operation (400 ms + 1000 ms).
//   refresh        RefreshValues(true) on a grid with all 16 channels in use.
//   startup        from the application object to the main window shown.
// Every line ends with the process's peak resident memory.
#include "RecordingHost.h"
#include "app/MainWindow.h"
#include "link/RadioOperations.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <sys/resource.h>

using namespace ostrand;

namespace {

constexpr double kCharsPerSecond = 240.0; // 2400 baud, 8N1
constexpr double kFixedPausesMs = 400.0 + 1000.0;

long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int Fail(const QString& text) {
    std::fprintf(stderr, "ostrand_bench: %s\n", qPrintable(text));
    return 1;
}

int RadioOperation(bool write) {
    QProcess sim;
    sim.setProgram(QCoreApplication::applicationDirPath() + "/ribsim");
    sim.setArguments({"--baud-pace"});
    sim.start();
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000))
        return Fail("ribsim did not start");
    RecordingHost host;
    host.device = QString::fromLatin1(sim.readLine()).trimmed();
    host.radioId = kDeltaSX; // the simulated radio's CPU: no question before a write
    for (int i = 0; i < kBlockSize; ++i)
        host.image[size_t(i)] = static_cast<uint8_t>(i * 3);

    Clock clock;
    QElapsedTimer timer;
    timer.start();
    const bool ok = write ? WriteRadio(host, host, clock) : ReadRadio(host, host, clock);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    sim.terminate();
    sim.waitForFinished(5000);
    if (!ok) return Fail("the operation failed: " + host.statuses.join(" / "));

    const QRegularExpression traffic("traffic: received (\\d+) sent (\\d+)");
    const QRegularExpressionMatch m = traffic.match(QString::fromLatin1(sim.readAll()));
    if (!m.hasMatch()) return Fail("ribsim did not report its traffic");
    const int toRib = m.captured(1).toInt(), fromRib = m.captured(2).toInt();
    const double floorMs = (toRib + fromRib) * 1000.0 / kCharsPerSecond + kFixedPausesMs;
    std::printf("%s Radio: %.0f ms, floor %.0f ms (%d characters to the RIB, %d from it, "
                "+%.0f ms pauses), ratio %.3f, peak %ld KiB\n",
                write ? "Write" : "Read", ms, floorMs, toRib, fromRib, kFixedPausesMs, ms / floorMs,
                PeakKiB());
    return 0;
}

// The program's folder and preferences in a throw-away place, with the shipped configuration.
bool PrepareHome(const QTemporaryDir& home) {
    qputenv("OSTRAND_HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath("data").toLocal8Bit());
    const QString ini = qEnvironmentVariable("OSTRAND_SOURCE_DIR") + "/data/Ostrand.ini";
    return QFile::copy(ini, home.filePath("Ostrand.ini"));
}

int Refresh() {
    MainWindow window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return Fail("window not shown");
    // Every channel in use: frequencies, CG and DCG tones, a reference and a timer, typed into
    // the fields as an operator would (without leaving them, which would refresh each time).
    const auto field = [&window](const char* stem, int r) {
        return window.findChild<QWidget*>(QStringLiteral("%1_%2").arg(stem).arg(r));
    };
    for (int r = 0; r < kChannels; ++r) {
        qobject_cast<QLineEdit*>(field("txtRxFreq", r))
            ->setText(QString::number(146.52 + 0.0125 * r, 'f', 4));
        qobject_cast<QLineEdit*>(field("txtTXFreq", r))
            ->setText(QString::number(147.12 + 0.0125 * r, 'f', 4));
        qobject_cast<QLineEdit*>(field("txtRxTone", r))->setText(r % 2 ? "023" : "100.0");
        qobject_cast<QLineEdit*>(field("txtTxTone", r))->setText(r % 2 ? "754" : "131.8");
        qobject_cast<QComboBox*>(field("cmbCCT", r))->setCurrentIndex(r % 3);
        qobject_cast<QCheckBox*>(field("chkSTE", r))->setChecked(r % 2);
    }
    window.RefreshValues(true);
    if (qobject_cast<QLineEdit*>(field("txtRxFreq", 0))->text().isEmpty())
        return Fail("the grid stayed empty");

    // The refresh really encodes: an edited frequency reaches the image.
    const EEImage before = window.Image();
    qobject_cast<QLineEdit*>(field("txtRxFreq", 0))->setText("147.0000");
    window.RefreshValues(true);
    if (window.Image() == before) return Fail("RefreshValues(true) did not encode the grid");

    constexpr int kRounds = 200;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kRounds; ++i)
        window.RefreshValues(true);
    const double ms = double(timer.nsecsElapsed()) / 1e6 / kRounds;
    std::printf("RefreshValues(true), 16 channels: %.3f ms (mean of %d), peak %ld KiB\n", ms,
                kRounds, PeakKiB());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QString();
    QTemporaryDir home;
    if (!home.isValid() || !PrepareHome(home)) return Fail("cannot prepare a program folder");
    if (mode == "read" || mode == "write") {
        QCoreApplication app(argc, argv);
        return RadioOperation(mode == "write");
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Ostrand");
    QApplication::setApplicationName("Ostrand");
    if (mode == "refresh") return Refresh();
    if (mode == "startup") {
        MainWindow window;
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) return Fail("window not shown");
        std::printf("Start-up to shown window: %.1f ms, peak %ld KiB\n",
                    double(sinceStart.nsecsElapsed()) / 1e6, PeakKiB());
        return 0;
    }
    return Fail("mode is one of read, write, refresh, startup");
}
