// The command-line decode of a personality file shows exactly what the window's grid shows
// after File Open of the same file, row by row, under each kind of radio definition.
#include "GuiFixture.h"

#include <QProcess>
#include <QRandomGenerator>

using namespace fixture;

namespace {

// The CLI's columns reordered as Row() renders the window: eleven fields plus the two list
// item texts (reference, CCT) that the window's lists show.
QStringList CliRows(const QString& out) {
    QStringList rows;
    for (const QString& line : out.split(u'\n', Qt::SkipEmptyParts).mid(1)) {
        const QStringList c = line.trimmed().split(u',');
        if (c.size() != 14) return {line};
        rows << QStringList{c[1],  c[2],  c[3],  c[5],  c[6], c[7], c[8],
                            c[10], c[11], c[12], c[13], c[4], c[9]}
                    .join(u',');
    }
    return rows;
}

} // namespace

class TestWindowAndCli : public QObject {
    Q_OBJECT

private slots:
    void sameRows_data() {
        QTest::addColumn<int>("band");
        QTest::newRow("Delta-SX, high side") << 1;
        QTest::newRow("Delta-SX, x3, low side") << 2;
        QTest::newRow("Delta-S") << 3;
        QTest::newRow("Delta-SX, both inversions") << 4;
        QTest::newRow("divider table missing") << 5;
    }
    void sameRows() {
        QFETCH(int, band);
        WriteIni();

        // Random records with realistic synthesizer words and codes in them.
        ostrand::EEImage image{};
        QRandomGenerator rng(band * 7919);
        for (int i = 0; i < ostrand::kBlockSize; ++i)
            image[size_t(i)] = uint8_t(rng.bounded(256));
        const QString file = WriteImage("/random.DSX", image);

        Dialogs pick;
        pick.open = file;
        auto w = OpenOnBand(band - 1, {.fileDialogs = &pick});
        Apply(*w, "mnuOpen");
        QStringList shown;
        for (int r = 0; r < 16; ++r)
            shown << Row(*w, r) + u',' + Find<QComboBox>(*w, "cmbRef", r)->currentText() + u',' +
                         Find<QComboBox>(*w, "cmbCCT", r)->currentText();

        QProcess cli;
        cli.start(
            qEnvironmentVariable("OSTRAND_BINARY_DIR") + "/ostrand-cli",
            {"decode", file, "--config", Home("/Ostrand.ini"), "--band", QString::number(band)});
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(cli.exitCode(), 0);
        QCOMPARE(CliRows(QString::fromUtf8(cli.readAllStandardOutput())), shown);
    }
};

QTEST_MAIN(TestWindowAndCli)
#include "tst_windowandcli.moc"
