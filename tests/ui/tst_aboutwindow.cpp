// The About window's texts and keys, and the system information launch.
#include "platform/MessageBoxes.h"
#include "platform/Processes.h"
#include "ui/AboutWindow.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace ostrand;

namespace {

// Records what would have been started and told.
struct Fakes : Processes, MessageBoxes {
    bool startWorks = true;
    QStringList started, told;
    bool StartDetached(const QString& program, const QStringList&) override {
        return started << program, startWorks;
    }
    std::optional<int> RunAndWait(const QString&, const QStringList&) override { return 0; }
    bool AskYesNoStop(const QString&, const QString&) override { return false; }
    void Inform(const QString& text, const QString& title) override { told << title + ": " + text; }
};

const QString kUnavailable = "Ostrand: System Information Is Unavailable At This Time";

} // namespace

class TestAboutWindow : public QObject {
    Q_OBJECT

private slots:
    void texts() {
        // The line follows the version the build declares.
        QFile top(qEnvironmentVariable("OSTRAND_SOURCE_DIR") + "/CMakeLists.txt");
        QVERIFY(top.open(QIODevice::ReadOnly));
        const auto m = QRegularExpression(R"(project\(\s*Ostrand\s+VERSION\s+([\d.]+))")
                           .match(QString::fromUtf8(top.readAll()));
        AboutWindow about;
        const QStringList lines = about.lblDescription->text().split('\n');
        QCOMPARE(QStringList({about.windowTitle(), about.lblTitle->text(), about.lblVersion->text(),
                              about.lblDisclaimer->text(), about.cmdSysInfo->text(),
                              lines[0].left(9), lines.value(4)})
                     .join('|'),
                 "About Ostrand|Ostrand|Version " + m.captured(1) +
                     "|No warranty is given nor implied.|&System Info...|Copyright|While this "
                     "program may be freely distributed, if you find it useful, a donation is "
                     "appreciated.");
    }

    void sysInfo_data() {
        QTest::addColumn<QStringList>("executables");
        QTest::addColumn<bool>("startWorks");
        QTest::addColumn<QString>("started"); // program name, empty when none
        QTest::addColumn<bool>("told");
        const QStringList both{"gnome-system-monitor", "hardinfo"}, one{"hardinfo"};
        QTest::newRow("earlier tool in the list wins") << both << true << "hardinfo" << false;
        QTest::newRow("nothing found: message once") << QStringList{} << true << "" << true;
        QTest::newRow("found but will not start: message") << one << false << "hardinfo" << true;
    }
    void sysInfo() {
        QFETCH(QStringList, executables);
        QFETCH(bool, startWorks);
        QFETCH(QString, started);
        QFETCH(bool, told);
        const QString bin = dir_.filePath(QTest::currentDataTag());
        QVERIFY(QDir().mkpath(bin));
        for (const QString& name : executables) {
            QFile f(bin + "/" + name);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("#!/bin/sh\n") > 0);
            f.setPermissions(f.permissions() | QFile::ExeOwner);
        }
        // Through the button: the About window stays open whatever happens.
        Fakes fakes;
        fakes.startWorks = startWorks;
        AboutWindow about(nullptr, &fakes, &fakes);
        about.sysInfoSearchPaths = {bin};
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::mouseClick(about.cmdSysInfo, Qt::LeftButton);
        QCOMPARE(fakes.started,
                 started.isEmpty() ? QStringList() : QStringList{bin + "/" + started});
        QCOMPARE(fakes.told, told ? QStringList{kUnavailable} : QStringList());
        QVERIFY(about.isVisible());
        // Enter presses OK, not System Info, even with the focus there.
        about.cmdSysInfo->setFocus();
        QTest::keyClick(&about, Qt::Key_Return);
        QVERIFY(!about.isVisible());
        QCOMPARE(fakes.started.size(), started.isEmpty() ? 0 : 1);
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(TestAboutWindow)
#include "tst_aboutwindow.moc"
