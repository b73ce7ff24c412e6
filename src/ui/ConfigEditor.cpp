// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ConfigEditor.h"

#include "config/IniFile.h"
#include "platform/Paths.h"
#include "platform/Processes.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QUrl>
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

namespace {

// How long the file must stay unchanged before it is read: an editor that writes in place
// would otherwise be read half-way (an empty band list loses the selected band).
constexpr int kSettleMs = 300;

QByteArray ContentOf(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.read(IniFile::kMaxFileSize + 1) : QByteArray();
}

QString Shown(const QString& variable, const QString& value) {
    return value.trimmed().isEmpty() ? variable + QStringLiteral(" (not set)")
                                     : QStringLiteral("%1 \"%2\"").arg(variable, value);
}

// Every way the file was tried, for the operator who must now edit it by other means.
QString NothingOpened(const QString& file, const EditorEnvironment& environment) {
    QStringList editors;
    for (const KnownProgram& program : GraphicalEditors())
        editors << program.name;
    return QStringLiteral("Ostrand.ini could not be opened for editing.\nTried: %1, %2, %3, a "
                          "terminal editor in a terminal window, and the desktop's default "
                          "application.\nEdit %4 yourself; Options > Configuration reads it "
                          "again.")
        .arg(Shown(QStringLiteral("$VISUAL"), environment.visual),
             Shown(QStringLiteral("$EDITOR"), environment.editor),
             editors.join(QStringLiteral(", ")), QDir::toNativeSeparators(file));
}

} // namespace

ConfigEditor::ConfigEditor(QWidget* window, std::function<void()> reload,
                           std::function<void(const QString&)> report, EditorSystem system)
    : QObject(window), window_(window), reload_(std::move(reload)), report_(std::move(report)),
      processes_(system.processes),
      environment_(system.environment.value_or(EditorEnvironment::FromSystem())),
      openWithDesktop_(std::move(system.openWithDesktop)), watcher_(new QFileSystemWatcher(this)),
      settle_(new QTimer(this)) {
    if (!processes_) {
        ownProcesses_ = std::make_unique<QtProcesses>();
        processes_ = ownProcesses_.get();
    }
    if (!openWithDesktop_)
        openWithDesktop_ = [](const QString& file) {
            return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
        };
    settle_->setSingleShot(true);
    settle_->setInterval(kSettleMs);
    connect(settle_, &QTimer::timeout, this, [this] {
        // The folder is watched too, so a personality file saved there also arrives here.
        const QByteArray content = ContentOf(watchedFile_);
        if (content == watchedContent_) return;
        watchedContent_ = content;
        if (reload_) reload_();
    });
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &ConfigEditor::FileChanged);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &ConfigEditor::FileChanged);
}

ConfigEditor::~ConfigEditor() = default;

void ConfigEditor::FileChanged() {
    // An editor that saves by writing a new file and renaming it over the old one ends the
    // watch on the old file: watch the new one. The folder shows when it arrives.
    if (QFileInfo::exists(watchedFile_) && !watcher_->files().contains(watchedFile_))
        watcher_->addPath(watchedFile_);
    if (QFileInfo::exists(watchedFile_)) settle_->start();
}

void ConfigEditor::Edit(const QString& file) {
    if (const auto command = BuildEditorCommand(file, environment_)) {
        // Disabled rather than blocked: the window repaints while the editor runs, but takes
        // no input, so nothing changes the configuration behind the editor's back.
        QPointer<QWidget> guard(window_);
        const bool hadWindow = window_ != nullptr;
        if (window_) window_->setEnabled(false);
        const std::optional<int> exit =
            processes_->RunAndWait(command->program, command->arguments);
        if (hadWindow && guard.isNull()) return; // the window went away while the editor ran
        if (window_) window_->setEnabled(true);
        if (exit) {
            if (reload_) reload_();
            return;
        }
    }
    if (openWithDesktop_(file)) {
        // The desktop's application does not say when it is done: every save is read.
        if (const QStringList old = watcher_->files() + watcher_->directories(); !old.isEmpty())
            watcher_->removePaths(old);
        watchedFile_ = file;
        watchedContent_ = ContentOf(file);
        watcher_->addPath(file);
        watcher_->addPath(QFileInfo(file).absolutePath());
        if (report_)
            report_(QStringLiteral("Ostrand.ini is open in the desktop's text editor; it is "
                                   "read again each time it is saved."));
        return;
    }
    if (report_) report_(NothingOpened(file, environment_));
    if (reload_) reload_();
}

} // namespace ostrand
