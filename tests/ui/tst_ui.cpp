// SPDX-License-Identifier: GPL-3.0-or-later
// The auxiliary windows' launches: the About window's system information tool, and choosing
// and running the configuration editor (argument lists, never a shell; the wait; the reload
// that follows whatever happened).
#include "platform/MessageBoxes.h"
#include "platform/Processes.h"
#include "ui/AboutWindow.h"
#include "ui/ConfigEditor.h"
#include "ui/ElidedLabel.h"

#include <QFile>
#include <QPushButton>
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

// Records what would have been started and told.
struct Fakes : Processes, MessageBoxes {
    bool startWorks = true;
    QStringList started, told;
    bool StartDetached(const QString& program, const QStringList&) override {
        return started << program, startWorks;
    }
    std::optional<int> RunAndWait(const QString&, const QStringList&) override { return 0; }
    bool AskYesNoStop(const QString&, const QString&) override { return false; }
    ostrand::SaveAnswer AskSaveChanges(const QString&, const QString&) override {
        return ostrand::SaveAnswer::Cancel;
    }
    void Inform(const QString& text, const QString& title) override { told << title + ": " + text; }
};

} // namespace

class TestUi : public QObject {
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
        add("terminal editor: first terminal", "vim", "", "vim xterm gnome-terminal",
            "gnome-terminal|--wait|--|BIN/vim|FILE");
        add("VISUAL keeps its own arguments", "vim -n +10", "", "vim xterm",
            "xterm|-e|BIN/vim|-n|+10|FILE");
        add("graphical editor runs directly, waiting", "gedit", "", "gedit xterm",
            "gedit|--wait|FILE");
        add("quoted program name with a space", "\"BIN/my editor\" -x", "", "my_editor xterm",
            "xterm|-e|BIN/my editor|-x|FILE");
        add("nothing set: first graphical editor", "", "", "kwrite gedit", "gedit|--wait|FILE");
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

    // The editor found runs and is waited for (the window disabled meanwhile), then the
    // configuration is reloaded once. Without one the desktop opens the file and every save
    // reloads it, also a save that renames a new file over it; without that either, the
    // operator is told what was tried. The stand-in terminal drops "-e" and runs the rest; the
    // stand-in editor takes a moment, then records its arguments one per line.
    void editAndReload_data() {
        QTest::addColumn<bool>("editor");
        QTest::addColumn<bool>("desktop");
        QTest::addColumn<QString>("report");
        QTest::newRow("editor runs with the path as one argument") << true << false << "";
        QTest::newRow("no editor: the desktop's, reloaded on each save")
            << false << true << "open in the desktop's text editor";
        QTest::newRow("nothing opens it: said")
            << false << false << "Tried: $VISUAL (not set), $EDITOR (not set), gnome-text-editor";
    }
    void editAndReload() {
        QFETCH(bool, editor);
        QFETCH(bool, desktop);
        const QString bin = dir_.filePath(QStringLiteral("edit%1%2").arg(editor).arg(desktop));
        QVERIFY(QDir().mkpath(bin));
        const QString out = bin + "/arguments.txt", file = dir_.filePath(kAwkwardFolder + "/x.ini");
        QVERIFY(MakeProgram(bin + "/xterm", "#!/bin/sh\nshift\nexec \"$@\"\n"));
        QVERIFY(MakeProgram(bin + "/stand-in", "#!/bin/sh\nsleep 0.2\nprintf '%s\\n' \"$@\" > '" +
                                                   out.toUtf8() + "'\n"));
        QVERIFY(QDir().mkpath(dir_.filePath(kAwkwardFolder)));
        QWidget window;
        bool disabledMeanwhile = false;
        QTimer::singleShot(50, [&] { disabledMeanwhile = !window.isEnabled(); });
        QString seenAtReload, said, opened;
        int reloads = 0;
        ConfigEditor edit(
            &window,
            [&] {
                ++reloads;
                QFile f(out);
                if (f.open(QIODevice::ReadOnly)) seenAtReload = QString::fromUtf8(f.readAll());
            },
            [&](const QString& text) { said = text; },
            {nullptr, EditorEnvironment{editor ? bin + "/stand-in" : "", "", {bin}},
             [&](const QString& path) { return !(opened = path).isEmpty() && desktop; }});
        edit.Edit(file);
        QCOMPARE(seenAtReload, editor ? file + "\n" : QString());
        QCOMPARE(disabledMeanwhile, editor);
        QFETCH(QString, report);
        QVERIFY2(window.isEnabled() && said.contains(report), qPrintable(said));
        QCOMPARE(opened, editor ? QString() : file);
        QCOMPARE(reloads, desktop ? 0 : 1);
        if (!desktop) return;
        QFile::remove(file + ".new");
        QVERIFY(MakeProgram(file + ".new", "[S]\nk=1\n") && QFile::rename(file + ".new", file));
        QTRY_COMPARE(reloads, 1);
        QFile inPlace(file); // a save in place, after the rename
        QVERIFY(inPlace.open(QIODevice::WriteOnly) && inPlace.write("[S]\nk=2\n") == 8);
        inPlace.close();
        QTRY_COMPARE(reloads, 2);
    }

    // A status text too long for its place ends in "…"; the label still holds it whole.
    void elidedLabel_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("cut");
        QTest::newRow("fits: shown whole") << "Done" << false;
        QTest::newRow("too long: ends in an ellipsis")
            << "Read Radio: Lost the connection to /dev/ttyUSB0. Is the RIB still plugged in?"
            << true;
    }
    void elidedLabel() {
        QFETCH(QString, text);
        QFETCH(bool, cut);
        ElidedLabel label;
        label.setFixedWidth(label.fontMetrics().horizontalAdvance("Read Radio: Lost"));
        label.setText(text);
        QCOMPARE(label.text(), text);
        QCOMPARE(label.Shown() == text, !cut);
        if (cut) QVERIFY(label.Shown().endsWith(QChar(0x2026)));
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(TestUi)
#include "tst_ui.moc"
