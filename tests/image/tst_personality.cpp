// Personality files: the text format, and reading and writing them on disk.
#include "image/PersonalityFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <numeric>

#include <csignal>
#include <sys/resource.h>

using namespace ostrand;

namespace {

// 256 digits for bytes 0x00, 0x01, ..., 0x7F: every position has a distinct value.
QByteArray countingDigits() {
    QByteArray bytes(kBlockSize, 0);
    std::iota(bytes.begin(), bytes.end(), char(0));
    return bytes.toHex().toUpper();
}

QByteArray hexOf(const std::array<uint8_t, kBlockSize>& b) {
    return QByteArray(reinterpret_cast<const char*>(b.data()), kBlockSize).toHex().toUpper();
}

bool writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

} // namespace

class TestPersonality : public QObject {
    Q_OBJECT
private slots:
    // The file's text and the 256 digits it reads as; empty: rejected.
    void parse_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("digits");
        const QByteArray d = countingDigits();
        QTest::newRow("256 digits") << d << d;
        QTest::newRow("CR LF and a second line ignored") << d + "\r\nFFFF,junk\r\n" << d;
        QTest::newRow("quoted, quotes not counted") << "\"" + d + "\"" << d;
        QTest::newRow("leading blanks skipped") << "  \t" + d << d;
        QTest::newRow("lower case ff reads 255") << QByteArray(256, 'f') << QByteArray(256, 'F');
        QTest::newRow("non-hex characters count as 0: G5 is 05")
            << QByteArray("G5").repeated(128) << QByteArray("05").repeated(128);
        QTest::newRow("255 digits") << d.left(255) << QByteArray();
        QTest::newRow("257 digits") << d + "0" << QByteArray();
        QTest::newRow("comma inside the first 256")
            << d.left(100) + "," + d.mid(101) << QByteArray();
        QTest::newRow("closing quote inside the first 256")
            << "\"" + d.left(100) + "\"" + d.mid(100) << QByteArray();
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }
    void parse() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, digits);
        const auto parsed = ParsePersonality(content);
        QCOMPARE(parsed ? hexOf(*parsed) : QByteArray(), digits);
    }

    void format() {
        EEImage image{};
        image[0] = 0x12;
        image[1] = 0xab;
        image[127] = 0xEF;
        image[200] = 0x34; // beyond the block: never saved
        QCOMPARE(FormatPersonality(image), "12AB" + QByteArray(250, '0') + "EF");
    }

    // Tests may run as root, where permissions do not stop a read: a missing file stands
    // for "cannot be opened".
    void readFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("status");
        QTest::newRow("missing file") << "missing" << int(PersonalityRead::Unreadable);
        QTest::newRow("empty file") << "empty" << int(PersonalityRead::Empty);
        // 100 MB, sparse; neither is read whole.
        QTest::newRow("huge, a valid first line") << "hugeline" << int(PersonalityRead::Ok);
        QTest::newRow("huge, one long field") << "hugefield" << int(PersonalityRead::Invalid);
    }
    void readFile() {
        QFETCH(QString, kind);
        QFETCH(int, status);
        const QString path = dir_.filePath(kind + ".DS");
        const QByteArray d = countingDigits();
        if (kind == "empty") QVERIFY(writeFile(path, {}));
        if (kind.startsWith("huge")) {
            QVERIFY(writeFile(path, kind == "hugeline" ? d + "\r\n" : d + d));
            QVERIFY(QFile::resize(path, 100LL * 1024 * 1024));
        }
        QElapsedTimer clock;
        clock.start();
        const PersonalityRead read = ReadPersonalityFile(path);
        QVERIFY2(clock.elapsed() < 2000, "a huge file must not be read whole");
        QCOMPARE(int(read.status), status);
        if (status == PersonalityRead::Ok) QCOMPARE(hexOf(read.bytes), d);
    }

    // A save that fails part-way leaves what was there before, and no temporary file beside
    // it. Every write past 100 bytes fails, even for root: a save that truncated the target
    // first would leave it cut short.
    void failedSaveKeepsPrevious() {
        const QString path = dir_.filePath("limit.DS");
        QVERIFY(writeFile(path, "previous"));
        EEImage image;
        image.fill(0xC3);
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 100;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const QString reason = WritePersonalityFile(path, image);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!reason.isEmpty());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("previous"));
        const QStringList left = QDir(QFileInfo(path).absolutePath())
                                     .entryList({"*.DS.*", "*.tmp*"}, QDir::Files | QDir::Hidden);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(", ")));
    }

private:
    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(TestPersonality)
#include "tst_personality.moc"
