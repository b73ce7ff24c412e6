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
    int RunAndWait(const QString&, const QStringList&) override { return 0; }
    bool AskYesNoStop(const QString&, const QString&) override { return false; }
    void Inform(const QString& text, const QString& title) override { told << title + ": " + text; }
};

const QString kUnavailable = "Ostrand: System Information Is Unavailable At This Time";

} // namespace

class TestAboutWindow : public QObject {
    Q_OBJECT

private slots:
    void texts() {
        QCOMPARE(VersionText(2, 3, 7), QStringLiteral("Version 2.3.7"));
        // The line follows the version the build declares.
        QFile top(qEnvironmentVariable("OSTRAND_SOURCE_DIR") + "/CMakeLists.txt");
        QVERIFY(top.open(QIODevice::ReadOnly));
        const auto m = QRegularExpression(R"(project\(\s*Ostrand\s+VERSION\s+(\d+)\.(\d+)\.(\d+))")
                           .match(QString::fromUtf8(top.readAll()));
        QVERIFY(m.hasMatch());

        frmAbout about;
        QCOMPARE(about.lblVersion->text(),
                 VersionText(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()));
        QCOMPARE(about.windowTitle(), QStringLiteral("About Ostrand"));
        QCOMPARE(about.lblTitle->text(), QStringLiteral("Ostrand"));
        QCOMPARE(about.lblDisclaimer->text(), QStringLiteral("No warranty is given nor implied."));
        QCOMPARE(about.cmdSysInfo->text(), QStringLiteral("&System Info..."));
        const QStringList lines = about.lblDescription->text().split('\n');
        QVERIFY(lines[0].startsWith("Copyright"));
        QCOMPARE(lines.value(4),
                 QStringLiteral("While this program may be freely distributed, if you "
                                "find it useful, a donation is appreciated."));
    }

    void sysInfo_data() {
        QTest::addColumn<QStringList>("executables");
        QTest::addColumn<bool>("startWorks");
        QTest::addColumn<QString>("started"); // program name, empty when none
        QTest::addColumn<bool>("told");
        QTest::newRow("earlier tool in the list wins")
            << QStringList{"gnome-system-monitor", "hardinfo"} << true << "hardinfo" << false;
        QTest::newRow("nothing found: message once, nothing started")
            << QStringList{} << true << "" << true;
        QTest::newRow("found but will not start: message")
            << QStringList{"hardinfo"} << false << "hardinfo" << true;
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
        frmAbout about(nullptr, &fakes, &fakes);
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
#include "tst_about_window.moc"
