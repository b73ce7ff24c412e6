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
        readRow("blanks around key and value", "[S]\n \t k \t=\t -5x  B \t\n", "-5x  B", -5);
        readRow("blanks inside section brackets", "  [ S ]  \nk=1\n", "1", 1);
        readRow("single quotes removed", "[S]\nk='12'\n", "12", 12);
        readRow("double quotes removed", "[S]\nk= \"  a b \" \n", "  a b ", 0);
        readRow("mismatched quotes kept", "[S]\nk=\"x'\n", "\"x'", 0);
        readRow("empty value is present, not missing", "[S]\nk=\n", "", 0);
        readRow("comments skipped", ";[S]\nk=1\n[S]\n;k=2\n  #k=3\nk=4\n", "4", 4);
        readRow("lines without equals ignored", "[S]\n[T\nk\nk 1\nk=2\n", "2", 2);
        readRow("equals inside value kept", "[S]\nk=a=b\n", "a=b", 0);
        readRow("NUL ends the value", QByteArray("[S]\nk=42\0cd\n", 12), "42", 42);
        readRow("no final line break", "[S]\nk=7", "7", 7);
        readRow("decimal point stops the number", "[S]\nk=13.9\n", "13.9", 13);
        readRow("8-bit text", "[S]\nk=\xe9t\xe9\n", QString::fromLatin1("\xe9t\xe9"), 0);
        readRow("UTF-8 with byte order mark", "\xEF\xBB\xBF[S]\nk=\xC3\xA9\n", QString(QChar(0xE9)),
                0);
        readRow("value cut to 1023 characters", "[S]\nk=" + QByteArray(1024, 'x'),
                QString(1023, u'x'), 0);
        readRow("quoted line longer than the line head",
                "[S]\nk='" + QByteArray(40000, 'q') + "'  \n", QString(1023, u'q'), 0);
        readRow("key after a very long line", "[S]\nj=" + QByteArray(200000, 'z') + "\nk=5\n", "5",
                5);
        readRow("folder", "path:" + m_dir.path().toUtf8(), def, -1);
        readRow("endless device", "path:/dev/zero", def, -1);
        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk.append(char((i * 37) & 0xFF));
        readRow("binary junk before the section", junk + "\n[S]\nk=v\n", "v", 0);
    }
    void read() {
        QFETCH(QByteArray, content);
        QFETCH(QString, text);
        QFETCH(int, number);
        cINIFile ini; // "path:" names a file that is no INI file at all
        ini.setFilename(content.startsWith("path:") ? QString(content.mid(5)) : write(content));
        QCOMPARE(ini.GetString(S, K, QStringLiteral("<def>")), text);
        QCOMPARE(ini.GetNumber(S, K, -1), number);
    }

    // A huge file must neither hang nor fill memory: reading stops at the read limit.
    void hugeFile_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<qint64>("size"); // the file is grown (with NULs) to this size
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<QString>("expected");
        const qint64 limit = cINIFile::kReadLimit;
        QTest::newRow("key beyond the read limit of a 100 MB file")
            << QByteArray("[S]\n") << qint64(100) * 1024 * 1024 << QByteArray("\nk=late\n")
            << "<def>";
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

    // Writing a key and reading it back, with the file byte for byte; a value that could not
    // read back is refused and leaves the file alone.
    void putString_data() {
        QTest::addColumn<QByteArray>("before"); // "<none>": no file
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("creates the file")
            << QByteArray("<none>") << "v" << QByteArray("[S]\nk=v\n");
        QTest::newRow("replaces the first key only, keeps CRLF")
            << QByteArray("[s]\r\nK=1\r\nk=2\r\n") << "v" << QByteArray("[s]\r\nk=v\r\nk=2\r\n");
        QTest::newRow("appends a new section")
            << QByteArray("[T]\nb=2") << "v" << QByteArray("[T]\nb=2\n\n[S]\nk=v\n");
        QTest::newRow("line break refused")
            << QByteArray("[S]\nk=1\n") << "a\nb" << QByteArray("[S]\nk=1\n");
    }
    void putString() {
        QFETCH(QByteArray, before);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        const QString path = before == "<none>" ? newPath() : write(before);
        cINIFile ini;
        ini.setFilename(path);
        const bool written = after != before;
        QCOMPARE(ini.PutString(S, K, value), written);
        QCOMPARE(read(path), after);
        if (written) QCOMPARE(ini.GetString(S, K), value);
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
