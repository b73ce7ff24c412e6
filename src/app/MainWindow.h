// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: start-up and shutdown, the menus, band selection, the radio-wide fields and
// the refresh cycle between the grid and the image. Its widgets, image and configuration are
// its own; other parts reach it through the few public members below, and tests put their own
// dialogs, processes and clock in through MainWindowServices.
#pragma once

#include "band/BandLimits.h"
#include "common/Clock.h"
#include "config/Configuration.h"
#include "image/ChannelRow.h"
#include "image/EEImage.h"
#include "link/SerialPorts.h"
#include "platform/Backups.h"
#include "platform/DebugLog.h"
#include "ui/StatusWindow.h"

#include <QDateTime>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSessionManager;

namespace ostrand {

class ChannelGrid;
class CompareWindow;
class ConfigEditor;
class Document;
class FileDialogs;
class MessageBoxes;
class Processes;
struct DocumentState;
struct PersonalityFileContext;
struct PlanFileContext;
struct PlanSheet;
enum class FileResult;

// What the window uses of the system. Null means the real one; a test puts its own in.
struct MainWindowServices {
    MessageBoxes* messages = nullptr;   // the CPU question, the About window's message
    FileDialogs* fileDialogs = nullptr; // File Open and File Save
    Processes* processes = nullptr;     // the configuration editor, the system information tool
    double timeScale = 1.0;             // of the clock every wait and pause runs on
    QString backupFolder{};             // empty: DefaultBackupFolder()
    std::function<QDateTime()> now{};   // backup names, "Radio read 14:02"; null: the system's
    PortLister ports = {};              // the ports Options > Serial Port lists
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(const MainWindowServices& services = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The document: the personality image the grid shows.
    const EEImage& Image() const { return eeImage_; }
    // Whether a radio operation is running (its buttons and the menu items that open a window
    // are then disabled), and whether the window started closing.
    bool OperationRunning() const { return operationRunning_; }
    bool Closing() const { return closing_; }

    // Reads Ostrand.ini again and reapplies the selected band (the configuration editor).
    void ReadINIFile();
    // The one path between grid and image: with true the grid is encoded into the image first;
    // in every case the image is decoded into the grid.
    void RefreshValues(bool RefreshEE);
    // The one way a personality file is opened: File > Open (an empty path asks with the
    // file dialog), Open Recent, the command line and a drop on the window. Asks first about
    // unsaved changes, and is one undo step; true when the file was opened.
    bool OpenDocument(const QString& path = {});
    // Ends the running radio operation at its next wait (the status window's Cancel, Escape).
    void CancelOperation();

    // Whether the image or the grid holds anything not saved, read or written.
    bool Modified() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    class WindowHost;

    void BuildMenus();
    void BuildControls();
    void BuildStatusBar();
    // The status bar's permanent parts: the port an operation opens, the selected definition
    // and CPU type, and the last operation's outcome (kept after the status window closes).
    void ShowPort();
    void ShowDefinition();
    void ShowOutcome(const QString& text);
    // Where the file dialogs open: the last folder used, else the program folder (the home
    // folder when that is the hidden per-user data folder).
    QString DialogFolder() const;
    // After an open or a save: the outcome, Open Recent and the dialogs' folder follow.
    void FileDone(int result, const QString& path, const QString& reason, const QString& done);
    void RebuildRecentMenu();
    void ConnectHandlers();
    void Form_Load();
    void Form_Unload();
    void debug_log(const QString& text);

    // The radio-wide values as the fields show them now, read once here, and the context of
    // the selected definition under them.
    RadioFields CurrentFields() const;
    RadioValues CurrentValues() const;
    CodecContext CurrentContext() const;
    bool EncodeRows();
    void DecodeRows();
    void RefreshReferenceList();
    void RefreshCPULabel();
    void TextFieldChanged(QLineEdit* field);
    void MarkRadioValues();
    // A message in the status window for a while (start-up and configuration problems).
    void Notice(const QString& text);
    // A refusal: the text in the status window, a beep and the 3-second pause.
    void Refuse(const QString& text);
    // Runs a radio operation with the radio buttons and the window-opening items disabled.
    void RunOperation(const QString& name, const std::function<void()>& operation);
    // A menu item that opens a window runs a nested event loop (a modal dialog, the wait for
    // the editor), which would hold a running radio operation's waits until it closes: such
    // items are unavailable while an operation runs. Every one of them is listed here; Exit
    // and the two check-mark options stay live. The controls that stay live during an
    // operation (band list, radio-wide fields, grid) must never open a modal window.
    void UpdateActionState();

    void cmbBand_Click();
    void cmbRef_Click(int index);
    void lblChan_Click(int index);
    void ToneLeft(int row, bool transmit);
    void FrequencyLeft(int row, bool transmit);
    // Guidance while editing: how an entry was read (in the status bar), and the frequencies
    // outside the selected definition's band (marked in the grid, listed in the status bar).
    void Explain(const QString& text);
    std::vector<OutOfBand> MarkBandLimits();
    void cmdRead_Click();
    void cmdWrite_Click();
    // What File Open and File Save work with.
    PersonalityFileContext FileContext();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuSerialPort_Click();
    void mnuConfig_Click();
    void mnuAbout_Click();

    // The plan beyond the grid: CSV, comparison, paper.
    PlanFileContext PlanContext() const;
    PlanSheet Sheet() const;
    // Every replacement of the whole image goes through here, as one named change.
    void ReplaceImage(const EEImage& image, const QString& change);
    // Lists and marks how the grid differs from `other` (never replacing the grid).
    void ShowComparison(const EEImage& other, const QString& name);
    void mnuImportCsv_Click();
    void mnuExportCsv_Click();
    void mnuCompareFile_Click();
    void mnuCompareRadio_Click();
    void mnuPrint_Click();
    void mnuExportPdf_Click();
    // The document's state as the grid and the image hold it, and putting one back.
    DocumentState Capture() const;
    void Restore(const DocumentState& state);
    void UpdateTitle();
    // Whether unsaved work may go for `doing` ("reading the radio"): at once when there is
    // none, else as the operator answers Save (and the save succeeds), Discard or Cancel.
    // Never asked while a radio operation runs (a nested event loop would hold its waits):
    // false then.
    bool MayReplace(const QString& doing);
    FileResult Save();
    // Open as one undo step; the file opened becomes the document.
    FileResult OpenStep(PersonalityFileContext& context, const std::function<FileResult()>& open);
    void BandChosen(int index);
    void CommitData(QSessionManager& manager);

    // Shared state, as long as the window lives.
    bool HoldOffRefresh = false;
    EEImage eeImage_{};
    Configuration cfg_;
    int16_t CurRadioID = 0;
    int16_t CurRevision = 0;

    MainWindowServices services_;
    std::unique_ptr<MessageBoxes> ownMessages_;
    std::unique_ptr<FileDialogs> ownFileDialogs_;
    std::unique_ptr<WindowHost> host_;
    Clock clock_;
    ConfigEditor* configEditor_ = nullptr;
    StatusDisplay status_{this};
    DebugLog log_;

    QMenu* mnuFile = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuOpenBackup = nullptr;
    QMenu* mnuRecent = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuImportCsv = nullptr;
    QAction* mnuExportCsv = nullptr;
    QAction* mnuCompareFile = nullptr;
    QAction* mnuCompareRadio = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuExportPdf = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuUndo = nullptr;
    QAction* mnuRedo = nullptr;
    QMenu* mnuOptions = nullptr;
    QAction* mnuClrMemoryOnBandSelect = nullptr;
    QAction* mnuSerialPort = nullptr;
    QAction* mnuConfig = nullptr;
    QAction* mnuDebug = nullptr;
    QAction* mnuAbout = nullptr;
    QComboBox* cmbBand = nullptr;
    QLineEdit* txtRefFreq = nullptr;
    QLineEdit* txtIFFreq = nullptr;
    QLineEdit* txtRxMult = nullptr;
    QLineEdit* txtTxMult = nullptr;
    QRadioButton* optInjectionLo = nullptr;
    QRadioButton* optInjectionHi = nullptr;
    QCheckBox* chkDCGInvertTx = nullptr;
    QCheckBox* chkDCGInvertRx = nullptr;
    QLabel* lblCPUType = nullptr;
    QPushButton* cmdRead = nullptr;
    QPushButton* cmdWrite = nullptr;
    ChannelGrid* grid_ = nullptr;
    QLabel* lblOutOfBand = nullptr; // in the status bar
    QLabel* lblPort = nullptr;
    QLabel* lblDefinition = nullptr;
    QLabel* lblOutcome = nullptr;
    QAction* cancel_ = nullptr; // Escape during a radio operation

    bool operationRunning_ = false;
    QString lastStatus_; // the status window's last text of the running operation
    bool closing_ = false;
    bool closePending_ = false;
    bool shutdownDone_ = false;
    QString seedNotice_; // what start-up said about a missing configuration
    BackupStore backups_;
    Document* document_ = nullptr;
    // The rows as the image was last decoded into the grid: where the grid differs, an edit
    // is pending.
    std::array<ChannelRow, kChannels> shown_{};
    int bandIndex_ = -1;          // the band whose selection is in force
    bool started_ = false;        // start-up done: from now on there is a document to lose
    bool restoringBand_ = false;  // undo puts a band back: nothing is cleared
    bool replaceAgreed_ = false;  // a reload's question answered for its band selection
    bool reloadPending_ = false;  // a reload that must ask waits for the operation's end
    quint64 discardedAt_ = ~0ULL; // the document revision the operator let go at session end
    QString pendingNotice_;
    QString documentPath_;            // the personality file last opened or saved
    QPointer<CompareWindow> compare_; // open while its marks show in the grid
};

} // namespace ostrand
