// Personality files: the text format, and reading and writing them on disk.
#include "image/PersonalityFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <numeric>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

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
        const QByteArray d = countingDigits(), none;
        QTest::newRow("256 digits") << d << d;
        QTest::newRow("CR LF and a second line ignored") << d + "\r\nFFFF,junk\r\n" << d;
        QTest::newRow("quoted, quotes not counted") << "\"" + d + "\"" << d;
        QTest::newRow("leading blanks skipped") << "  \t" + d << d;
        QTest::newRow("lower case ff reads 255") << QByteArray(256, 'f') << QByteArray(256, 'F');
        QTest::newRow("non-hex G5 is 05") << "G5" + d.mid(2) << "05" + d.mid(2);
        QTest::newRow("255 digits") << d.left(255) << none;
        QTest::newRow("257 digits") << d + "0" << none;
        QTest::newRow("comma inside the first 256") << d.left(100) + "," + d.mid(101) << none;
        QTest::newRow("closing quote inside") << "\"" + d.left(100) + "\"" + d.mid(100) << none;
        QTest::newRow("empty") << QByteArray() << none;
    }
    void parse() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, digits);
        const auto parsed = ParsePersonality(content);
        QCOMPARE(parsed ? hexOf(*parsed) : QByteArray(), digits);
        if (!parsed) return;
        EEImage image; // saving writes the block back as upper-case digits, nothing beyond it
        image.fill(0x34);
        std::copy(parsed->begin(), parsed->end(), image.begin());
        QCOMPARE(FormatPersonality(image), digits);
    }

    // A missing file stands for "cannot be opened" (permissions do not stop root). The huge
    // ones are 100 MB, sparse, and must not be read whole.
    void readFile_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("status");
        const QByteArray d = countingDigits();
        QTest::newRow("missing file") << QByteArray("-") << int(PersonalityRead::Unreadable);
        QTest::newRow("empty file") << QByteArray() << int(PersonalityRead::Empty);
        QTest::newRow("huge, a valid first line") << d + "\r\n" << int(PersonalityRead::Ok);
        QTest::newRow("huge, one long field") << d + d << int(PersonalityRead::Invalid);
    }
    void readFile() {
        QFETCH(QByteArray, content);
        QFETCH(int, status);
        const QString path = dir_.filePath(QTest::currentDataTag());
        if (content != "-") QVERIFY(writeFile(path, content));
        if (content.size() > 1) QVERIFY(QFile::resize(path, 100LL * 1024 * 1024));
        QElapsedTimer clock;
        clock.start();
        const PersonalityRead read = ReadPersonalityFile(path);
        QVERIFY2(clock.elapsed() < 2000, "a huge file must not be read whole");
        QCOMPARE(int(read.status), status);
        if (status == PersonalityRead::Ok) QCOMPARE(hexOf(read.bytes), countingDigits());
    }

    // A save that fails part-way leaves what was there before, and no temporary file beside
    // it. Every write past 100 bytes fails, even for root: a save that truncated the target
    // first would leave it cut short.
    void failedSaveKeepsPrevious() {
        const QString path = dir_.filePath("limit.DS");
        QVERIFY(writeFile(path, "previous"));
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{100, old.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const QString reason = WritePersonalityFile(path, EEImage{});
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!reason.isEmpty());
        QCOMPARE(ReadPersonalityFile(path).status, PersonalityRead::Invalid); // still "previous"
        QCOMPARE(QFileInfo(path).size(), 8);
        const QStringList left =
            QDir(dir_.path()).entryList({"*.DS.*", "*.tmp*"}, QDir::Files | QDir::Hidden);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(", ")));
    }

    // Only a regular file is written over, and it keeps its permissions; a FIFO or a folder
    // stays what it is.
    void saveOverRegularFilesOnly() {
        const QString file = dir_.filePath("0604"), fifo = dir_.filePath("fifo");
        QVERIFY(
            writeFile(file, "x") &&
            QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        QVERIFY(::mkfifo(QFile::encodeName(fifo), 0644) == 0);
        for (const QString& path : {file, fifo, dir_.path()}) {
            const QFileInfo before(path);
            QCOMPARE(WritePersonalityFile(path, EEImage{}),
                     path == file ? "" : "not a regular file");
            const QFileInfo after(path);
            QCOMPARE(after.isFile(), path == file);
            QCOMPARE(after.permissions(), before.permissions());
        }
    }

private:
    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(TestPersonality)
#include "tst_personality.moc"
