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

class FakeProcesses : public Processes {
public:
    int exitCode = 0;
    QWidget* window = nullptr;
    QStringList log;
    bool StartDetached(const QString&, const QStringList&) override { return false; }
    int RunAndWait(const QString& program, const QStringList& arguments) override {
        log << "run " + program + " " + arguments.join('|');
        if (window) log << (window->isEnabled() ? "window enabled" : "window disabled");
        return exitCode;
    }
};

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
    void buildCommand_data();
    void buildCommand();
    void runAndWait_data();
    void runAndWait();
    void reloadAlwaysFollows_data();
    void reloadAlwaysFollows();
    void realEditorWaitsAndGetsThePath();

private:
    QTemporaryDir dir_;
};

void TestConfigEditor::buildCommand_data() {
    QTest::addColumn<QString>("visual");
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QStringList>("present");   // programs in the search folder
    QTest::addColumn<QString>("program");       // expected, in the search folder; empty: none
    QTest::addColumn<QStringList>("arguments"); // "BIN/" and "FILE" stand for the real paths

    const QStringList none;
    QTest::newRow("terminal editor in VISUAL runs in the first terminal")
        << "vim"
        << "" << QStringList{"vim", "xterm", "gnome-terminal"} << "gnome-terminal"
        << QStringList{"--wait", "--", "BIN/vim", "FILE"};
    QTest::newRow("VISUAL keeps its own arguments")
        << "vim -n +10"
        << "" << QStringList{"vim", "xterm"} << "xterm"
        << QStringList{"-e", "BIN/vim", "-n", "+10", "FILE"};
    QTest::newRow("VISUAL before EDITOR") << "nano"
                                          << "vim" << QStringList{"nano", "vim", "xterm"} << "xterm"
                                          << QStringList{"-e", "BIN/nano", "FILE"};
    QTest::newRow("EDITOR when VISUAL is empty")
        << ""
        << "vim" << QStringList{"vim", "konsole"} << "konsole"
        << QStringList{"--nofork", "-e", "BIN/vim", "FILE"};
    QTest::newRow("blank VISUAL counts as unset")
        << "   "
        << "nano" << QStringList{"nano", "xterm"} << "xterm"
        << QStringList{"-e", "BIN/nano", "FILE"};
    QTest::newRow("graphical editor in VISUAL runs directly with its wait flag")
        << "gedit"
        << "" << QStringList{"gedit", "xterm"} << "gedit" << QStringList{"--wait", "FILE"};
    QTest::newRow("wait flag not doubled")
        << "code --wait"
        << "" << QStringList{"code"} << "code" << QStringList{"--wait", "FILE"};
    QTest::newRow("quoted program name with a space")
        << "\"BIN/my editor\" -x"
        << "" << QStringList{"my editor", "xterm"} << "xterm"
        << QStringList{"-e", "BIN/my editor", "-x", "FILE"};
    QTest::newRow("VISUAL not installed: a graphical editor")
        << "nosuch-editor"
        << "" << QStringList{"kate"} << "kate" << QStringList{"--block", "FILE"};
    QTest::newRow("terminal editor but no terminal: a graphical editor")
        << "vim"
        << "" << QStringList{"vim", "gedit"} << "gedit" << QStringList{"--wait", "FILE"};
    QTest::newRow("nothing set: first graphical editor in order")
        << ""
        << "" << QStringList{"kwrite", "gedit"} << "gedit" << QStringList{"--wait", "FILE"};
    QTest::newRow("nothing set, no graphical editor: nano in a terminal")
        << ""
        << "" << QStringList{"nano", "xterm"} << "xterm" << QStringList{"-e", "BIN/nano", "FILE"};
    QTest::newRow("terminal editor only, no terminal: none")
        << "vim"
        << "" << QStringList{"vim"} << "" << none;
    QTest::newRow("nothing installed: none") << "vim"
                                             << "gedit" << none << "" << none;
}

void TestConfigEditor::buildCommand() {
    QFETCH(QString, visual);
    QFETCH(QString, editor);
    QFETCH(QStringList, present);
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);

    const QString bin = dir_.filePath(QStringLiteral("bin-%1").arg(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(bin));
    for (const QString& name : present)
        QVERIFY(MakeProgram(bin + "/" + name));
    const QString file = dir_.filePath(kAwkwardFolder + "/Ostrand.ini");

    EditorEnvironment environment;
    environment.visual = QString(visual).replace("BIN", bin);
    environment.editor = editor;
    environment.searchPaths = {bin};
    const auto command = BuildEditorCommand(file, environment);
    if (program.isEmpty()) {
        QVERIFY(!command);
        return;
    }
    QVERIFY(command);
    QCOMPARE(command->program, bin + "/" + program);
    QStringList expected;
    for (const QString& a : arguments)
        expected << (a == "FILE" ? file : QString(a).replace("BIN", bin));
    QCOMPARE(command->arguments, expected);
    QCOMPARE(command->arguments.count(file), 1); // the path is one argument, unquoted
}

void TestConfigEditor::runAndWait_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("success") << "/bin/true" << QStringList{} << 0;
    QTest::newRow("failure code") << "/bin/false" << QStringList{} << 1;
    QTest::newRow("exit code passed through") << "/bin/sh" << QStringList{"-c", "exit 7"} << 7;
    QTest::newRow("cannot start") << "/no/such/program" << QStringList{} << -1;
    QTest::newRow("killed by a signal") << "/bin/sh" << QStringList{"-c", "kill -9 $$"} << -1;
}

void TestConfigEditor::runAndWait() {
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QtProcesses processes;
    bool eventsRan = false;
    QTimer::singleShot(0, [&] { eventsRan = true; });
    QCOMPARE(processes.RunAndWait(program, arguments), exitCode);
    if (exitCode >= 0) QVERIFY(eventsRan); // the window kept handling events during the wait
}

void TestConfigEditor::reloadAlwaysFollows_data() {
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("ran");
    QTest::newRow("editor closes normally") << QStringList{"gedit"} << 0 << true;
    QTest::newRow("editor fails") << QStringList{"gedit"} << 1 << true;
    QTest::newRow("editor cannot start") << QStringList{"gedit"} << -1 << true;
    QTest::newRow("no editor at all") << QStringList{} << 0 << false;
}

void TestConfigEditor::reloadAlwaysFollows() {
    QFETCH(QStringList, present);
    QFETCH(int, exitCode);
    QFETCH(bool, ran);
    const QString bin = dir_.filePath(QStringLiteral("reload-%1").arg(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(bin));
    for (const QString& name : present)
        QVERIFY(MakeProgram(bin + "/" + name));

    QWidget window;
    FakeProcesses processes;
    processes.exitCode = exitCode;
    processes.window = &window;
    EditorEnvironment environment;
    environment.searchPaths = {bin};
    const QString file = dir_.filePath("Ostrand.ini");
    EditConfiguration(&window, processes, environment, file, [&] { processes.log << "reload"; });

    QStringList expected;
    if (ran) expected << "run " + bin + "/gedit --wait|" + file << "window disabled";
    expected << "reload";
    QCOMPARE(processes.log, expected);
    QVERIFY(window.isEnabled());
}

void TestConfigEditor::realEditorWaitsAndGetsThePath() {
    // A stand-in terminal that drops "-e" and runs the rest, and a stand-in editor that takes
    // a moment, then records its arguments one per line.
    const QString bin = dir_.filePath("real-bin");
    QVERIFY(QDir().mkpath(bin));
    const QString out = dir_.filePath("editor-arguments.txt");
    QVERIFY(MakeProgram(bin + "/xterm", "#!/bin/sh\nshift\nexec \"$@\"\n"));
    QVERIFY(MakeProgram(bin + "/stand-in",
                        "#!/bin/sh\nsleep 0.2\nprintf '%s\\n' \"$@\" > '" + out.toUtf8() + "'\n"));
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

QTEST_MAIN(TestConfigEditor)
#include "tst_config_editor.moc"
