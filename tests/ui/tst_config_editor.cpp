// Choosing and running the configuration editor: argument lists, never a shell; the wait;
// the reload that follows whatever happened.
#include "platform/Processes.h"
#include "ui/ConfigEditor.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QtTest>

using namespace ostrand;

namespace {

// A folder name a shell would mangle: spaces, both quotes, a variable, a substitution.
const QString kAwkwardFolder = QStringLiteral("it's a \"config\" $HOME `x` $(echo no)");

bool MakeProgram(const QString& path, const QByteArray& body = "#!/bin/sh\nexit 0\n") {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(body) != body.size()) return false;
    f.close();
    return f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
}

} // namespace

class TestConfigEditor : public QObject {
    Q_OBJECT

private slots:
    // The program and arguments chosen; "BIN/" and "FILE" stand for the real paths.
    void buildCommand_data() {
        QTest::addColumn<QString>("visual");
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("present"); // programs in the search folder
        QTest::addColumn<QString>("command"); // program|arguments..., empty: none
        const auto add = [](const char* what, const char* visual, const char* editor,
                            const char* present, const char* command) {
            QTest::newRow(what) << visual << editor << present << command;
        };
        add("terminal editor in VISUAL runs in the first terminal", "vim", "",
            "vim xterm gnome-terminal", "gnome-terminal|--wait|--|BIN/vim|FILE");
        add("VISUAL keeps its own arguments", "vim -n +10", "", "vim xterm",
            "xterm|-e|BIN/vim|-n|+10|FILE");
        add("VISUAL before EDITOR", "nano", "vim", "nano vim xterm", "xterm|-e|BIN/nano|FILE");
        add("blank VISUAL counts as unset", "   ", "nano", "nano xterm", "xterm|-e|BIN/nano|FILE");
        add("graphical editor in VISUAL runs directly with its wait flag", "gedit", "",
            "gedit xterm", "gedit|--wait|FILE");
        add("wait flag not doubled", "code --wait", "", "code", "code|--wait|FILE");
        add("quoted program name with a space", "\"BIN/my editor\" -x", "", "my_editor xterm",
            "xterm|-e|BIN/my editor|-x|FILE");
        add("VISUAL not installed: a graphical editor", "nosuch", "", "kate", "kate|--block|FILE");
        add("nothing set: first graphical editor in order", "", "", "kwrite gedit",
            "gedit|--wait|FILE");
        add("nothing set, no graphical editor: nano in a terminal", "", "", "nano xterm",
            "xterm|-e|BIN/nano|FILE");
        add("terminal editor only, no terminal: none", "vim", "", "vim", "");
    }
    void buildCommand() {
        QFETCH(QString, visual);
        QFETCH(QString, editor);
        QFETCH(QString, present);
        QFETCH(QString, command);
        const QString bin = dir_.filePath(QStringLiteral("bin-%1").arg(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(bin));
        for (const QString& name : present.split(' ', Qt::SkipEmptyParts))
            QVERIFY(MakeProgram(bin + "/" + QString(name).replace('_', ' ')));
        const QString file = dir_.filePath(kAwkwardFolder + "/Ostrand.ini");

        EditorEnvironment environment{QString(visual).replace("BIN", bin), editor, {bin}};
        const auto built = BuildEditorCommand(file, environment);
        QString got;
        if (built) got = (QStringList{built->program} + built->arguments).join('|');
        QCOMPARE(got.replace(file, "FILE").replace(bin + "/", "BIN/"),
                 command.isEmpty() ? "" : "BIN/" + command);
        if (built) QCOMPARE(built->arguments.count(file), 1); // one argument, unquoted
    }

    void runAndWait_data() {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("exit code passed through") << QStringList{"/bin/sh", "-c", "exit 7"} << 7;
        QTest::newRow("cannot start") << QStringList{"/no/such/program"} << -1;
        QTest::newRow("killed by a signal") << QStringList{"/bin/sh", "-c", "kill -9 $$"} << -1;
    }
    void runAndWait() {
        QFETCH(QStringList, command);
        QFETCH(int, exitCode);
        QtProcesses processes;
        bool eventsRan = false;
        QTimer::singleShot(0, [&] { eventsRan = true; });
        QCOMPARE(processes.RunAndWait(command.first(), command.mid(1)), exitCode);
        if (exitCode >= 0) QVERIFY(eventsRan); // the window kept handling events during the wait
    }

    void noEditorStillReloads() {
        QWidget window;
        QtProcesses processes;
        int reloads = 0;
        EditConfiguration(&window, processes, {"", "", {dir_.filePath("empty")}},
                          dir_.filePath("Ostrand.ini"), [&] { ++reloads; });
        QCOMPARE(reloads, 1);
        QVERIFY(window.isEnabled());
    }

    void realEditorWaitsAndGetsThePath() {
        // A stand-in terminal that drops "-e" and runs the rest, and a stand-in editor that takes
        // a moment, then records its arguments one per line.
        const QString bin = dir_.filePath("real-bin");
        QVERIFY(QDir().mkpath(bin));
        const QString out = dir_.filePath("editor-arguments.txt");
        QVERIFY(MakeProgram(bin + "/xterm", "#!/bin/sh\nshift\nexec \"$@\"\n"));
        QVERIFY(MakeProgram(bin + "/stand-in", "#!/bin/sh\nsleep 0.2\nprintf '%s\\n' \"$@\" > '" +
                                                   out.toUtf8() + "'\n"));
        const QString folder = dir_.filePath(kAwkwardFolder);
        QVERIFY(QDir().mkpath(folder));
        const QString file = folder + "/Ostrand.ini";

        EditorEnvironment environment;
        environment.visual = bin + "/stand-in";
        environment.searchPaths = {bin};
        QWidget window;
        bool disabledMeanwhile = false;
        QTimer::singleShot(50, [&] { disabledMeanwhile = !window.isEnabled(); });
        QString seenAtReload;
        int reloads = 0;
        QtProcesses processes;
        EditConfiguration(&window, processes, environment, file, [&] {
            ++reloads;
            QFile f(out);
            if (f.open(QIODevice::ReadOnly)) seenAtReload = QString::fromUtf8(f.readAll());
        });
        QCOMPARE(reloads, 1);
        // The reload ran after the editor had finished, and the path arrived as one argument.
        QCOMPARE(seenAtReload, file + "\n");
        QVERIFY(disabledMeanwhile);
        QVERIFY(window.isEnabled());
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(TestConfigEditor)
#include "tst_config_editor.moc"
