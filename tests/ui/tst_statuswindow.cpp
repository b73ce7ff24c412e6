// The status window's life cycle, and the event-processing pause it is shown in.
#include "platform/Pause.h"
#include "ui/StatusWindow.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QtTest>

using namespace ostrand;

class TestStatusWindow : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { SetDelayScale(1.0); }

    void lifeCycle() {
        QWidget owner;
        QPointer<StatusWindow> first;
        {
            StatusDisplay status(&owner);
            status.SetText("shown on its first text");
            first = status.Window();
            QVERIFY(first && first->isVisible() && first->parentWidget() == &owner);

            status.Show(); // every operation starts with a fresh window
            QVERIFY(first.isNull());
            QVERIFY(status.IsShown() && status.Text().isEmpty());
            StatusWindow* window = status.Window();
            QVERIFY(QTest::qWaitForWindowExposed(window));

            status.SetText("File Not Saved\n/a/folder/radio.DSX\nNo space left on device");
            QCOMPARE(window->lblInfo->text(), status.Text());
            status.Close();
            QVERIFY(!status.IsShown());
            status.Close(); // twice is harmless
            status.SetText("again");
            first = status.Window();
        }
        QVERIFY(first.isNull()); // going out of scope unloads too
    }

    // The pause keeps handling events: a timer firing inside it sees the failure text. Only
    // lower bounds are safe on a loaded machine; a scaled pause must merely end before the
    // unscaled one would have.
    void pauseScales_data() {
        QTest::addColumn<int>("ms");
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("atLeast");
        QTest::newRow("3 s at 1/100") << 3000 << 0.01 << 25;
        QTest::newRow("real time for a short wait") << 40 << 1.0 << 35;
        QTest::newRow("negative scale counts as 0") << 3000 << -1.0 << 0;
    }
    void pauseScales() {
        QFETCH(int, ms);
        QFETCH(double, scale);
        QFETCH(int, atLeast);
        SetDelayScale(scale);
        StatusDisplay status;
        status.SetText("Invalid Input File");
        QString seen;
        QTimer::singleShot(0, [&] { seen = status.Text(); });
        QElapsedTimer clock;
        clock.start();
        delay(ms);
        const qint64 took = clock.elapsed();
        QVERIFY2(took >= atLeast, qPrintable(QString::number(took)));
        if (scale < 1) QVERIFY2(took < ms, qPrintable(QString::number(took)));
        QCOMPARE(seen, QStringLiteral("Invalid Input File"));
    }
};

QTEST_MAIN(TestStatusWindow)
#include "tst_statuswindow.moc"
