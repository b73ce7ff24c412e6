// The status window's look and life cycle, and the event-processing pause it is shown in.
#include "platform/Pause.h"
#include "ui/StatusWindow.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QtTest>

using namespace ostrand;

class TestStatusWindow : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { SetDelayScale(1.0); }
    void looksAsItShould();
    void textsReplace_data();
    void textsReplace();
    void centredOnTheScreen_data();
    void centredOnTheScreen();
    void showStartsFresh();
    void closeUnloads();
    void textVisibleThroughScaledPause();
    void pauseScales_data();
    void pauseScales();
};

void TestStatusWindow::looksAsItShould() {
    frmDialog window;
    QVERIFY(window.windowTitle().isEmpty());
    QVERIFY(!(window.windowFlags() & Qt::WindowTitleHint));
    QCOMPARE(window.lblInfo->objectName(), QStringLiteral("lblInfo"));
    QCOMPARE(window.lblInfo->font().pointSize(), 18);
    QCOMPARE(window.lblInfo->font().styleHint(), QFont::SansSerif);
    QVERIFY(window.lblInfo->alignment() & Qt::AlignHCenter);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The label spans the window's width, less the margins.
    QVERIFY(window.lblInfo->width() >= window.width() - 30);
}

void TestStatusWindow::textsReplace_data() {
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("one text") << QStringList{"Searching for RIB..."};
    QTest::newRow("two texts without a wait, the second is seen")
        << QStringList{"Searching for RIB...", "Reading Radio..."};
    QTest::newRow("a long failure text wraps")
        << QStringList{"File Not Saved\n/a/very/long/folder/name/with many parts/radio.DSX\n"
                       "No space left on device"};
    QTest::newRow("back to empty") << QStringList{"Something", ""};
}

void TestStatusWindow::textsReplace() {
    QFETCH(QStringList, texts);
    StatusWindow status;
    status.Show();
    for (const QString& t : texts)
        status.SetText(t);
    QCOMPARE(status.Text(), texts.last());
    QCOMPARE(status.Window()->lblInfo->text(), texts.last());
    // A text never grows the window past its width; a long one makes it taller instead.
    QVERIFY(status.Window()->lblInfo->heightForWidth(status.Window()->lblInfo->width()) <=
            status.Window()->lblInfo->height() + 2);
}

void TestStatusWindow::centredOnTheScreen_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("short text") << "Writing Radio...";
    QTest::newRow("three-line text") << "File Not Saved\n/tmp/x.DS\nPermission denied";
}

void TestStatusWindow::centredOnTheScreen() {
    QFETCH(QString, text);
    StatusWindow status;
    status.Show();
    status.SetText(text);
    QVERIFY(QTest::qWaitForWindowExposed(status.Window()));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect frame = status.Window()->frameGeometry();
    QVERIFY(qAbs(frame.center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(frame.center().y() - screen.center().y()) <= 1);
}

void TestStatusWindow::showStartsFresh() {
    StatusWindow status;
    status.Show();
    status.SetText("first operation");
    QPointer<frmDialog> first = status.Window();
    status.Show();
    QVERIFY(first.isNull()); // the earlier window is gone
    QVERIFY(status.IsShown());
    QVERIFY(status.Text().isEmpty());
    QVERIFY(status.Window()->isVisible());
}

void TestStatusWindow::closeUnloads() {
    QWidget owner;
    QPointer<frmDialog> window;
    {
        StatusWindow status(&owner);
        status.SetText("shown on first text");
        window = status.Window();
        QVERIFY(!window.isNull());
        QVERIFY(window->isVisible());
        QCOMPARE(window->parentWidget(), &owner);
        status.Close();
        QVERIFY(window.isNull());
        QVERIFY(!status.IsShown());
        status.Close(); // twice is harmless
        status.SetText("again");
        window = status.Window();
    }
    QVERIFY(window.isNull()); // going out of scope unloads too
}

void TestStatusWindow::textVisibleThroughScaledPause() {
    // The failure text stays while the pause runs: a timer firing inside the pause sees it.
    SetDelayScale(0.01);
    StatusWindow status;
    status.Show();
    status.SetText("Invalid Input File");
    QString seen;
    QTimer::singleShot(5, [&] { seen = status.Text(); });
    delay(3000);
    QCOMPARE(seen, QStringLiteral("Invalid Input File"));
    status.Close();
    QVERIFY(!status.IsShown());
}

void TestStatusWindow::pauseScales_data() {
    QTest::addColumn<int>("ms");
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("atLeast");
    QTest::addColumn<int>("below");
    QTest::newRow("3 s at 1/100") << 3000 << 0.01 << 25 << 1500;
    QTest::newRow("3 s at 0 still returns") << 3000 << 0.0 << 0 << 500;
    QTest::newRow("real time for a short wait") << 40 << 1.0 << 35 << 1000;
    QTest::newRow("negative scale counts as 0") << 3000 << -1.0 << 0 << 500;
}

void TestStatusWindow::pauseScales() {
    QFETCH(int, ms);
    QFETCH(double, scale);
    QFETCH(int, atLeast);
    QFETCH(int, below);
    SetDelayScale(scale);
    bool eventsRan = false;
    QTimer::singleShot(0, [&] { eventsRan = true; });
    QElapsedTimer clock;
    clock.start();
    delay(ms);
    const qint64 took = clock.elapsed();
    QVERIFY2(took >= atLeast && took < below, qPrintable(QString::number(took)));
    QVERIFY(eventsRan);
}

QTEST_MAIN(TestStatusWindow)
#include "tst_status_window.moc"
