// SPDX-License-Identifier: GPL-3.0-or-later
// Options > Configuration: edit Ostrand.ini in a text editor, wait for it, reload.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QFileSystemWatcher;
class QTimer;
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

// Options > Configuration. Runs the editor found for the file and waits until it closes (the
// window is disabled meanwhile but still repaints), then reloads. When no editor from the
// lists can be started, the desktop's default application opens the file and the
// configuration is reloaded whenever the file changes on disk; when even that fails, the
// report says so, naming what was tried. Lives as long as the window.
// What the editor launch uses of the system; each left empty is the real one.
struct EditorSystem {
    Processes* processes = nullptr;
    std::optional<EditorEnvironment> environment;
    std::function<bool(const QString& file)> openWithDesktop;
};

class ConfigEditor : public QObject {
    Q_OBJECT
public:
    // `reload` reads the configuration again; `report` shows a text to the operator.
    ConfigEditor(QWidget* window, std::function<void()> reload,
                 std::function<void(const QString&)> report, EditorSystem system = {});
    ~ConfigEditor() override;

    void Edit(const QString& file);

private:
    void FileChanged();

    QWidget* window_;
    std::function<void()> reload_;
    std::function<void(const QString&)> report_;
    std::unique_ptr<Processes> ownProcesses_;
    Processes* processes_;
    EditorEnvironment environment_;
    std::function<bool(const QString& file)> openWithDesktop_;
    QFileSystemWatcher* watcher_;
    QTimer* settle_;
    QString watchedFile_;
    QByteArray watchedContent_;
};

} // namespace ostrand
