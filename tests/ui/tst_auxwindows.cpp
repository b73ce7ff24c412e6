// The auxiliary windows: the About window's system information launch, and the status window
// that every operation starts afresh.
#include "platform/MessageBoxes.h"
#include "platform/Processes.h"
#include "ui/AboutWindow.h"
#include "ui/StatusWindow.h"

#include <QFile>
#include <QPushButton>
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

} // namespace

class TestAuxWindows : public QObject {
    Q_OBJECT

private slots:
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
        AboutWindow about(nullptr, &fakes, &fakes, {bin});
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        auto* sysInfo = about.findChild<QPushButton*>("cmdSysInfo");
        QTest::mouseClick(sysInfo, Qt::LeftButton);
        QCOMPARE(fakes.started,
                 started.isEmpty() ? QStringList() : QStringList{bin + "/" + started});
        QCOMPARE(fakes.told, told ? QStringList{"Ostrand: System Information Is Unavailable At "
                                                "This Time"}
                                  : QStringList());
        QVERIFY(about.isVisible());
        // Enter presses OK, not System Info, even with the focus there.
        sysInfo->setFocus();
        QTest::keyClick(&about, Qt::Key_Return);
        QVERIFY(!about.isVisible());
        QCOMPARE(fakes.started.size(), started.isEmpty() ? 0 : 1);
    }

    void statusWindowCycle() {
        QWidget owner;
        QPointer<StatusWindow> first;
        {
            StatusDisplay status(&owner);
            status.SetText("shown on its first text");
            first = status.Window();
            QVERIFY(first && first->isVisible() && first->parentWidget() == &owner);
            status.Show(); // every operation starts with a fresh window
            QVERIFY(first.isNull() && status.IsShown() && status.Text().isEmpty());
            status.Close();
            status.Close(); // twice is harmless
            QVERIFY(!status.IsShown());
            status.SetText("again");
            first = status.Window();
        }
        QVERIFY(first.isNull()); // going out of scope unloads too
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(TestAuxWindows)
#include "tst_auxwindows.moc"
