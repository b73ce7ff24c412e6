#include "ui/ConfigEditor.h"

#include "platform/Paths.h"
#include "platform/Processes.h"

#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QWidget>

namespace ostrand {

namespace {

struct Found {
    QString path;
    QStringList arguments;
};

// The first of the known programs on the search path, with its arguments.
std::optional<Found> FirstFound(const QList<KnownProgram>& known, const QStringList& searchPaths) {
    for (const KnownProgram& program : known) {
        const QString path = FindFirstProgram({program.name}, searchPaths);
        if (!path.isEmpty()) return Found{path, program.arguments};
    }
    return std::nullopt;
}

const KnownProgram* GraphicalEditorNamed(const QString& name) {
    for (const KnownProgram& program : GraphicalEditors())
        if (program.name == name) return &program;
    return nullptr;
}

// Terminal editors tried, inside a terminal, when nothing else is set or found.
const QStringList& FallbackTerminalEditors() {
    static const QStringList editors = {QStringLiteral("sensible-editor"), QStringLiteral("nano"),
                                        QStringLiteral("vim"), QStringLiteral("vi")};
    return editors;
}

std::optional<EditorCommand> InTerminal(const QString& editorPath, const QStringList& editorArgs,
                                        const QString& file, const QStringList& searchPaths) {
    const auto terminal = FirstFound(TerminalEmulators(), searchPaths);
    if (!terminal) return std::nullopt;
    EditorCommand command{terminal->path, terminal->arguments};
    command.arguments << editorPath << editorArgs << file;
    return command;
}

} // namespace

EditorEnvironment EditorEnvironment::FromSystem() {
    EditorEnvironment environment;
    environment.visual = qEnvironmentVariable("VISUAL");
    environment.editor = qEnvironmentVariable("EDITOR");
    return environment;
}

const QList<KnownProgram>& TerminalEmulators() {
    // Each keeps its process until the command ends, so the wait covers the editing.
    static const QList<KnownProgram> terminals = {
        {QStringLiteral("gnome-terminal"), {QStringLiteral("--wait"), QStringLiteral("--")}},
        {QStringLiteral("konsole"), {QStringLiteral("--nofork"), QStringLiteral("-e")}},
        {QStringLiteral("xfce4-terminal"),
         {QStringLiteral("--disable-server"), QStringLiteral("-x")}},
        {QStringLiteral("kitty"), {}},
        {QStringLiteral("alacritty"), {QStringLiteral("-e")}},
        {QStringLiteral("foot"), {}},
        {QStringLiteral("x-terminal-emulator"), {QStringLiteral("-e")}},
        {QStringLiteral("xterm"), {QStringLiteral("-e")}},
    };
    return terminals;
}

const QList<KnownProgram>& GraphicalEditors() {
    // With the flag that keeps each from handing the file to an already running copy.
    static const QList<KnownProgram> editors = {
        {QStringLiteral("gnome-text-editor"), {QStringLiteral("--standalone")}},
        {QStringLiteral("gedit"), {QStringLiteral("--wait")}},
        {QStringLiteral("kate"), {QStringLiteral("--block")}},
        {QStringLiteral("kwrite"), {}},
        {QStringLiteral("xed"), {QStringLiteral("--wait")}},
        {QStringLiteral("gvim"), {QStringLiteral("--nofork")}},
        {QStringLiteral("code"), {QStringLiteral("--wait")}},
        {QStringLiteral("codium"), {QStringLiteral("--wait")}},
        {QStringLiteral("subl"), {QStringLiteral("--wait")}},
    };
    return editors;
}

std::optional<EditorCommand> BuildEditorCommand(const QString& file,
                                                const EditorEnvironment& environment) {
    const QStringList& paths = environment.searchPaths;

    // The user's own editor first: VISUAL, else EDITOR, each a command with arguments.
    const QString chosen =
        !environment.visual.trimmed().isEmpty() ? environment.visual : environment.editor;
    QStringList words = QProcess::splitCommand(chosen);
    if (!words.isEmpty()) {
        const QString program = FindFirstProgram({words.takeFirst()}, paths);
        if (!program.isEmpty()) {
            if (const KnownProgram* graphical =
                    GraphicalEditorNamed(QFileInfo(program).fileName())) {
                EditorCommand command{program, words};
                for (const QString& flag : graphical->arguments)
                    if (!command.arguments.contains(flag)) command.arguments << flag;
                command.arguments << file;
                return command;
            }
            if (auto command = InTerminal(program, words, file, paths)) return command;
        }
    }

    if (const auto graphical = FirstFound(GraphicalEditors(), paths)) {
        EditorCommand command{graphical->path, graphical->arguments};
        command.arguments << file;
        return command;
    }

    const QString terminalEditor = FindFirstProgram(FallbackTerminalEditors(), paths);
    if (!terminalEditor.isEmpty()) return InTerminal(terminalEditor, {}, file, paths);
    return std::nullopt;
}

void EditConfiguration(QWidget* window, Processes& processes, const EditorEnvironment& environment,
                       const QString& file, const std::function<void()>& reload) {
    if (const auto command = BuildEditorCommand(file, environment)) {
        // Disabled rather than blocked: the window repaints while the editor runs, but takes
        // no input, so nothing changes the configuration behind the editor's back.
        QPointer<QWidget> guard(window);
        const bool hadWindow = window != nullptr;
        if (window) window->setEnabled(false);
        processes.RunAndWait(command->program, command->arguments);
        if (hadWindow && guard.isNull()) return; // the window went away while the editor ran
        if (window) window->setEnabled(true);
    }
    if (reload) reload();
}

void mnuConfiguration_Click(QWidget* window, const std::function<void()>& reload) {
    QtProcesses processes;
    EditConfiguration(window, processes, EditorEnvironment::FromSystem(),
                      ProgramFile(QStringLiteral("Ostrand.ini")), reload);
}

} // namespace ostrand
