// SPDX-License-Identifier: GPL-3.0-or-later
// The image: the synthesizer counters, whole channel records in both layouts, and personality
// files as text and on disk. What the codec and the reference lists show on every definition
// the command line reaches, channel by channel, is pinned by the regression check as well.
#include "band/BandLimits.h"
#include "image/EntryExplanation.h"
#include "image/FreqCodec.h"
#include "image/PersonalityFile.h"
#include "image/RecordCodec.h"
#include "image/ToneCodec.h"
#include "platform/Backups.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <limits>
#include <numeric>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace ostrand;

Q_DECLARE_METATYPE(ChannelRow)

namespace {

// A slice of the standard DCG list (9-bit values, written in octal as the codes are).
const std::vector<int16_t> kDcgList = {
    0023, 0025, 0026, 0031, 0032, 0036, 0043, 0047, 0051, 0053, 0054, 0065, 0071, 0072, 0073,
    0074, 0114, 0115, 0116, 0122, 0125, 0131, 0132, 0134, 0143, 0145, 0152, 0155, 0156, 0162,
    0165, 0172, 0174, 0205, 0212, 0223, 0225, 0226, 0243, 0244, 0245, 0246, 0251, 0252, 0255,
    0261, 0263, 0265, 0266, 0271, 0274, 0306, 0311, 0315, 0325, 0331, 0332, 0343, 0346, 0351,
    0356, 0364, 0365, 0371, 0411, 0412, 0413, 0423, 0431, 0432, 0445, 0446, 0452, 0454, 0455,
    0462, 0464, 0465, 0466, 0503, 0506, 0516, 0523, 0526, 0532, 0546, 0565, 0606, 0612, 0624,
    0627, 0631, 0632, 0654, 0662, 0664, 0703, 0712, 0723};

// Tweaks of the base context, ';'-separated field texts read as the window reads its fields:
// "hi", "if=45.0", "rxmult=x", "txmult=0", "ref=", and "T1=0" (divider 1). The base: 13.2 MHz
// reference, low side, IF 10, multipliers 1; dividers 1..7 give 6.25, 5, 6.25, 12.5, 3.125,
// 6.25, 6.25 kHz; CG tone 100.0 at list position 5.
CodecContext Context(int radio, const QString& setup = {}) {
    QHash<QString, QString> set;
    for (const QString& item : setup.split(u';', Qt::SkipEmptyParts))
        set.insert(item.section(u'=', 0, 0), item.section(u'=', 1));
    CodecContext c;
    static_cast<RadioValues&>(c) =
        ReadRadioValues({int16_t(radio), set.value("ref", "13.2"), set.value("if", "10.0"),
                         set.value("rxmult", "1"), set.value("txmult", "1"), set.contains("hi")});
    c.Dividers = {0, 2112, 2640, 2112, 1056, 4224, 2112, 2112};
    c.DCGList = kDcgList;
    c.CGList = {67.0f, 71.9f, 74.4f, 77.0f, 100.0f, 103.5f, 107.2f};
    for (int k = 1; k <= 7; ++k)
        c.Dividers[size_t(k)] = int16_t(
            set.value(QString("T%1").arg(k), QString::number(c.Dividers[size_t(k)])).toInt());
    return c;
}

// One line per row, so a failing comparison shows every field: "rx/tx rREF rxtone/txtone sSTE
// tTIMER wz RxW RxZ/TxW TxZ", " off" when the W/Z boxes are disabled.
QString Describe(const ChannelRow& r) {
    return QString::asprintf("%s/%s r%d %s/%s s%d t%d wz%d%d/%d%d%s", qPrintable(r.RxFreq),
                             qPrintable(r.TxFreq), int(r.RefIndex), qPrintable(r.RxTone),
                             qPrintable(r.TxTone), int(r.STE), r.CCT, int(r.RxW), int(r.RxZ),
                             int(r.TxW), int(r.TxZ), r.WZEnabled ? "" : " off");
}

ChannelRow Freqs(const char* rx, const char* tx, int ref = 3) {
    return {.TxFreq = tx, .RxFreq = rx, .RefIndex = ref, .STE = true};
}

constexpr int kRow1 = 0x70;

QByteArray RecordAt(const EEImage& image, int at) {
    return QByteArray(reinterpret_cast<const char*>(image.data()) + at, 8);
}

// Every kind of field set: 160.0 / 155.3625, tones 100.0 / 023, Rx W, Tx Z, STE, timer 2.
const ChannelRow kWorked = [] {
    ChannelRow r = Freqs("160.0000", "155.3625");
    r.TxTone = "023", r.RxTone = "100.0", r.CCT = 2, r.TxZ = r.RxW = true;
    return r;
}();

// 256 digits for bytes 0x00, 0x01, ..., 0x7F: every position has a distinct value.
QByteArray CountingDigits() {
    QByteArray bytes(kBlockSize, 0);
    std::iota(bytes.begin(), bytes.end(), char(0));
    return bytes.toHex().toUpper();
}

QByteArray HexOf(const std::array<uint8_t, kBlockSize>& b) {
    return QByteArray(reinterpret_cast<const char*>(b.data()), kBlockSize).toHex().toUpper();
}

bool WriteFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

} // namespace

class TestImage : public QObject {
    Q_OBJECT
private slots:
    // "N/A" written for a frequency, 0/0 meaning none.
    void encodeFreq_data() {
        QTest::addColumn<double>("ref");
        QTest::addColumn<int>("div");
        QTest::addColumn<float>("freq");
        QTest::addColumn<QString>("NA");
        const auto add = [](const char* what, double ref, int div, float freq, const char* na) {
            QTest::newRow(what) << ref << div << freq << na;
        };
        add("150.0 on 6.25 kHz", 13.2, 2112, 150.0f, "375/0");
        add("155.3625 on 6.25 kHz", 13.2, 2112, 155.3625f, "388/26");
        add("999.0 is still encoded", 13.2, 2112, 999.0f, "2497/32");
        add("999.01 is out of range", 13.2, 2112, 999.01f, "0/0");
        add("-0.01 is out of range", 13.2, 2112, -0.01f, "0/0");
        add("NaN is out of range", 13.2, 2112, std::numeric_limits<float>::quiet_NaN(), "0/0");
        add("divider 0 never divides", 13.2, 0, 150.0f, "0/0");
        add("reference 0: no frequency", 0, 2112, 150.0f, "0/0");
        add("tie 0.5 goes to the even 0", 1, 2, 0.25f, "0/0");
        add("A wraps into N at 64", 1, 2, 32.0f, "1/0");
        add("total beyond 32 bits: no frequency", 1e-300, 1, 1.0f, "0/0");
    }
    void encodeFreq() {
        QFETCH(double, ref);
        QFETCH(int, div);
        QFETCH(float, freq);
        QFETCH(QString, NA);
        int16_t n = -1, a = -1;
        EEEncodeFreq(freq, int16_t(div), ref, n, a);
        QCOMPARE(QString("%1/%2").arg(n).arg(a), NA);
    }

    void decode_data() {
        QTest::addColumn<int>("radio");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("row");
        const auto add = [](const char* what, int radio, const char* setup, const char* record,
                            const QString& row) {
            QTest::newRow(what) << radio << setup << QByteArray::fromHex(record) << row;
        };
        add("erased, Delta-S: A=127 frequencies, timer 15", 16, "", "FFFFFFFFFFFFFFFF",
            "419.9937/409.9937 r7 / s0 t15 wz00/00 off");
        add("erased, no radio: a timer code without an entry shows Off", 0, "", "FFFFFFFFFFFFFFFF",
            "/ r7 / s0 t0 wz11/11");
        add("N=1 A=48 is no frequency", 17, "", "03000B0000000000", "/ r3 / s1 t0 wz00/00");
        add("a reference no float can hold: no frequency", 17, "ref=9e99", "03BB0800002CA100",
            "/ r3 / s1 t0 wz00/00");
        add("reference 0, T1=0: receive with T3 shown, transmit empty", 17, "T1=0",
            "00BB080000BB0800", "160.0000/ r0 / s1 t0 wz00/00");
        add("transmit multiplier read leniently", 17, "txmult=2x", "03000000002CA100",
            "/310.7250 r3 / s1 t0 wz00/00");
        add("receive multiplier not a number: receive empty", 17, "rxmult=1x", "03BB0800002CA100",
            "/155.3625 r3 / s1 t0 wz00/00");
        add("IF not a number: receive empty", 17, "if=10x", "03BB0800002CA100",
            "/155.3625 r3 / s1 t0 wz00/00");
        add("full row, Delta-SX", 17, "", "43BB08C9A22CA131", Describe(kWorked));
        add("full row, Delta-S", 16, "", "63BB0850502CA131",
            "160.0000/155.3625 r3 100.0/023 s0 t5 wz00/00 off");
    }
    void decode() {
        QFETCH(int, radio);
        QFETCH(QString, setup);
        QFETCH(QByteArray, record);
        QFETCH(QString, row);
        for (const uint8_t fill : {0x00, 0xFF}) { // the neighbours' bytes must not leak in
            EEImage image;
            image.fill(fill);
            std::copy(record.begin(), record.end(), image.begin() + kRow1);
            QCOMPARE(Describe(EEDecode(image, kRow1, Context(radio, setup))), row);
        }
    }

    void encode_data() {
        QTest::addColumn<int>("radio");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<ChannelRow>("row");
        QTest::addColumn<QByteArray>("record");
        const auto add = [](const char* what, int radio, const char* setup, const ChannelRow& row,
                            const char* record) {
            QTest::newRow(what) << radio << setup << row << QByteArray(record);
        };
        add("full row, Delta-SX", 17, "", kWorked, "43BB08C9A22CA131");
        // The number the unusable-value check passes, not the lenient reading's 0.
        add("Ref. Freq. after a carriage return", 17, "ref=\r13.2", kWorked, "43BB08C9A22CA131");
        ChannelRow s = kWorked;
        s.STE = false, s.CCT = 5; // the W/Z boxes stay set: the Delta-S layout has no room
        add("full row, Delta-S", 16, "", s, "63BB0850502CA131");
        add("divider 0 both halves: 1023/63", 17, "T4=0", Freqs("160.0", "155.3625", 4),
            "0CFFFB0008FFFB00");
        add("no reference selection: code 0", 17, "", Freqs("160.0", "", -1), "00BB080000000000");
        add("no timer selection stores Off", 17, "", {.RefIndex = 3, .STE = true, .CCT = -1},
            "0300000000000000");
        add("zero multipliers: no frequency", 17, "rxmult=0;txmult=0", Freqs("160.0", "155.3625"),
            "0300000000000000");
    }
    void encode() {
        QFETCH(int, radio);
        QFETCH(QString, setup);
        QFETCH(ChannelRow, row);
        QFETCH(QByteArray, record);
        EEImage image;
        image.fill(0xA5); // old contents must not survive, nor neighbours change
        EEEncode(image, kRow1, row, Context(radio, setup));
        QCOMPARE(RecordAt(image, kRow1).toHex().toUpper(), record);
        QCOMPARE(std::count(image.begin(), image.end(), 0xA5), kImageSize - 8);
    }

    // Random records decoded, encoded, decoded: all but tones come back at once (Delta-S
    // frequencies aside: a 7-bit A need not fit the 6-bit A written). Tones may normalise onto
    // a listed family member, but the bytes settle within a refresh (inverted DCG: five more).
    void roundTrip_data() {
        QTest::addColumn<int>("radio");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("invert");
        QTest::newRow("Delta-SX") << 17 << "" << false;
        QTest::newRow("Delta-SX, inverted DCG, x3") << 17 << "rxmult=3;txmult=3;if=45.0" << true;
        QTest::newRow("Delta-S, inverted DCG, 12.5 kHz, dividers 0, x2")
            << 16 << "T1=1056;T2=0;T3=0;T6=1056;rxmult=2;txmult=2" << true;
    }
    void roundTrip() {
        QFETCH(int, radio);
        QFETCH(QString, setup);
        QFETCH(bool, invert);
        CodecContext ctx = Context(radio, setup);
        ctx.DCGInvertRx = ctx.DCGInvertTx = invert;
        QRandomGenerator rng(0x5EED + quint32(radio));
        for (int round = 0; round < 2000; ++round) {
            EEImage image{};
            for (int i = 0; i < 8; ++i)
                image[size_t(kRow1 + i)] = uint8_t(rng.bounded(256));
            const QByteArray original = RecordAt(image, kRow1).toHex(' ');
            ChannelRow a = EEDecode(image, kRow1, ctx);
            EEEncode(image, kRow1, a, ctx);
            ChannelRow b = EEDecode(image, kRow1, ctx);
            a.RxTone = b.RxTone = a.TxTone = b.TxTone = QString();
            if (radio == kDeltaS) a.RxFreq = b.RxFreq = a.TxFreq = b.TxFreq = QString();
            QVERIFY2(a == b, original.constData());
            QByteArray previous = RecordAt(image, kRow1);
            for (int rounds = 1;; ++rounds) {
                EEEncode(image, kRow1, EEDecode(image, kRow1, ctx), ctx);
                if (RecordAt(image, kRow1) == previous) break;
                QVERIFY2(rounds < (invert ? 6 : 2), original.constData());
                previous = RecordAt(image, kRow1);
            }
        }
    }

    // What the status bar says of an entry once the codec has stored it and the field shows it
    // back (reference 3: a 6.25 kHz step; low side of 10 MHz).
    void explainEntry_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<int>("radio");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("said");
        const auto add = [](const char* what, EntryField f, int radio, const char* typed,
                            const char* said) {
            QTest::newRow(what) << int(f) << radio << QString(typed) << QString(said);
        };
        using enum EntryField;
        add("within half a kilohertz: nothing", TxFreq, 17, "146.5254", "");
        add("rounded to the step", TxFreq, 17, "146.523",
            "146.523 rounded to the 6.250 kHz step of its PLL Ref.: shown as 146.5250");
        add("cut at a comma", RxFreq, 17, "146,52",
            "146,52 read as 146 (the decimal point is \".\"): shown as 146.0000");
        add("beyond the synthesizer's count", TxFreq, 17, "450.1",
            "450.1 is beyond what the synthesizer counts at this PLL Ref.: stored as 40.5000");
        add("cannot be stored", RxFreq, 17, "5",
            "5 cannot be stored with this PLL Ref.: no Rx frequency");
        add("0 typed for none: nothing", TxFreq, 17, "0", "");
        add("a tone read as a DCG code", RxTone, 17, "100",
            "100 read as DCG code 100 (shown as 446, the same code word)");
        add("a listed tone without its point", TxTone, 17, "74",
            "74 read as DCG code 074 (a CG tone is typed with a point: 74.4)");
        add("only a leading zero added: nothing", TxTone, 17, "23", "");
        add("reading stops at a digit 8", TxTone, 17, "238", "238 read as DCG code 023");
        add("unstorable code cleared", RxTone, 17, "777",
            "777 read as DCG code 777, which cannot be stored: no tone");
        add("no octal digit", RxTone, 17, "9", "9 is no DCG code (octal digits 0-7): no tone");
        add("nearest generator setting", RxTone, 17, "71.9",
            "71.9 replaced by the nearest tone generator setting, 71.8");
        add("beyond the generator", TxTone, 17, "1000.",
            "1000. replaced by the nearest tone generator setting, 238.1");
        add("only a decimal added: nothing", TxTone, 17, "100.", "");
        add("nearest listed tone", RxTone, 16, "80.0",
            "80.0 replaced by the nearest listed CG tone, 77.0");
        add("no listed tone within 20 Hz", RxTone, 16, "250.3",
            "250.3 is not within 20 Hz of a listed CG tone: no tone");
    }
    void explainEntry() {
        QFETCH(int, entry);
        QFETCH(int, radio);
        const auto field = EntryField(entry);
        QFETCH(QString, typed);
        const CodecContext ctx = Context(radio);
        const bool tx = field == EntryField::TxFreq || field == EntryField::TxTone;
        EEImage image{};
        QString shown;
        if (field == EntryField::TxFreq || field == EntryField::RxFreq) {
            EEEncode(image, kRow1, tx ? Freqs("", qPrintable(typed)) : Freqs(qPrintable(typed), ""),
                     ctx);
            const ChannelRow back = EEDecode(image, kRow1, ctx);
            shown = tx ? back.TxFreq : back.RxFreq;
        } else {
            shown = ToneEntry(image, kRow1 + (tx ? 4 : 0), typed, ctx);
        }
        QTEST(ExplainEntry(field, typed, shown, ctx, 3), "said");
    }

    // Channel 2's frequencies as the grid shows them against the limits: those outside.
    void bandLimits_data() {
        QTest::addColumn<float>("lo");
        QTest::addColumn<float>("hi");
        QTest::addColumn<QString>("tx");
        QTest::addColumn<QString>("rx");
        QTest::addColumn<QString>("outside");
        const QString band = " is outside 136.0000–174.0000 MHz";
        QTest::newRow("the limits themselves are inside") << 136.0f << 174.0f << "136.0000"
                                                          << "174.0000"
                                                          << "";
        QTest::newRow("limits a float cannot hold keep their own values inside")
            << 136.0375f << 173.9625f << "136.0375"
            << "173.9625"
            << "";
        QTest::newRow("below and above, Tx first")
            << 136.0f << 174.0f << "135.9999"
            << "450.1000"
            << "channel 2 Tx Freq. 135.9999" + band + "|channel 2 Rx Freq. 450.1000" + band;
        QTest::newRow("no frequency is never outside") << 136.0f << 174.0f << ""
                                                       << ""
                                                       << "";
        QTest::newRow("one limit unset: no band") << 0.0f << 174.0f << "450.1000"
                                                  << ""
                                                  << "";
        QTest::newRow("limits reversed: no band") << 174.0f << 136.0f << "450.1000"
                                                  << ""
                                                  << "";
    }
    void bandLimits() {
        QFETCH(float, lo);
        QFETCH(float, hi);
        QFETCH(QString, tx);
        QFETCH(QString, rx);
        const BandLimits limits{lo, hi};
        QStringList said;
        const std::vector<ChannelRow> rows{{}, Freqs(qPrintable(rx), qPrintable(tx))};
        for (const OutOfBand& f : FrequenciesOutside(rows, limits))
            said << OutsideText(f, limits);
        QTEST(said.join(u'|'), "outside");
    }

    // The file's text and the 256 digits it reads as; empty: rejected.
    void parse_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("digits");
        const QByteArray d = CountingDigits(), none;
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
        QCOMPARE(parsed ? HexOf(*parsed) : QByteArray(), digits);
    }

    // A missing file stands for "cannot be opened" (permissions do not stop root). The huge
    // ones are 100 MB, sparse, and must not be read whole.
    void readFile_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("status");
        const QByteArray d = CountingDigits();
        QTest::newRow("missing file") << QByteArray("-") << int(PersonalityRead::Unreadable);
        QTest::newRow("empty file") << QByteArray() << int(PersonalityRead::Empty);
        QTest::newRow("huge, a valid first line") << d + "\r\n" << int(PersonalityRead::Ok);
        QTest::newRow("huge, one long field") << d + d << int(PersonalityRead::Invalid);
    }
    void readFile() {
        QFETCH(QByteArray, content);
        QFETCH(int, status);
        const QString path = dir_.filePath(QTest::currentDataTag());
        if (content != "-") QVERIFY(WriteFile(path, content));
        if (content.size() > 1) QVERIFY(QFile::resize(path, 100LL * 1024 * 1024));
        QElapsedTimer clock;
        clock.start();
        const PersonalityRead read = ReadPersonalityFile(path);
        QVERIFY2(clock.elapsed() < 2000, "a huge file must not be read whole");
        QCOMPARE(int(read.status), status);
        if (status == PersonalityRead::Ok) QCOMPARE(HexOf(read.bytes), CountingDigits());
    }

    // A save that fails part-way leaves what was there before, and no temporary file beside
    // it. Every write past 100 bytes fails, even for root: a save that truncated the target
    // first would leave it cut short.
    void failedSaveKeepsPrevious() {
        const QString path = dir_.filePath("limit.DS");
        QVERIFY(WriteFile(path, "previous"));
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
            WriteFile(file, "x") &&
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

    // Two backups in one second, after `old` of two years ago and `young` of last month: named
    // for the time, what happened and the radio, the second numbered, each holding the image;
    // pruning keeps the newest 1000 and a year's, and leaves other files alone.
    void backups_data() {
        QTest::addColumn<int>("old");
        QTest::addColumn<int>("young");
        QTest::addColumn<int>("left");
        QTest::newRow("1000 old: the two oldest go") << 1000 << 0 << 1000;
        QTest::newRow("beyond 1000, a year's stay") << 2 << 1000 << 1002;
        QTest::newRow("a few: none goes") << 3 << 0 << 5;
    }
    void backups() {
        QFETCH(int, old);
        QFETCH(int, young);
        QTemporaryDir dir;
        const QDateTime now(QDate(2026, 12, 6), QTime(14, 2, 33));
        for (int i = 0; i < old + young; ++i)
            WriteFile(dir.filePath(BackupName(now.addMonths(i < old ? -24 : -1).addSecs(i), "write",
                                              kDeltaS)),
                      "x");
        QVERIFY(WriteFile(dir.filePath("2001-01-01_000000_notes.txt"), "mine"));
        EEImage image{};
        image[127] = 0xA5;
        BackupStore store(dir.path(), [&] { return now; });
        const BackupResult first = store.Keep("read", kDeltaSX, image);
        const BackupResult second = store.Keep("read", kDeltaSX, image);
        QCOMPARE(QFileInfo(first.path).fileName(), "2026-12-06_140233_read_Delta-SX.DSX");
        QCOMPARE(QFileInfo(second.path).fileName(), "2026-12-06_140233_read_Delta-SX-2.DSX");
        QCOMPARE(ReadPersonalityFile(second.path).bytes[127], 0xA5);
        QFETCH(int, left);
        QCOMPARE(QDir(dir.path()).entryList({"*_*_*.D*"}).size(), left);
        QVERIFY(QFile::exists(dir.filePath("2001-01-01_000000_notes.txt")));
        const BackupResult failed = BackupStore(first.path + "/sub").Keep("read", 17, image);
        QVERIFY(failed.path.isEmpty() && !failed.problem.isEmpty());
    }

private:
    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(TestImage)
#include "tst_image.moc"
