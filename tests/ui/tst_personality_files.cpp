// Open and Save of personality files, driven through scripted dialogs and a stand-in host.
#include "image/PersonalityFile.h"
#include "link/RadioHost.h"
#include "platform/FileDialogs.h"
#include "platform/Paths.h"
#include "ui/PersonalityFiles.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace ostrand;

namespace {

using Block = std::array<uint8_t, kBlockSize>;

// The grid is modelled as its own copy of the block: Encode copies it into the image,
// Decode copies the image back, so the test sees whether Save wrote what the grid showed.
class FakeHost : public RadioHost {
public:
    EEImage image{};
    Block grid{};
    QStringList events;

    void ShowStatus() override { events << "show"; }
    void SetStatus(const QString& text) override { events << "text:" + text; }
    void CloseStatus() override { events << "close"; }
    void Beep() override { events << "beep"; }
    bool ConfirmCpuMismatch(const QString&, const QString&) override { return false; }
    void SetReadEnabled(bool) override {}
    void SetWriteEnabled(bool) override {}
    EEImage& Image() override { return image; }
    int16_t CurRadioID() const override { return kDeltaSX; }
    int16_t CurRevision() const override { return 0; }
    void SetIdentity(int16_t, int16_t) override {}
    void EncodeGrid() override {
        events << "encode";
        std::copy(grid.begin(), grid.end(), image.begin());
    }
    void DecodeGrid() override {
        events << "decode";
        std::copy(image.begin(), image.begin() + kBlockSize, grid.begin());
    }
    void Log(const QString&) override {}
    QString SerialDevice() const override { return {}; }
    bool Closing() const override { return false; }
};

class ScriptedDialogs : public FileDialogs {
public:
    QString answer;
    QList<FileDialogRequest> opens, saves;
    QString OpenFile(const FileDialogRequest& r) override {
        opens << r;
        return answer;
    }
    QString SaveFile(const FileDialogRequest& r) override {
        saves << r;
        return answer;
    }
};

struct Rig {
    FakeHost host;
    ScriptedDialogs dialogs;
    int refreshes = 0;
    PersonalityFileContext context{host, dialogs, nullptr, nullptr, QStringLiteral("D"), {}};
    Rig() {
        context.refreshFromImage = [this] {
            ++refreshes;
            host.events << "refresh";
            host.DecodeGrid();
        };
        context.pause = [this](int ms) { host.events << QStringLiteral("pause:%1").arg(ms); };
    }
};

EEImage Filled(uint8_t seed) {
    EEImage image{};
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = uint8_t(seed + 37 * i);
    return image;
}

QByteArray Digits(const Block& block) {
    return QByteArray(reinterpret_cast<const char*>(block.data()), kBlockSize).toHex().toUpper();
}

Block Ascending() {
    Block b{};
    for (int i = 0; i < kBlockSize; ++i)
        b[size_t(i)] = uint8_t(i * 2 + 1);
    return b;
}

const QStringList kInvalidSequence = {"show", "text:Invalid Input File", "beep", "pause:3000",
                                      "close"};

bool WriteFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

} // namespace

class TestPersonalityFiles : public QObject {
    Q_OBJECT

private slots:
    void filterIndex_data();
    void filterIndex();
    void dialogSetup_data();
    void dialogSetup();
    void openLoads_data();
    void openLoads();
    void openRejects_data();
    void openRejects();
    void openHugeFileRejectedQuickly();
    void openNonFiles_data();
    void openNonFiles();
    void cancelChangesNothing();
    void saveThenOpenRestores_data();
    void saveThenOpenRestores();
    void saveFailureKeepsOldFile_data();
    void saveFailureKeepsOldFile();

private:
    QTemporaryDir dir_;
};

// ---- dialog set-up ----------------------------------------------------------------------

void TestPersonalityFiles::filterIndex_data() {
    QTest::addColumn<QString>("ext");
    QTest::addColumn<int>("index");
    QTest::newRow("Delta S") << ".DS" << 2;
    QTest::newRow("wideband") << ".DFS" << 3;
    QTest::newRow("Delta SX") << ".DSX" << 4;
    QTest::newRow("the default D") << ".D" << 1;
    QTest::newRow("lower case is not the same") << ".dsx" << 1;
    QTest::newRow("longer extension") << ".DSXX" << 1;
    QTest::newRow("without the dot") << "DS" << 1;
    QTest::newRow("bare dot") << "." << 1;
}

void TestPersonalityFiles::filterIndex() {
    QFETCH(QString, ext);
    QFETCH(int, index);
    QCOMPARE(FilterIndexFor(ext), index);
}

void TestPersonalityFiles::dialogSetup_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("defaultExt");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("selected");
    QTest::newRow("open, DSX definition") << false << "DSX"
                                          << "/tmp"
                                          << "Delta SX (*.DSX)";
    QTest::newRow("save, DSX definition") << true << "DSX"
                                          << "/tmp"
                                          << "Delta SX (*.DSX)";
    QTest::newRow("open, default D") << false << "D"
                                     << "/tmp"
                                     << "All Delta Formats (*.D*)";
    QTest::newRow("save, DS definition") << true << "DS"
                                         << "/tmp"
                                         << "Delta S (*.DS)";
    QTest::newRow("open, DFS definition, program folder") << false << "DFS"
                                                          << ""
                                                          << "Delta S Wideband (*.DFS)";
    QTest::newRow("save, lower-case ds picks the first filter") << true << "ds"
                                                                << ""
                                                                << "All Delta Formats (*.D*)";
}

void TestPersonalityFiles::dialogSetup() {
    QFETCH(bool, save);
    QFETCH(QString, defaultExt);
    QFETCH(QString, folder);
    QFETCH(QString, selected);
    Rig rig;
    rig.context.defaultExt = defaultExt;
    rig.context.folder = folder;
    const FileResult result = save ? mnuSave_Click(rig.context) : mnuOpen_Click(rig.context);
    QCOMPARE(result, FileResult::Cancelled);
    const auto& requests = save ? rig.dialogs.saves : rig.dialogs.opens;
    QCOMPARE(requests.size(), 1);
    const FileDialogRequest& r = requests.first();
    QCOMPARE(r.title, save ? QStringLiteral("File Save") : QStringLiteral("File Open"));
    QCOMPARE(r.nameFilters, QStringList({"All Delta Formats (*.D*)", "Delta S (*.DS)",
                                         "Delta S Wideband (*.DFS)", "Delta SX (*.DSX)"}));
    QCOMPARE(r.selectedFilter, selected);
    QCOMPARE(r.defaultSuffix, defaultExt);
    QCOMPARE(r.folder, folder.isEmpty() ? ProgramFolder() : folder);
}

// ---- open -------------------------------------------------------------------------------

void TestPersonalityFiles::openLoads_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("digits"); // what the first 256 characters read as

    const QByteArray d = Digits(Ascending());
    QTest::newRow("plain 256 digits") << d << d;
    QTest::newRow("CR LF and a second line ignored") << d + "\r\nFFFF,junk\r\n" << d;
    QTest::newRow("quoted, quotes not counted") << "\"" + d + "\"" << d;
    QTest::newRow("quoted without a closing quote") << "\"" + d << d;
    QTest::newRow("leading blanks skipped") << "  \t" + d << d;
    QTest::newRow("comma after the field") << d + ",rest" << d;
    QTest::newRow("lower case ff reads 255") << d.toLower() << d;
    QByteArray withJunk = d;
    withJunk[0] = 'G';
    withJunk[3] = '"';
    QByteArray asZero = d;
    asZero[0] = '0';
    asZero[3] = '0';
    QTest::newRow("non-hex characters and a quote inside count as 0") << withJunk << asZero;
    QTest::newRow("256 binary bytes without separators read as zeros")
        << QByteArray(256, char(0x80)) << QByteArray(256, '0');
}

void TestPersonalityFiles::openLoads() {
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, digits);
    const QString path = dir_.filePath("load.DSX");
    QVERIFY(WriteFile(path, content));

    Rig rig;
    rig.host.image = Filled(7);
    const EEImage before = rig.host.image;
    rig.dialogs.answer = path;
    QCOMPARE(mnuOpen_Click(rig.context), FileResult::Done);

    const QByteArray expected = QByteArray::fromHex(digits);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(rig.host.image.data()), kBlockSize),
             expected);
    // The bytes beyond the block are neither loaded nor touched.
    QVERIFY(
        std::equal(before.begin() + kBlockSize, before.end(), rig.host.image.begin() + kBlockSize));
    QCOMPARE(rig.refreshes, 1);
    QCOMPARE(rig.host.events, QStringList({"refresh", "decode"}));
}

void TestPersonalityFiles::openRejects_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("result");

    const QByteArray d = Digits(Ascending());
    QTest::newRow("empty file ends silently") << QByteArray() << int(FileResult::Unreadable);
    QTest::newRow("255 digits") << d.left(255) << int(FileResult::Invalid);
    QTest::newRow("257 digits") << d + "0" << int(FileResult::Invalid);
    QTest::newRow("255 digits and CR LF") << d.left(255) + "\r\n" << int(FileResult::Invalid);
    QByteArray comma = d;
    comma[100] = ',';
    QTest::newRow("comma inside the first 256") << comma << int(FileResult::Invalid);
    QTest::newRow("closing quote inside the first 256")
        << "\"" + d.left(100) + "\"" + d.mid(100) << int(FileResult::Invalid);
    QTest::newRow("line end inside the first 256")
        << d.left(128) + "\n" + d.mid(128) << int(FileResult::Invalid);
    QByteArray binary;
    for (int i = 0; i < 1000; ++i)
        binary += char(i & 0xFF);
    QTest::newRow("binary data") << binary << int(FileResult::Invalid);
    QTest::newRow("blanks only") << QByteArray("   ") << int(FileResult::Invalid);
    QTest::newRow("512 digits") << d + d << int(FileResult::Invalid);
}

void TestPersonalityFiles::openRejects() {
    QFETCH(QByteArray, content);
    QFETCH(int, result);
    const QString path = dir_.filePath("reject.DS");
    QVERIFY(WriteFile(path, content));

    Rig rig;
    rig.host.image = Filled(3);
    rig.host.grid.fill(0x5A);
    const EEImage image = rig.host.image;
    const Block grid = rig.host.grid;
    rig.dialogs.answer = path;
    QCOMPARE(int(mnuOpen_Click(rig.context)), result);

    QVERIFY(rig.host.image == image);
    QVERIFY(rig.host.grid == grid);
    QCOMPARE(rig.refreshes, 0);
    QCOMPARE(rig.host.events,
             result == int(FileResult::Invalid) ? kInvalidSequence : QStringList());
}

void TestPersonalityFiles::openHugeFileRejectedQuickly() {
    // 100 MB, sparse: a valid first field followed by a line end and zeros loads; the same
    // size without a line end is one long field and is rejected. Neither reads it all.
    const QString path = dir_.filePath("huge.DS");
    const QByteArray d = Digits(Ascending());
    for (const bool withLineEnd : {true, false}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(f.write(withLineEnd ? d + "\r\n" : d + d) > 0);
        QVERIFY(f.resize(100LL * 1024 * 1024));
        f.close();

        Rig rig;
        rig.dialogs.answer = path;
        QElapsedTimer clock;
        clock.start();
        const FileResult result = mnuOpen_Click(rig.context);
        QVERIFY2(clock.elapsed() < 2000, "a huge file must not be read whole");
        QCOMPARE(result, withLineEnd ? FileResult::Done : FileResult::Invalid);
    }
}

void TestPersonalityFiles::openNonFiles_data() {
    // Tests may run as root, where permissions do not stop a read: a missing file and a
    // directory stand for "cannot be opened".
    QTest::addColumn<QString>("kind");
    QTest::newRow("directory") << "dir";
    QTest::newRow("missing file") << "missing";
    QTest::newRow("dangling symbolic link") << "dangling";
}

void TestPersonalityFiles::openNonFiles() {
    QFETCH(QString, kind);
    QString path;
    if (kind == "dir") {
        path = dir_.filePath("folder.DS");
        QVERIFY(QDir().mkpath(path));
    } else if (kind == "missing") {
        path = dir_.filePath("nothing-here.DS");
    } else {
        path = dir_.filePath("link.DS");
        QFile::remove(path);
        QVERIFY(QFile::link(dir_.filePath("gone.DS"), path));
    }
    Rig rig;
    rig.host.image = Filled(9);
    const EEImage image = rig.host.image;
    rig.dialogs.answer = path;
    QCOMPARE(mnuOpen_Click(rig.context), FileResult::Unreadable);
    QVERIFY(rig.host.image == image);
    QVERIFY(rig.host.events.isEmpty());
}

void TestPersonalityFiles::cancelChangesNothing() {
    Rig rig;
    rig.host.image = Filled(1);
    rig.host.grid.fill(0x11);
    const EEImage image = rig.host.image;
    QCOMPARE(mnuOpen_Click(rig.context), FileResult::Cancelled);
    QCOMPARE(mnuSave_Click(rig.context), FileResult::Cancelled);
    QVERIFY(rig.host.image == image);
    QVERIFY(rig.host.events.isEmpty()); // not even the encode of a save
}

// ---- save -------------------------------------------------------------------------------

void TestPersonalityFiles::saveThenOpenRestores_data() {
    QTest::addColumn<Block>("grid");
    Block zeros{}, ones{};
    ones.fill(0xFF);
    Block random{};
    QRandomGenerator gen(42);
    for (auto& b : random)
        b = uint8_t(gen.bounded(256));
    QTest::newRow("all zero") << zeros;
    QTest::newRow("all FF") << ones;
    QTest::newRow("ascending odd bytes") << Ascending();
    QTest::newRow("random") << random;
}

void TestPersonalityFiles::saveThenOpenRestores() {
    QFETCH(Block, grid);
    const QString path = dir_.filePath("round trip.DSX");
    QVERIFY(WriteFile(path, "previous content, to be replaced"));

    Rig rig;
    rig.host.image = Filled(5); // stale: the grid holds the operator's edits
    rig.host.grid = grid;
    rig.dialogs.answer = path;
    QCOMPARE(mnuSave_Click(rig.context), FileResult::Done);
    QCOMPARE(rig.host.events, QStringList({"encode", "decode"}));

    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray written = f.readAll();
    f.close();
    QCOMPARE(written, Digits(grid)); // 256 upper-case digits, no line end
    QCOMPARE(written.size(), 256);

    const EEImage saved = rig.host.image;
    Rig other;
    other.host.image = Filled(99);
    other.dialogs.answer = path;
    QCOMPARE(mnuOpen_Click(other.context), FileResult::Done);
    QVERIFY(std::equal(saved.begin(), saved.begin() + kBlockSize, other.host.image.begin()));
    QVERIFY(other.host.grid == grid);
}

void TestPersonalityFiles::saveFailureKeepsOldFile_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder does not exist") << "nofolder";
    QTest::newRow("target is a directory") << "directory";
    QTest::newRow("disk limit reached while writing") << "limit";
}

void TestPersonalityFiles::saveFailureKeepsOldFile() {
    QFETCH(QString, kind);
    const QByteArray previous = Digits(Ascending());
    QString path;
    if (kind == "nofolder") {
        path = dir_.filePath("no such folder/radio.DS");
    } else if (kind == "directory") {
        path = dir_.filePath("a folder.DS");
        QVERIFY(QDir().mkpath(path));
    } else {
        path = dir_.filePath("keep me.DS");
        QVERIFY(WriteFile(path, previous));
    }

    Rig rig;
    rig.host.grid.fill(0xC3);
    rig.dialogs.answer = path;

    FileResult result;
    if (kind == "limit") {
        // A file size limit makes every write past 100 bytes fail, even for root: a save
        // that truncated the target first would leave it cut short.
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 100;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        result = mnuSave_Click(rig.context);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    } else {
        result = mnuSave_Click(rig.context);
    }

    QCOMPARE(result, FileResult::WriteFailed);
    const QStringList& ev = rig.host.events;
    QCOMPARE(ev.size(), 7);
    QCOMPARE(ev.mid(0, 3), QStringList({"encode", "decode", "show"}));
    QVERIFY2(ev.at(3).startsWith("text:File Not Saved"), qPrintable(ev.at(3)));
    QVERIFY2(ev.at(3).contains(path), "the text names the file");
    QCOMPARE(ev.mid(4), QStringList({"beep", "pause:3000", "close"}));

    if (kind == "limit") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), previous);
    } else if (kind == "directory") {
        QVERIFY(QFileInfo(path).isDir());
    } else {
        QVERIFY(!QFileInfo::exists(path));
    }
    // No temporary file is left behind beside the target.
    const QStringList left = QDir(QFileInfo(path).absolutePath())
                                 .entryList({"*.DS.*", "*.tmp*"}, QDir::Files | QDir::Hidden);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(", ")));
}

QTEST_MAIN(TestPersonalityFiles)
#include "tst_personality_files.moc"
