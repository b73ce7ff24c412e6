// Open and Save of personality files, driven through scripted dialogs and a stand-in host.
// The file format and its edge cases are the image layer's; this is about the flow around it.
#include "../link/RecordingHost.h"
#include "image/PersonalityFile.h"
#include "platform/FileDialogs.h"
#include "platform/Paths.h"
#include "ui/PersonalityFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace ostrand;

namespace {

using Block = std::array<uint8_t, kBlockSize>;

// The grid modelled as its own copy of the block, so the test sees whether Save wrote what
// the grid showed and whether Open's refresh brought the file into the grid.
struct Host : RecordingHost {
    Block grid{};
    void EncodeGrid() override {
        RecordingHost::EncodeGrid();
        std::copy(grid.begin(), grid.end(), image.begin());
    }
    void DecodeGrid() override {
        RecordingHost::DecodeGrid();
        std::copy(image.begin(), image.begin() + kBlockSize, grid.begin());
    }
};

struct Rig : FileDialogs {
    Host host;
    QString answer;
    QList<FileDialogRequest> requests;
    PersonalityFileContext context{host, *this, nullptr, nullptr, QStringLiteral("D"), {}, {}};
    Rig() {
        context.refreshFromImage = [this] { host.events << "refresh", host.DecodeGrid(); };
        context.pause = [this](int ms) { host.events << QStringLiteral("pause %1").arg(ms); };
        for (size_t i = 0; i < host.image.size(); ++i)
            host.image[i] = uint8_t(7 + 37 * i);
        host.grid.fill(0x5A);
    }
    QString OpenFile(const FileDialogRequest& r) override { return requests << r, answer; }
    QString SaveFile(const FileDialogRequest& r) override { return requests << r, answer; }
};

QByteArray blockOf(const EEImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), kBlockSize);
}

} // namespace

class TestPersonalityFiles : public QObject {
    Q_OBJECT

private slots:
    void dialogSetup_data() {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("defaultExt");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("selected");
        const auto add = [](const char* what, bool save, const char* ext, const char* folder,
                            const char* selected) {
            QTest::newRow(what) << save << ext << folder << selected;
        };
        add("open, DSX definition", false, "DSX", "/tmp", "Delta SX (*.DSX)");
        add("save, default D", true, "D", "/tmp", "All Delta Formats (*.D*)");
        add("save, DS, program folder", true, "DS", "", "Delta S (*.DS)");
        add("lower-case dsx is not DSX", false, "dsx", "", "All Delta Formats (*.D*)");
    }
    void dialogSetup() {
        QFETCH(bool, save);
        QFETCH(QString, defaultExt);
        QFETCH(QString, folder);
        QFETCH(QString, selected);
        Rig rig;
        rig.context.defaultExt = defaultExt;
        rig.context.folder = folder;
        const Block grid = rig.host.grid;
        const EEImage image = rig.host.image;
        QCOMPARE(save ? SavePersonalityFile(rig.context) : OpenPersonalityFile(rig.context),
                 FileResult::Cancelled);
        QVERIFY(rig.host.image == image && rig.host.grid == grid);
        QVERIFY(rig.host.events.isEmpty()); // cancelling runs not even the encode of a save
        QCOMPARE(rig.requests.size(), 1);
        const FileDialogRequest& r = rig.requests.first();
        QCOMPARE(r.title, save ? "File Save" : "File Open");
        QCOMPARE(r.nameFilters, QStringList({"All Delta Formats (*.D*)", "Delta S (*.DS)",
                                             "Delta S Wideband (*.DFS)", "Delta SX (*.DSX)"}));
        QCOMPARE(r.selectedFilter, selected);
        QCOMPARE(r.defaultSuffix, defaultExt);
        QCOMPARE(r.folder, folder.isEmpty() ? ProgramFolder() : folder);
    }

    void open_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<FileResult>("result");
        QTest::addColumn<QStringList>("events");
        const QByteArray d(255, '0');
        QTest::newRow("invalid: status text, beep, pause, nothing loaded")
            << d << FileResult::Invalid << QStringList{"show", "beep", "pause 3000", "close"};
        QTest::newRow("empty file: ends silently")
            << QByteArray("") << FileResult::Unreadable << QStringList{};
    }
    void open() {
        QFETCH(QByteArray, content);
        QFETCH(FileResult, result);
        QFETCH(QStringList, events);
        Rig rig;
        rig.answer = dir_.filePath(QTest::currentDataTag());
        QFile f(rig.answer);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
        f.close();
        const EEImage before = rig.host.image;
        QCOMPARE(OpenPersonalityFile(rig.context), result);
        QCOMPARE(rig.host.events, events);
        QCOMPARE(rig.host.statuses,
                 events.isEmpty() ? QStringList() : QStringList{"Invalid Input File"});
        QVERIFY(rig.host.image == before); // nothing loaded
    }

    void saveThenOpenRestores() {
        Rig rig;
        rig.answer = dir_.filePath("round trip.DSX");
        QFile previous(rig.answer); // a longer file than the new one: nothing of it may remain
        QVERIFY(previous.open(QIODevice::WriteOnly) && previous.write(QByteArray(300, 'x')) == 300);
        previous.close();
        for (int i = 0; i < kBlockSize; ++i)
            rig.host.grid[size_t(i)] = uint8_t(i * 2 + 1); // the operator's edits, not yet encoded
        const Block grid = rig.host.grid;
        QCOMPARE(SavePersonalityFile(rig.context), FileResult::Done);
        QCOMPARE(rig.host.events, QStringList({"encode", "decode"}));
        QFile f(rig.answer);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), FormatPersonality(rig.host.image));
        QCOMPARE(blockOf(rig.host.image),
                 QByteArray(reinterpret_cast<const char*>(grid.data()), kBlockSize));

        Rig other;
        other.answer = rig.answer;
        QCOMPARE(OpenPersonalityFile(other.context), FileResult::Done);
        QVERIFY(other.host.grid == grid);
    }

    void saveFailureIsReported() {
        Rig rig;
        rig.answer = dir_.filePath("no such folder/radio.DS");
        QCOMPARE(SavePersonalityFile(rig.context), FileResult::WriteFailed);
        QCOMPARE(rig.host.events,
                 QStringList({"encode", "decode", "show", "beep", "pause 3000", "close"}));
        QCOMPARE(rig.host.statuses.size(), 1);
        QVERIFY2(rig.host.statuses[0].startsWith("File Not Saved\n" + rig.answer + "\n"),
                 qPrintable(rig.host.statuses[0]));
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(TestPersonalityFiles)
#include "tst_personalityfiles.moc"
