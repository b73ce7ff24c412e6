#include "config/IniFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ostrand;

namespace {

const QString S = QStringLiteral("S");
const QString K = QStringLiteral("k");

void readRow(const char* what, const QByteArray& content, const QString& text, int number) {
    QTest::newRow(what) << content << text << number;
}

void refuseRow(const char* what, const QString& file, const QString& section, const QString& key,
               const QString& value) {
    QTest::newRow(what) << file << section << key << value;
}

void putRow(const char* what, const QByteArray& before, const QString& value,
            const QByteArray& after) {
    QTest::newRow(what) << before << value << after;
}

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_serial = 0;

    QString newPath() { return m_dir.filePath(QStringLiteral("t%1.ini").arg(++m_serial)); }

    QString write(const QByteArray& content) {
        const QString path = newPath();
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size()) return {};
        return path;
    }

    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Key k of section S read as text (default "<def>") and as a number (default -1).
    void read_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        const QString def = QStringLiteral("<def>");
        readRow("names match without regard to case", "[s]\nK=3\n", "3", 3);
        readRow("first key wins", "[S]\nk=1\nK=2\n", "1", 1);
        readRow("only the first section occurrence", "[S]\na=1\n[T]\nk=0\n[s]\nk=2\n", def, -1);
        readRow("key of another section", "[T]\nk=1\n[S]\na=2\n", def, -1);
        readRow("key before any section", "k=1\n[S]\n", def, -1);
        readRow("blanks around key and value", "[S]\n \t k \t=\t -5x  B \t\n", "-5x  B", -5);
        readRow("blanks inside section brackets", "  [ S ]  \nk=1\n", "1", 1);
        readRow("single quotes removed", "[S]\nk='12'\n", "12", 12);
        readRow("double quotes removed", "[S]\nk= \"  a b \" \n", "  a b ", 0);
        readRow("mismatched quotes kept", "[S]\nk=\"x'\n", "\"x'", 0);
        readRow("lone quote kept", "[S]\nk=\"\n", "\"", 0);
        readRow("empty value is present, not missing", "[S]\nk=\n", "", 0);
        readRow("comments skipped", ";[S]\nk=1\n[S]\n;k=2\n  #k=3\nk=4\n", "4", 4);
        readRow("lines without equals ignored", "[S]\n[T\nk\nk 1\nk=2\n", "2", 2);
        readRow("equals inside value kept", "[S]\nk=a=b\n", "a=b", 0);
        readRow("NUL ends the value", QByteArray("[S]\nk=42\0cd\n", 12), "42", 42);
        readRow("CRLF line ends", "[S]\r\nk=1\r\nj=2\r\n", "1", 1);
        readRow("no final line break", "[S]\nk=7", "7", 7);
        readRow("decimal point stops the number", "[S]\nk=13.9\n", "13.9", 13);
        readRow("hex prefix is not hex", "[S]\nk=0x1F\n", "0x1F", 0);
        readRow("number saturates", "[S]\nk=99999999999\n", "99999999999", 2147483647);
        readRow("8-bit text", "[S]\nk=\xe9t\xe9\n", QString::fromLatin1("\xe9t\xe9"), 0);
        readRow("UTF-8 with byte order mark", "\xEF\xBB\xBF[S]\nk=\xC3\xA9\n", QString(QChar(0xE9)),
                0);
        readRow("value cut to 1023 characters", "[S]\nk=" + QByteArray(1024, 'x'),
                QString(1023, u'x'), 0);
        readRow("quotes removed before the cut", "[S]\nk=\"" + QByteArray(5000, 'q') + "\"\n",
                QString(1023, u'q'), 0);
        readRow("quoted line longer than the line head",
                "[S]\nk='" + QByteArray(40000, 'q') + "'  \n", QString(1023, u'q'), 0);
        readRow("unmatched quote on a long line kept", "[S]\nk='" + QByteArray(40000, 'q') + "\"\n",
                "'" + QString(1022, u'q'), 0);
        readRow("key after a very long line", "[S]\nj=" + QByteArray(200000, 'z') + "\nk=5\n", "5",
                5);
        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk.append(char((i * 37) & 0xFF));
        readRow("binary junk before the section", junk + "\n[S]\nk=v\n", "v", 0);
    }
    void read() {
        QFETCH(QByteArray, content);
        QFETCH(QString, text);
        QFETCH(int, number);
        cINIFile ini;
        ini.setFilename(write(content));
        QCOMPARE(ini.GetString(S, K, QStringLiteral("<def>")), text);
        QCOMPARE(ini.GetNumber(S, K, -1), number);
    }

    // Files that are no INI file at all read as files without keys.
    void unreadable_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing file") << m_dir.filePath(QStringLiteral("absent.ini"));
        QTest::newRow("empty name") << QString();
        QTest::newRow("folder") << m_dir.path();
        QTest::newRow("endless device") << QStringLiteral("/dev/zero");
        QTest::newRow("empty file") << write(QByteArray());
    }
    void unreadable() {
        QFETCH(QString, path);
        cINIFile ini;
        ini.setFilename(path);
        QCOMPARE(ini.GetString(S, K, QStringLiteral("d")), QStringLiteral("d"));
        QCOMPARE(ini.GetNumber(S, K, 9), 9);
    }

    // A huge file must neither hang nor fill memory: reading stops at the read limit.
    void hugeFile_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<qint64>("size"); // the file is grown (with NULs) to this size
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<QString>("expected");
        const qint64 limit = cINIFile::kReadLimit;
        QTest::newRow("100 MB of NULs after the key")
            << QByteArray("[S]\nk=v\n") << qint64(100) * 1024 * 1024 << QByteArray() << "v";
        QTest::newRow("line crossing the read limit dropped")
            << QByteArray("[S]\n") << limit - 4 << QByteArray("\nk=late\n") << "<def>";
        QTest::newRow("key just inside the read limit")
            << QByteArray("[S]\n") << limit - 10 << QByteArray("\nk=in\n") << "in";
    }
    void hugeFile() {
        QFETCH(QByteArray, head);
        QFETCH(qint64, size);
        QFETCH(QByteArray, tail);
        QFETCH(QString, expected);
        const QString path = write(head);
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite) && f.resize(size) && f.seek(size));
            QCOMPARE(f.write(tail), tail.size());
        }
        cINIFile ini;
        ini.setFilename(path);
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 300; ++i) // as many reads as one configuration load
            QCOMPARE(ini.GetString(S, K, QStringLiteral("<def>")), expected);
        QVERIFY2(clock.elapsed() < 30000, "reading a huge file takes far too long");
    }

    // The file after one PutString of key k in section S, byte for byte.
    void putString_data() {
        QTest::addColumn<QByteArray>("before"); // "<none>": no file
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        putRow("creates the file", "<none>", "v", "[S]\nk=v\n");
        putRow("replaces the first key only", "[s]\nK=1\nk=2\n", "v", "[s]\nk=v\nk=2\n");
        putRow("adds to the first occurrence of the section", "[S]\na=1\n\n[T]\n[S]\nk=old\n", "v",
               "[S]\na=1\nk=v\n\n[T]\n[S]\nk=old\n");
        putRow("appends a new section", "[T]\nb=2", "v", "[T]\nb=2\n\n[S]\nk=v\n");
        putRow("keeps CRLF line ends", "[S]\r\na=1\r\n", "v", "[S]\r\na=1\r\nk=v\r\n");
        putRow("comments kept", "; c\n[S]\n;k=1\n", "v", "; c\n[S]\n;k=1\nk=v\n");
        putRow("outer blanks kept by quoting", "[S]\n", " v ", "[S]\nk=\" v \"\n");
        putRow("quoted value kept by quoting", "[S]\n", "'v'", "[S]\nk=\"'v'\"\n");
    }
    void putString() {
        QFETCH(QByteArray, before);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        const QString path = before == "<none>" ? newPath() : write(before);
        cINIFile ini;
        ini.setFilename(path);
        QVERIFY(ini.PutString(S, K, value));
        QCOMPARE(read(path), after);
        QCOMPARE(ini.GetString(S, K), value);
    }

    // Writes that could not read back, or cannot be made, are refused and change nothing.
    void putRefused_data() {
        QTest::addColumn<QString>("file"); // empty: an existing file holding "[S]\nk=1\n"
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const QString none;
        refuseRow("line break in value", none, S, K, "a\nb");
        refuseRow("NUL in value", none, S, K, QString(QChar(0)));
        refuseRow("equals in key", none, S, "k=j", "v");
        refuseRow("comment key", none, S, ";k", "v");
        refuseRow("bracket in section", none, "S]", K, "v");
        refuseRow("not 8-bit text", none, S, K, QString(QChar(0x20AC)));
        refuseRow("no such folder", "no/such/x.ini", S, K, "v");
        refuseRow("a folder", ".", S, K, "v");
    }
    void putRefused() {
        QFETCH(QString, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QByteArray before("[S]\nk=1\n");
        const QString path = file.isEmpty() ? write(before) : m_dir.filePath(file);
        cINIFile ini;
        ini.setFilename(path);
        QVERIFY(!ini.PutString(section, key, value));
        if (file.isEmpty()) QCOMPARE(read(path), before);
    }

    void putNumber() {
        const QString path = newPath();
        cINIFile ini;
        ini.setFilename(path);
        QVERIFY(ini.PutNumber(S, QStringLiteral("n"), -5) && ini.PutNumber(S, K, 7));
        QCOMPARE(read(path), QByteArray("[S]\nn=-5\nk=7\n"));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
