// The main window: all shared state of the program, start-up and shutdown, the menus, band
// selection, the radio-wide fields and the refresh cycle between the grid and the image.
#pragma once

#include "band/BandSelection.h"
#include "config/Configuration.h"
#include "image/ChannelRow.h"
#include "image/EEImage.h"
#include "link/LinkTiming.h"
#include "link/RadioHost.h"
#include "platform/DebugLog.h"
#include "ui/StatusWindow.h"

#include <QMainWindow>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;

namespace ostrand {

class ChannelGrid;
class ConfigEditor;
class FileDialogs;
class MessageBoxes;
struct PersonalityFileContext;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Shared state, as long as the window lives.
    bool HoldOffRefresh = false;
    EEImage eeImage{};
    Configuration cfg;
    int16_t CurRadioID = 0;
    int16_t CurRevision = 0;
    LinkTiming linkTiming; // tests speed the radio operations up

    // Dialog seams: the real windows unless a test puts its own in.
    MessageBoxes* messages = nullptr;
    FileDialogs* fileDialogs = nullptr;
    ConfigEditor* configEditor = nullptr; // its processes and desktop can be replaced too

    // Controls.
    QMenu* mnuFile = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuOptions = nullptr;
    QAction* mnuClrMemoryOnBandSelect = nullptr;
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
    ChannelGrid* grid = nullptr;

    // Procedures shared with the other parts of the program.
    void ReadINIFile();
    void debug_log(const QString& text);
    void RefreshValues(bool RefreshEE);
    void RefreshReferenceList();
    void RefreshCPULabel();
    // The radio-wide values as the fields show them now, for the selected definition.
    RadioFields CurrentFields() const;
    CodecContext CurrentContext() const;

    // What the radio operations and the file flows use to reach the window.
    RadioHost& Host();

    // Whether a radio operation is running (its buttons are then disabled).
    bool OperationRunning() const { return operationRunning_; }
    // True once the window started closing.
    bool Closing() const { return closing_; }

    // Handlers.
    void cmbBand_Click();
    void cmbRef_Click(int index);
    void lblChan_Click(int index);
    void ToneLeft(int row, bool transmit);
    void cmdRead_Click();
    void cmdWrite_Click();
    PersonalityFileContext FileContext();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuConfig_Click();
    void mnuAbout_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class WindowHost;

    void BuildMenus();
    void BuildControls();
    void ConnectHandlers();
    void Form_Load();
    void Form_Unload();
    bool EncodeRows();
    void DecodeRows();
    void TextFieldChanged(QLineEdit* field);
    void MarkRadioValues();
    void Notice(const QString& text);
    void Refuse(const QString& text);
    void RunOperation(bool (*operation)(RadioHost&, const LinkTiming&));
    // A menu item that opens a window runs a nested event loop (a modal dialog, the wait for
    // the editor), which would hold a running radio operation's waits until it closes: such
    // items are unavailable while an operation runs. Every one of them is listed here; Exit
    // and the two check-mark options stay live. The controls that stay live during an
    // operation (band list, radio-wide fields, grid) must never open a modal window.
    void UpdateActionState();

    std::unique_ptr<WindowHost> host_;
    std::unique_ptr<MessageBoxes> ownMessages_;
    std::unique_ptr<FileDialogs> ownFileDialogs_;
    StatusDisplay status_{this};
    bool operationRunning_ = false;
    bool closing_ = false;
    bool closePending_ = false;
    bool shutdownDone_ = false;
    DebugLog log_;
    QString seedNotice_; // what start-up said about a missing configuration
    QString pendingNotice_;
};

} // namespace ostrand
