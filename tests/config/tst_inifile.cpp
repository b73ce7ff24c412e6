#include "config/IniFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ostrand;

namespace {

QByteArray repeated(char c, int n) {
    return QByteArray(n, c);
}

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_serial = 0;

    // A fresh file name in the temporary folder for each use.
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

    // The value text of one key under the reading rules.
    void getString_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QString def = QStringLiteral("<def>");
        QTest::newRow("section name case") << QByteArray("[serial]\nCommPort=3\n") << "SERIAL"
                                           << "CommPort"
                                           << "3";
        QTest::newRow("key name case") << QByteArray("[S]\ncommport=3\n") << "S"
                                       << "COMMPORT"
                                       << "3";
        QTest::newRow("first key wins") << QByteArray("[S]\nk=1\nK=2\n") << "S"
                                        << "k"
                                        << "1";
        QTest::newRow("only first section occurrence")
            << QByteArray("[S]\na=1\n[T]\nk=0\n[s]\nk=2\n") << "S"
            << "k" << def;
        QTest::newRow("key of another section not seen")
            << QByteArray("[T]\nk=1\n[S]\na=2\n") << "S"
            << "k" << def;
        QTest::newRow("key before any section not seen") << QByteArray("k=1\n[S]\n") << "S"
                                                         << "k" << def;
        QTest::newRow("missing section") << QByteArray("[T]\nk=1\n") << "S"
                                         << "k" << def;
        QTest::newRow("missing key") << QByteArray("[S]\nj=1\n") << "S"
                                     << "k" << def;
        QTest::newRow("blanks around key and value")
            << QByteArray("[S]\n \t Name1 \t=\t Foo  Bar \t\n") << "S"
            << "Name1"
            << "Foo  Bar";
        QTest::newRow("blanks inside section brackets") << QByteArray("  [ S ]  \nk=1\n") << "S"
                                                        << "k"
                                                        << "1";
        QTest::newRow("double quotes removed") << QByteArray("[S]\nk= \"  a b \" \n") << "S"
                                               << "k"
                                               << "  a b ";
        QTest::newRow("single quotes removed") << QByteArray("[S]\nk='x'\n") << "S"
                                               << "k"
                                               << "x";
        QTest::newRow("mismatched quotes kept") << QByteArray("[S]\nk=\"x'\n") << "S"
                                                << "k"
                                                << "\"x'";
        QTest::newRow("lone quote kept") << QByteArray("[S]\nk=\"\n") << "S"
                                         << "k"
                                         << "\"";
        QTest::newRow("empty quotes give empty text") << QByteArray("[S]\nk=\"\"\n") << "S"
                                                      << "k"
                                                      << "";
        QTest::newRow("empty value is present, not missing") << QByteArray("[S]\nk=\n") << "S"
                                                             << "k"
                                                             << "";
        QTest::newRow("semicolon comment skipped") << QByteArray("[S]\n;k=1\nk=2\n") << "S"
                                                   << "k"
                                                   << "2";
        QTest::newRow("hash comment skipped") << QByteArray("[S]\n  #k=1\nk=2\n") << "S"
                                              << "k"
                                              << "2";
        QTest::newRow("commented section header") << QByteArray(";[S]\nk=1\n[S]\nk=2\n") << "S"
                                                  << "k"
                                                  << "2";
        QTest::newRow("line without equals ignored") << QByteArray("[S]\nk\nk 1\nk=2\n") << "S"
                                                     << "k"
                                                     << "2";
        QTest::newRow("unclosed bracket is no section") << QByteArray("[S]\n[T\nk=1\n") << "S"
                                                        << "k"
                                                        << "1";
        QTest::newRow("equals inside value kept") << QByteArray("[S]\nk=a=b\n") << "S"
                                                  << "k"
                                                  << "a=b";
        QTest::newRow("NUL ends the value") << QByteArray("[S]\nk=ab\0cd\n", 12) << "S"
                                            << "k"
                                            << "ab";
        QTest::newRow("CRLF line ends") << QByteArray("[S]\r\nk=1\r\nj=2\r\n") << "S"
                                        << "k"
                                        << "1";
        QTest::newRow("no final line break") << QByteArray("[S]\nk=last") << "S"
                                             << "k"
                                             << "last";
        QTest::newRow("8-bit text") << QByteArray("[S]\nk=\xe9t\xe9\n") << "S"
                                    << "k" << QString::fromLatin1("\xe9t\xe9");
        QTest::newRow("UTF-8 with byte order mark")
            << QByteArray("\xEF\xBB\xBF[S]\nk=\xC3\xA9\n") << "S"
            << "k" << QString(QChar(0xE9));
        QTest::newRow("value cut to 1023 characters")
            << QByteArray("[S]\nk=" + repeated('x', 1500) + "\n") << "S"
            << "k" << QString(1023, u'x');
        QTest::newRow("exactly 1023 characters kept")
            << QByteArray("[S]\nk=" + repeated('y', 1023) + "\n") << "S"
            << "k" << QString(1023, u'y');
        QTest::newRow("quoted 5000 characters")
            << QByteArray("[S]\nk=\"" + repeated('q', 5000) + "\"\n") << "S"
            << "k" << QString(1023, u'q');
        QTest::newRow("quoted line longer than the line head")
            << QByteArray("[S]\nk='" + repeated('q', 40000) + "'  \n") << "S"
            << "k" << QString(1023, u'q');
        QTest::newRow("unmatched quote on a long line kept")
            << QByteArray("[S]\nk='" + repeated('q', 40000) + "\"\n") << "S"
            << "k"
            << "'" + QString(1022, u'q');
        QTest::newRow("key after a very long line")
            << QByteArray("[S]\nj=" + repeated('z', 200000) + "\nk=found\n") << "S"
            << "k"
            << "found";
        QTest::newRow("binary junk before the section") <<
            [] {
                QByteArray junk;
                for (int i = 0; i < 4096; ++i)
                    junk.append(char((i * 37) & 0xFF));
                return junk + "\n[S]\nk=v\n";
            }() << "S"
                                                        << "k"
                                                        << "v";
    }
    void getString() {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        cINIFile ini;
        ini.setFilename(write(content));
        QCOMPARE(ini.GetString(section, key, QStringLiteral("<def>")), expected);
    }

    // The integer reading of a value and the default for a missing key.
    void getNumber_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << QByteArray("k=42") << 42;
        QTest::newRow("negative with trailing text") << QByteArray("k=-5x") << -5;
        QTest::newRow("text before digits") << QByteArray("k=x5") << 0;
        QTest::newRow("blanks trimmed") << QByteArray("k=  7  ") << 7;
        QTest::newRow("quotes removed first") << QByteArray("k='12'") << 12;
        QTest::newRow("decimal point stops") << QByteArray("k=13.9") << 13;
        QTest::newRow("hex prefix is not hex") << QByteArray("k=0x1F") << 0;
        QTest::newRow("empty value reads 0, not the default") << QByteArray("k=") << 0;
        QTest::newRow("saturates") << QByteArray("k=99999999999") << 2147483647;
        QTest::newRow("missing key gives the default") << QByteArray("j=1") << -1;
        QTest::newRow("explicit -1 equals the default") << QByteArray("k=-1") << -1;
    }
    void getNumber() {
        QFETCH(QByteArray, line);
        QFETCH(int, expected);
        cINIFile ini;
        ini.setFilename(write("[S]\n" + line + "\n"));
        QCOMPARE(ini.GetNumber(QStringLiteral("S"), QStringLiteral("k"), -1), expected);
    }

    // Files that are no INI file at all read as files without keys.
    void unreadable_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing file") << m_dir.filePath(QStringLiteral("absent.ini"));
        QTest::newRow("empty name") << QString();
        QTest::newRow("folder") << m_dir.path();
        QTest::newRow("endless device") << QStringLiteral("/dev/zero");
        QTest::newRow("empty file") << write(QByteArray());
        QTest::newRow("only blanks") << write("\n\n   \r\n\t\n");
    }
    void unreadable() {
        QFETCH(QString, path);
        cINIFile ini;
        ini.setFilename(path);
        QCOMPARE(ini.GetString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("d")),
                 QStringLiteral("d"));
        QCOMPARE(ini.GetNumber(QStringLiteral("S"), QStringLiteral("k"), 9), 9);
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
        QTest::newRow("100 MB of NULs, key missing")
            << QByteArray("[S]\nj=v\n") << qint64(100) * 1024 * 1024 << QByteArray() << "<def>";
        QTest::newRow("key beyond the read limit ignored")
            << QByteArray("[S]\n") << limit + 10 << QByteArray("\nk=late\n") << "<def>";
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
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.resize(size));
            QVERIFY(f.seek(size));
            QCOMPARE(f.write(tail), tail.size());
        }
        cINIFile ini;
        ini.setFilename(path);
        QElapsedTimer clock;
        clock.start();
        // As many reads as one full configuration load does.
        for (int i = 0; i < 300; ++i)
            QCOMPARE(
                ini.GetString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("<def>")),
                expected);
        QVERIFY2(clock.elapsed() < 30000, "reading a huge file takes far too long");
    }

    // Writing: the file after one PutString, byte for byte.
    void putString_data() {
        QTest::addColumn<QByteArray>("before"); // "<none>": no file
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("creates the file") << QByteArray("<none>") << "S"
                                          << "k"
                                          << "v" << QByteArray("[S]\nk=v\n");
        QTest::newRow("replaces the first key only") << QByteArray("[S]\nk=1\nk=2\n") << "S"
                                                     << "k"
                                                     << "v" << QByteArray("[S]\nk=v\nk=2\n");
        QTest::newRow("replaces without regard to case") << QByteArray("[s]\nK=1\n") << "S"
                                                         << "k"
                                                         << "v" << QByteArray("[s]\nk=v\n");
        QTest::newRow("adds at the end of its section")
            << QByteArray("[S]\na=1\n\n[T]\nb=2\n") << "S"
            << "k"
            << "v" << QByteArray("[S]\na=1\nk=v\n\n[T]\nb=2\n");
        QTest::newRow("adds to the first occurrence of the section")
            << QByteArray("[S]\na=1\n[T]\n[S]\nk=old\n") << "S"
            << "k"
            << "v" << QByteArray("[S]\na=1\nk=v\n[T]\n[S]\nk=old\n");
        QTest::newRow("appends a new section") << QByteArray("[T]\nb=2") << "S"
                                               << "k"
                                               << "v" << QByteArray("[T]\nb=2\n\n[S]\nk=v\n");
        QTest::newRow("section at the end without final line break")
            << QByteArray("[S]\na=1") << "S"
            << "k"
            << "v" << QByteArray("[S]\na=1\nk=v\n");
        QTest::newRow("keeps CRLF line ends") << QByteArray("[S]\r\na=1\r\n") << "S"
                                              << "k"
                                              << "v" << QByteArray("[S]\r\na=1\r\nk=v\r\n");
        QTest::newRow("comments and commented keys kept")
            << QByteArray("; c\n[S]\n;k=1\n") << "S"
            << "k"
            << "v" << QByteArray("; c\n[S]\n;k=1\nk=v\n");
        QTest::newRow("outer blanks kept by quoting") << QByteArray("[S]\n") << "S"
                                                      << "k"
                                                      << " v " << QByteArray("[S]\nk=\" v \"\n");
        QTest::newRow("quoted value kept by quoting") << QByteArray("[S]\n") << "S"
                                                      << "k"
                                                      << "'v'" << QByteArray("[S]\nk=\"'v'\"\n");
    }
    void putString() {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        const QString path = before == "<none>" ? newPath() : write(before);
        cINIFile ini;
        ini.setFilename(path);
        QVERIFY(ini.PutString(section, key, value));
        QCOMPARE(read(path), after);
        QCOMPARE(ini.GetString(section, key), value);
    }

    // Writes that could not read back are refused and leave the file as it was.
    void putRefused_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("line break in value") << "S"
                                             << "k"
                                             << "a\nb";
        QTest::newRow("NUL in value") << "S"
                                      << "k" << QString(QChar(0));
        QTest::newRow("equals in key") << "S"
                                       << "k=j"
                                       << "v";
        QTest::newRow("comment key") << "S"
                                     << ";k"
                                     << "v";
        QTest::newRow("bracket in section") << "S]"
                                            << "k"
                                            << "v";
        QTest::newRow("empty key") << "S"
                                   << " "
                                   << "v";
        QTest::newRow("empty section") << ""
                                       << "k"
                                       << "v";
        QTest::newRow("not 8-bit text") << "S"
                                        << "k" << QString(QChar(0x20AC));
    }
    void putRefused() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QByteArray before("[S]\nk=1\n");
        const QString path = write(before);
        cINIFile ini;
        ini.setFilename(path);
        QVERIFY(!ini.PutString(section, key, value));
        QCOMPARE(read(path), before);
    }

    void putNumber() {
        const QString path = newPath();
        cINIFile ini;
        ini.setFilename(path);
        QVERIFY(ini.PutNumber(QStringLiteral("S"), QStringLiteral("n"), -5));
        QVERIFY(ini.PutNumber(QStringLiteral("S"), QStringLiteral("m"), 7));
        QCOMPARE(read(path), QByteArray("[S]\nn=-5\nm=7\n"));
        QCOMPARE(ini.GetNumber(QStringLiteral("S"), QStringLiteral("n")), -5);
    }

    void putIntoUnwritablePlace() {
        cINIFile ini;
        ini.setFilename(m_dir.filePath(QStringLiteral("no/such/folder/x.ini")));
        QVERIFY(!ini.PutString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v")));
        ini.setFilename(m_dir.path());
        QVERIFY(!ini.PutString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v")));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
