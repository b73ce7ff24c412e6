// Options > Configuration: edit Ostrand.ini in a text editor, wait for it, reload.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace ostrand {

class Processes;

struct EditorEnvironment {
    QString visual;          // $VISUAL
    QString editor;          // $EDITOR
    QStringList searchPaths; // where programs are looked for; $PATH when empty

    static EditorEnvironment FromSystem();
};

struct EditorCommand {
    QString program;
    QStringList arguments;
};

// Terminal emulators tried for a terminal editor, each with the arguments that put the
// command after them and keep the terminal in the foreground until the command ends.
struct KnownProgram {
    QString name;
    QStringList arguments;
};
const QList<KnownProgram>& TerminalEmulators();
// Graphical editors tried when no editor is set, with the flag that makes each wait.
const QList<KnownProgram>& GraphicalEditors();

// The program and argument list that edits the file and ends when editing is done; nothing
// when no editor is found. The file is always one argument of its own.
std::optional<EditorCommand> BuildEditorCommand(const QString& file,
                                                const EditorEnvironment& environment);

// Runs the editor on the file and waits until it closes (the window is disabled meanwhile
// but still repaints), then calls reload whether or not an editor ran.
void EditConfiguration(QWidget* window, Processes& processes, const EditorEnvironment& environment,
                       const QString& file, const std::function<void()>& reload);

// The menu item: edits ProgramFile("Ostrand.ini") with the system's editor, then reload.
void mnuConfiguration_Click(QWidget* window, const std::function<void()>& reload);

} // namespace ostrand
