// The About window's texts and buttons, the program icon, and the system information launch.
#include "platform/MessageBoxes.h"
#include "platform/Processes.h"
#include "ui/AboutWindow.h"
#include "ui/AppIcon.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace ostrand;

namespace {

class FakeProcesses : public Processes {
public:
    bool startWorks = true;
    QStringList started;
    bool StartDetached(const QString& program, const QStringList& arguments) override {
        started << program + (arguments.isEmpty() ? QString() : " " + arguments.join(' '));
        return startWorks;
    }
    int RunAndWait(const QString&, const QStringList&) override { return 0; }
};

class FakeMessages : public MessageBoxes {
public:
    QStringList told;
    bool AskYesNoStop(const QString&, const QString&) override { return false; }
    void Inform(const QString& text, const QString& title) override { told << title + ": " + text; }
};

const QString kUnavailable = "Ostrand: System Information Is Unavailable At This Time";

} // namespace

class TestAboutWindow : public QObject {
    Q_OBJECT

private slots:
    void versionText_data();
    void versionText();
    void versionIsTheProjects();
    void texts();
    void layout();
    void keysClose_data();
    void keysClose();
    void appIcon();
    void sysInfoLookup_data();
    void sysInfoLookup();
    void sysInfoButtonKeepsWindowOpen();

private:
    QTemporaryDir dir_;
};

void TestAboutWindow::versionText_data() {
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("patch");
    QTest::addColumn<QString>("text");
    QTest::newRow("2.3.7") << 2 << 3 << 7 << "Version 2.3.7";
    QTest::newRow("zeros") << 1 << 0 << 0 << "Version 1.0.0";
    QTest::newRow("two-digit parts, no padding") << 10 << 4 << 12 << "Version 10.4.12";
}

void TestAboutWindow::versionText() {
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, patch);
    QFETCH(QString, text);
    QCOMPARE(VersionText(major, minor, patch), text);
}

void TestAboutWindow::versionIsTheProjects() {
    // The line follows the version the build declares, not a number kept in the window code.
    QFile top(qEnvironmentVariable("OSTRAND_SOURCE_DIR") + "/CMakeLists.txt");
    QVERIFY(top.open(QIODevice::ReadOnly));
    const auto m = QRegularExpression(R"(project\(\s*Ostrand\s+VERSION\s+(\d+)\.(\d+)\.(\d+))")
                       .match(QString::fromUtf8(top.readAll()));
    QVERIFY(m.hasMatch());
    frmAbout about;
    QCOMPARE(about.lblVersion->text(),
             VersionText(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()));
}

void TestAboutWindow::texts() {
    frmAbout about;
    QCOMPARE(about.windowTitle(), QStringLiteral("About Ostrand"));
    QCOMPARE(about.lblTitle->text(), QStringLiteral("Ostrand"));
    QCOMPARE(about.lblDisclaimer->text(), QStringLiteral("No warranty is given nor implied."));
    QCOMPARE(about.cmdOK->text(), QStringLiteral("OK"));
    QCOMPARE(about.cmdSysInfo->text(), QStringLiteral("&System Info..."));
    QVERIFY(about.isModal());

    const QStringList lines = about.lblDescription->text().split('\n');
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines.at(0).startsWith("Copyright"));
    QVERIFY(!lines.at(1).isEmpty());
    QVERIFY(lines.at(2).contains("rights reserved"));
    QVERIFY(lines.at(3).isEmpty());
    QCOMPARE(lines.at(4), QStringLiteral("While this program may be freely distributed, if you "
                                         "find it useful, a donation is appreciated."));
}

void TestAboutWindow::layout() {
    frmAbout about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    auto at = [&](QWidget* w) { return w->mapTo(&about, QPoint(0, 0)); };
    QVERIFY(!about.picIcon->pixmap().isNull());
    QVERIFY(at(about.picIcon).x() < at(about.lblTitle).x()); // icon left of the text column
    QVERIFY(at(about.lblTitle).y() < at(about.lblVersion).y());
    QVERIFY(at(about.lblVersion).y() < at(about.lblDescription).y());
    QVERIFY(at(about.cmdOK).y() < at(about.cmdSysInfo).y()); // OK above System Info
    QVERIFY(at(about.lblDisclaimer).x() < at(about.cmdOK).x());
    QVERIFY(at(about.lblDisclaimer).y() > at(about.lblDescription).y());
    auto* line = about.findChild<QFrame*>("Line1");
    QVERIFY(line);
    QCOMPARE(line->frameShadow(), QFrame::Sunken);
    QVERIFY(at(line).y() < at(about.cmdOK).y());
    // Centred on the screen.
    const QRect screen = about.screen()->geometry();
    QVERIFY(qAbs(about.frameGeometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(about.frameGeometry().center().y() - screen.center().y()) <= 1);
}

void TestAboutWindow::keysClose_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("focusOnSysInfo");
    QTest::newRow("Enter presses OK") << int(Qt::Key_Return) << false;
    QTest::newRow("Enter presses OK even from System Info") << int(Qt::Key_Return) << true;
    QTest::newRow("Escape closes") << int(Qt::Key_Escape) << false;
}

void TestAboutWindow::keysClose() {
    QFETCH(int, key);
    QFETCH(bool, focusOnSysInfo);
    FakeProcesses processes;
    FakeMessages messages;
    frmAbout about(nullptr, &processes, &messages);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    if (focusOnSysInfo) about.cmdSysInfo->setFocus();
    QVERIFY(about.cmdOK->isDefault());
    QTest::keyClick(&about, Qt::Key(key));
    QVERIFY(!about.isVisible());
    QVERIFY(processes.started.isEmpty());
    QVERIFY(messages.told.isEmpty());
}

void TestAboutWindow::appIcon() {
    const QIcon icon = AppIcon();
    QVERIFY(!icon.isNull());
    QVERIFY(icon.availableSizes().contains(QSize(64, 64)));
    QVERIFY(icon.availableSizes().contains(QSize(256, 256)));
}

void TestAboutWindow::sysInfoLookup_data() {
    QTest::addColumn<QStringList>("executables");
    QTest::addColumn<QStringList>("plainFiles"); // present but not runnable
    QTest::addColumn<bool>("startWorks");
    QTest::addColumn<QString>("started"); // program name, empty when none
    QTest::addColumn<bool>("told");
    QTest::newRow("first tool found")
        << QStringList{"hardinfo2"} << QStringList{} << true << "hardinfo2" << false;
    QTest::newRow("earlier tool wins") << QStringList{"gnome-system-monitor", "hardinfo"}
                                       << QStringList{} << true << "hardinfo" << false;
    QTest::newRow("later tool when earlier absent")
        << QStringList{"kinfocenter"} << QStringList{} << true << "kinfocenter" << false;
    QTest::newRow("nothing found: message once, nothing started")
        << QStringList{} << QStringList{} << true << "" << true;
    QTest::newRow("not executable does not count")
        << QStringList{} << QStringList{"hardinfo"} << true << "" << true;
    QTest::newRow("found but will not start: message")
        << QStringList{"hardinfo"} << QStringList{} << false << "hardinfo" << true;
}

void TestAboutWindow::sysInfoLookup() {
    QFETCH(QStringList, executables);
    QFETCH(QStringList, plainFiles);
    QFETCH(bool, startWorks);
    QFETCH(QString, started);
    QFETCH(bool, told);
    const QString bin = dir_.filePath(QTest::currentDataTag());
    QVERIFY(QDir().mkpath(bin));
    for (const QString& name : executables + plainFiles) {
        QFile f(bin + "/" + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.close();
        if (executables.contains(name))
            f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeGroup);
    }
    FakeProcesses processes;
    processes.startWorks = startWorks;
    FakeMessages messages;
    const bool ok = StartSysInfo(processes, messages, SystemInfoTools(), {bin});
    QCOMPARE(ok, !told);
    QCOMPARE(processes.started,
             started.isEmpty() ? QStringList() : QStringList{bin + "/" + started});
    QCOMPARE(messages.told, told ? QStringList{kUnavailable} : QStringList());
}

void TestAboutWindow::sysInfoButtonKeepsWindowOpen() {
    FakeProcesses processes;
    FakeMessages messages;
    frmAbout about(nullptr, &processes, &messages);
    about.sysInfoSearchPaths = {dir_.filePath("empty-bin")};
    QDir().mkpath(about.sysInfoSearchPaths.first());
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QTest::mouseClick(about.cmdSysInfo, Qt::LeftButton);
    QCOMPARE(messages.told, QStringList{kUnavailable});
    QVERIFY(about.isVisible());
    QVERIFY(processes.started.isEmpty());
}

QTEST_MAIN(TestAboutWindow)
#include "tst_about_window.moc"
