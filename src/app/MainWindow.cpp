// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindow.h"

#include "app/Document.h"
#include "app/Preferences.h"
#include "band/BandSelection.h"
#include "config/PortPreference.h"
#include "editor/BandMarks.h"
#include "editor/ChannelGrid.h"
#include "editor/FieldFocus.h"
#include "editor/FieldHelp.h"
#include "editor/ToneCompleter.h"
#include "image/EntryExplanation.h"
#include "image/RecordCodec.h"
#include "image/ToneCodec.h"
#include "link/RadioOperations.h"
#include "link/RibLink.h"
#include "platform/Beep.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/Paths.h"
#include "platform/Screen.h"
#include "ui/AboutWindow.h"
#include "ui/AppIcon.h"
#include "ui/CompareWindow.h"
#include "ui/ConfigEditor.h"
#include "ui/ElidedLabel.h"
#include "ui/PersonalityFiles.h"
#include "ui/PlanFiles.h"
#include "ui/SerialPortDialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSessionManager>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

namespace ostrand {

namespace {

// How long a notice (a start-up or configuration message) stays in the status window.
constexpr int kNoticeMs = 10000;
constexpr int kRefusalPauseMs = 3000;
// How long an explanation of an entry stays in the status bar.
constexpr int kExplanationMs = 15000;

const QString kConfigName = QStringLiteral("Ostrand.ini");

// Ctrl+Z and Ctrl+Shift+Z belong to a text field only while it has typing of its own to take
// back; otherwise they take back the document's last step, wherever the focus stands.
class UndoKeys : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* field = qobject_cast<QLineEdit*>(watched);
        if (!field || event->type() != QEvent::ShortcutOverride) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->matches(QKeySequence::Undo) && !field->isUndoAvailable()) ||
            (key->matches(QKeySequence::Redo) && !field->isRedoAvailable())) {
            event->ignore();
            return true;
        }
        return false;
    }
};

} // namespace

// The window as the radio operations and the file flows see it.
class MainWindow::WindowHost : public RadioHost, public OperationReport {
public:
    explicit WindowHost(MainWindow& w) : w_(w) {}

    QString SerialDevice() const override { return PortInUse({}, StoredPort(), w_.cfg_); }
    EEImage& Image() override { return w_.eeImage_; }
    int16_t CurRadioID() const override { return w_.CurRadioID; }
    int16_t CurRevision() const override { return w_.CurRevision; }
    void SetIdentity(int16_t curRadioID, int16_t curRevision) override {
        w_.CurRadioID = curRadioID;
        w_.CurRevision = curRevision;
        w_.RefreshCPULabel();
    }

    void ShowStatus() override { w_.status_.Show(); }
    void SetStatus(const QString& text) override {
        w_.lastStatus_ = text;
        w_.status_.SetText(text);
    }
    void CloseStatus() override { w_.status_.Close(); }
    void Beep() override { SystemBeep(); }
    bool ConfirmCpuMismatch(const QString& text, const QString& title) override {
        return w_.services_.messages->AskYesNoStop(text, title);
    }
    void Log(const QString& text) override { w_.debug_log(text); }
    BackupStore* Backups() override { return &w_.backups_; }

private:
    MainWindow& w_;
};

MainWindow::MainWindow(const MainWindowServices& services, QWidget* parent)
    : QMainWindow(parent), services_(services), host_(std::make_unique<WindowHost>(*this)),
      clock_(services.timeScale),
      log_(QStringLiteral("Ostrand"), ProgramFile(QStringLiteral("debug.log"))),
      backups_(services.backupFolder, services.now) {
    setObjectName(QStringLiteral("frmDelta"));
    setWindowTitle(QStringLiteral("Ostrand"));
    setWindowIcon(AppIcon());
    if (!services_.messages) {
        ownMessages_ = std::make_unique<QtMessageBoxes>(this);
        services_.messages = ownMessages_.get();
    }
    if (!services_.fileDialogs) {
        ownFileDialogs_ = std::make_unique<QtFileDialogs>(this);
        services_.fileDialogs = ownFileDialogs_.get();
    }
    configEditor_ = new ConfigEditor(
        this, [this] { ReadINIFile(); }, [this](const QString& text) { Notice(text); },
        {services_.processes, {}, {}});

    BuildMenus();
    BuildControls();
    document_ = new Document([this] { return Capture(); },
                             [this](const DocumentState& state) { Restore(state); }, this);
    BuildStatusBar();
    ConnectHandlers();
    setAcceptDrops(true);
    Form_Load();
    // What start-up made (a band selection may clear the grid) is the new document.
    document_->Reset();
    started_ = true;
}

MainWindow::~MainWindow() {
    // Focus leaving a field while the children go away must not start a refresh.
    shutdownDone_ = closing_ = true;
    // The history goes with the window: nothing may update the window it is leaving.
    disconnect(document_, nullptr, this, nullptr);
    if (QWidget* focus = QApplication::focusWidget(); focus && isAncestorOf(focus))
        focus->clearFocus();
}

void MainWindow::BuildMenus() {
    // Every menu and item carries the object name the tests and the documentation use.
    const auto menu = [this](const char* name, const QString& text) {
        QMenu* m = menuBar()->addMenu(text);
        m->setObjectName(QLatin1String(name));
        return m;
    };
    const auto item = [](QMenu* in, const char* name, const QString& text) {
        QAction* action = in->addAction(text);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    mnuFile = menu("mnuFile", QStringLiteral("&File"));
    mnuOpen = item(mnuFile, "mnuOpen", QStringLiteral("&Open"));
    mnuOpen->setShortcut(QKeySequence::Open);
    mnuRecent = mnuFile->addMenu(QStringLiteral("Open &Recent"));
    mnuRecent->setObjectName(QStringLiteral("mnuRecent"));
    mnuOpenBackup = item(mnuFile, "mnuOpenBackup", QStringLiteral("Open &Backup..."));
    mnuSave = item(mnuFile, "mnuSave", QStringLiteral("&Save"));
    mnuSave->setShortcut(QKeySequence::Save);
    mnuFile->addSeparator();
    mnuImportCsv = item(mnuFile, "mnuImportCsv", QStringLiteral("&Import CSV..."));
    mnuExportCsv = item(mnuFile, "mnuExportCsv", QStringLiteral("&Export CSV..."));
    QMenu* compare = mnuFile->addMenu(QStringLiteral("&Compare"));
    compare->setObjectName(QStringLiteral("mnuCompare"));
    mnuCompareFile = item(compare, "mnuCompareFile", QStringLiteral("With a &File..."));
    mnuCompareRadio = item(compare, "mnuCompareRadio", QStringLiteral("With the &Radio"));
    mnuFile->addSeparator();
    mnuPrint = item(mnuFile, "mnuPrint", QStringLiteral("&Print..."));
    mnuExportPdf = item(mnuFile, "mnuExportPdf", QStringLiteral("Export P&DF..."));
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuA"));
    mnuExit = item(mnuFile, "mnuExit", QStringLiteral("E&xit"));
    mnuExit->setShortcut(QKeySequence::Quit);

    mnuEdit = menu("mnuEdit", QStringLiteral("&Edit"));
    mnuUndo = item(mnuEdit, "mnuUndo", QStringLiteral("&Undo"));
    mnuUndo->setShortcuts(QKeySequence::Undo);
    mnuRedo = item(mnuEdit, "mnuRedo", QStringLiteral("&Redo"));
    // Ctrl+Shift+Z on every desktop, besides what its key scheme has.
    QList<QKeySequence> redo = QKeySequence::keyBindings(QKeySequence::Redo);
    if (const QKeySequence keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z); !redo.contains(keys))
        redo << keys;
    mnuRedo->setShortcuts(redo);
    // The keys work wherever the focus stands in the window, the menu closed.
    addActions({mnuUndo, mnuRedo});

    mnuOptions = menu("mnuOptions", QStringLiteral("&Options"));
    mnuClrMemoryOnBandSelect = item(mnuOptions, "mnuClrMemoryOnBandSelect",
                                    QStringLiteral("Clear memory on new band select"));
    mnuClrMemoryOnBandSelect->setCheckable(true);
    mnuOptions->addSeparator()->setObjectName(QStringLiteral("mnuC"));
    mnuSerialPort = item(mnuOptions, "mnuSerialPort", QStringLiteral("&Serial Port\u2026"));
    mnuConfig = item(mnuOptions, "mnuConfig", QStringLiteral("&Configuration"));
    mnuOptions->addSeparator()->setObjectName(QStringLiteral("mnuB"));
    mnuDebug = item(mnuOptions, "mnuDebug", QStringLiteral("&Debug"));
    mnuDebug->setCheckable(true);

    mnuAbout = menuBar()->addAction(QStringLiteral("&About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
}

void MainWindow::BuildControls() {
    // The grid and the controls under it keep their own size and stay together: a larger
    // window puts the room around them, a smaller one (a small or highly scaled screen)
    // scrolls them.
    auto* scroll = new QScrollArea(this); // given its content at the end
    scroll->setObjectName(QStringLiteral("scrContent"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    setCentralWidget(scroll);
    auto* room = new QWidget(scroll);
    auto* around = new QGridLayout(room);
    around->setContentsMargins(0, 0, 0, 0);
    auto* central = new QWidget(room);
    central->setObjectName(QStringLiteral("central"));
    central->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    around->addWidget(central, 1, 1);
    around->setRowStretch(0, 1);
    around->setRowStretch(2, 1);
    around->setColumnStretch(0, 1);
    around->setColumnStretch(2, 1);
    auto* outer = new QVBoxLayout(central);

    grid_ = new ChannelGrid(central);
    outer->addWidget(grid_);
    outer->addSpacing(8);

    // Radio-wide fields under the grid: captions above their controls.
    auto* band = new QGridLayout;
    band->setHorizontalSpacing(10);
    band->setVerticalSpacing(2);
    cmbBand = new QComboBox(central);
    cmbBand->setObjectName(QStringLiteral("cmbBand"));
    cmbBand->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cmbBand->setMinimumContentsLength(16);
    WheelOnlyWhenFocused(cmbBand);
    chkDCGInvertTx = new QCheckBox(QStringLiteral("Tx DCG Invert"), central);
    chkDCGInvertTx->setObjectName(QStringLiteral("chkDCGInvertTx"));
    chkDCGInvertRx = new QCheckBox(QStringLiteral("Rx DCG Invert"), central);
    chkDCGInvertRx->setObjectName(QStringLiteral("chkDCGInvertRx"));
    txtRefFreq = NamedField(central, QStringLiteral("txtRefFreq"), kRadioFreqLength);
    txtIFFreq = NamedField(central, QStringLiteral("txtIFFreq"), kRadioFreqLength);
    txtRxMult = NamedField(central, QStringLiteral("txtRxMult"), kMultLength);
    txtTxMult = NamedField(central, QStringLiteral("txtTxMult"), kMultLength);
    optInjectionLo = new QRadioButton(QStringLiteral("Low"), central);
    optInjectionLo->setObjectName(QStringLiteral("optInjectionLo"));
    optInjectionHi = new QRadioButton(QStringLiteral("High"), central);
    optInjectionHi->setObjectName(QStringLiteral("optInjectionHi"));
    optInjectionLo->setChecked(true);
    auto* injection = new QHBoxLayout;
    injection->addWidget(optInjectionLo);
    injection->addWidget(optInjectionHi);
    cmdRead = new QPushButton(QStringLiteral("&Read Radio"), central);
    cmdRead->setObjectName(QStringLiteral("cmdRead"));
    cmdWrite = new QPushButton(QStringLiteral("&Write Radio"), central);
    cmdWrite->setObjectName(QStringLiteral("cmdWrite"));
    lblCPUType = new QLabel(central);
    lblCPUType->setObjectName(QStringLiteral("lblCPUType"));

    const auto top = Qt::AlignLeft | Qt::AlignBottom;
    band->addWidget(NamedLabel(central, "lblBand", QStringLiteral("Band")), 0, 0, top);
    band->addWidget(cmbBand, 1, 0);
    band->addWidget(chkDCGInvertTx, 0, 1);
    band->addWidget(chkDCGInvertRx, 1, 1);
    band->addWidget(NamedLabel(central, "lblRefFreq", QStringLiteral("Ref. Freq.")), 0, 2, top);
    band->addWidget(txtRefFreq, 1, 2);
    band->addWidget(NamedLabel(central, "lblIFFreq", QStringLiteral("IF Freq.")), 0, 3, top);
    band->addWidget(txtIFFreq, 1, 3);
    band->addWidget(NamedLabel(central, "lblRxMult", QStringLiteral("Rx Mult.")), 0, 4, top);
    band->addWidget(txtRxMult, 1, 4);
    band->addWidget(NamedLabel(central, "lblTxMult", QStringLiteral("Tx Mult.")), 0, 5, top);
    band->addWidget(txtTxMult, 1, 5);
    band->addWidget(NamedLabel(central, "lblInjection", QStringLiteral("Injection")), 0, 6, top);
    band->addLayout(injection, 1, 6);
    band->setColumnStretch(7, 1);
    band->addWidget(cmdRead, 0, 8);
    band->addWidget(cmdWrite, 1, 8);
    band->addWidget(lblCPUType, 2, 0, 1, 8);
    outer->addLayout(band);

    // Out-of-band frequencies stay listed; an explanation covers them while it is shown.
    lblOutOfBand = new ElidedLabel(this);
    lblOutOfBand->setObjectName(QStringLiteral("lblOutOfBand"));
    lblOutOfBand->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblOutOfBand->setAccessibleName(QStringLiteral("Frequencies outside the band"));
    statusBar()->addWidget(lblOutOfBand, 1);
    DescribeControls(this);
    // Last: the scroll area takes the content's size as it is now.
    scroll->setWidget(room);
}

void MainWindow::BuildStatusBar() {
    const auto part = [this](const char* name, bool stretch) {
        auto* label = new ElidedLabel(this);
        label->setObjectName(QLatin1StringView(name));
        // A long text ends in "…" rather than widen the window; the whole text is its tip. The
        // outcome takes the room the other two leave.
        label->setSizePolicy(stretch ? QSizePolicy::Ignored : QSizePolicy::Preferred,
                             QSizePolicy::Preferred);
        label->setMinimumWidth(40);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };
    lblOutcome = part("lblOutcome", true);
    lblDefinition = part("lblDefinition", false);
    lblPort = part("lblPort", false);
    // The outcome gives way to a message of statusBar()->showMessage() while it lasts.
    // A failure's text matters most: the outcome gets three parts of the room the
    // out-of-band list (also shown by the grid's frames) gets one.
    statusBar()->insertWidget(0, lblOutcome, 3);
    statusBar()->addPermanentWidget(lblDefinition);
    statusBar()->addPermanentWidget(lblPort);
}

void MainWindow::ShowPort() {
    const QString stored = StoredPort();
    const QString device = PortInUse({}, stored, cfg_);
    const QString text =
        device.isEmpty()
            ? QStringLiteral("Port: none (Options > Serial Port)")
            : QStringLiteral("Port: %1 (%2)")
                  .arg(DevicePath(device),
                       stored.isEmpty() ? QStringLiteral("Ostrand.ini") : QStringLiteral("chosen"));
    lblPort->setText(text);
    lblPort->setToolTip(text);
}

void MainWindow::ShowDefinition() {
    const int position = cmbBand->currentIndex();
    const QString text = (position < 0 ? QStringLiteral("No band") : cmbBand->currentText()) +
                         QStringLiteral(" \u2014 ") + lblCPUType->text();
    lblDefinition->setText(text);
    lblDefinition->setToolTip(text);
}

void MainWindow::ShowOutcome(const QString& text) {
    const QString line = QString(text).replace(u'\n', u' ');
    lblOutcome->setText(line);
    lblOutcome->setToolTip(line);
}
void MainWindow::ConnectHandlers() {
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuOpen, &QAction::triggered, this, &MainWindow::mnuOpen_Click);
    connect(mnuOpenBackup, &QAction::triggered, this, [this] {
        QDir().mkpath(backups_.Folder());
        if (!MayReplace(QStringLiteral("opening a backup"))) return;
        PersonalityFileContext context = FileContext();
        context.folder = backups_.Folder();
        OpenStep(context, [&] { return OpenPersonalityFile(context); });
    });
    connect(mnuUndo, &QAction::triggered, this, [this] {
        if (!operationRunning_) document_->Stack().undo();
    });
    connect(mnuRedo, &QAction::triggered, this, [this] {
        if (!operationRunning_) document_->Stack().redo();
    });
    connect(document_, &Document::Changed, this, [this] {
        UpdateTitle();
        UpdateActionState();
    });
    connect(grid_, &ChannelGrid::Edited, document_, &Document::Touched);
    auto* keys = new UndoKeys(this);
    for (QLineEdit* field : findChildren<QLineEdit*>())
        field->installEventFilter(keys);
    connect(qApp, &QGuiApplication::commitDataRequest, this, &MainWindow::CommitData);
    connect(mnuSave, &QAction::triggered, this, &MainWindow::mnuSave_Click);
    connect(mnuImportCsv, &QAction::triggered, this, &MainWindow::mnuImportCsv_Click);
    connect(mnuExportCsv, &QAction::triggered, this, &MainWindow::mnuExportCsv_Click);
    connect(mnuCompareFile, &QAction::triggered, this, &MainWindow::mnuCompareFile_Click);
    connect(mnuCompareRadio, &QAction::triggered, this, &MainWindow::mnuCompareRadio_Click);
    connect(mnuPrint, &QAction::triggered, this, &MainWindow::mnuPrint_Click);
    connect(mnuExportPdf, &QAction::triggered, this, &MainWindow::mnuExportPdf_Click);
    connect(mnuSerialPort, &QAction::triggered, this, &MainWindow::mnuSerialPort_Click);
    cancel_ = new QAction(this);
    cancel_->setObjectName(QStringLiteral("actCancel"));
    cancel_->setShortcut(Qt::Key_Escape);
    // Whichever of the program's windows is active, the main one or the status window; a
    // modal question blocks it.
    cancel_->setShortcutContext(Qt::ApplicationShortcut);
    cancel_->setEnabled(false);
    addAction(cancel_);
    connect(cancel_, &QAction::triggered, this, &MainWindow::CancelOperation);
    connect(mnuConfig, &QAction::triggered, this, &MainWindow::mnuConfig_Click);
    connect(mnuAbout, &QAction::triggered, this, &MainWindow::mnuAbout_Click);
    connect(mnuDebug, &QAction::toggled, this, [this](bool on) { log_.SetEnabled(on); });

    connect(cmbBand, &QComboBox::currentIndexChanged, this, &MainWindow::BandChosen);
    for (QLineEdit* field : {txtRefFreq, txtIFFreq, txtRxMult, txtTxMult}) {
        WatchFieldFocus(field);
        connect(field, &QLineEdit::textChanged, this, [this, field] {
            MarkRadioValues();
            TextFieldChanged(field);
        });
    }
    for (QRadioButton* option : {optInjectionHi, optInjectionLo}) {
        connect(option, &QRadioButton::toggled, this, [this](bool selected) {
            if (selected) // the partner's deselection is part of the same click
                RefreshValues(false);
        });
    }
    for (QCheckBox* invert : {chkDCGInvertTx, chkDCGInvertRx})
        connect(invert, &QCheckBox::toggled, this, [this] { RefreshValues(false); });

    connect(grid_, &ChannelGrid::FrequencyLeft, this, &MainWindow::FrequencyLeft);
    connect(grid_, &ChannelGrid::ToneLeft, this, &MainWindow::ToneLeft);
    connect(grid_, &ChannelGrid::ReferenceChanged, this, &MainWindow::cmbRef_Click);
    connect(grid_, &ChannelGrid::ChannelClicked, this, &MainWindow::lblChan_Click);
    connect(cmdRead, &QPushButton::clicked, this, &MainWindow::cmdRead_Click);
    connect(cmdWrite, &QPushButton::clicked, this, &MainWindow::cmdWrite_Click);
}

void MainWindow::Form_Load() {
    // As large as the grid and its controls want, within the screen's free area (less room
    // for the window frame); the rest scrolls.
    auto* scroll = static_cast<QScrollArea*>(centralWidget());
    // The scroll area's own size hint is capped at a few dozen lines of text. Two pixels
    // spare: a fractional scale rounds sizes, and a pixel short would bring both bars.
    QSize wanted = sizeHint() - scroll->sizeHint() + scroll->widget()->sizeHint() + QSize(2, 2);
    if (const QScreen* screen = this->screen()) {
        const QSize room = screen->availableGeometry().size() - QSize(16, 48);
        const int bar = scroll->verticalScrollBar()->sizeHint().width();
        if (wanted.height() > room.height()) wanted.rwidth() += bar;
        if (wanted.width() > room.width()) wanted.rheight() += bar;
        wanted = wanted.boundedTo(room);
    }
    resize(wanted);
    CentreOnScreen(this);

    seedNotice_ = SeedConfiguration();
    if (!seedNotice_.isEmpty()) Notice(seedNotice_);
    ReadINIFile();

    const Preferences stored = LoadPreferences();
    mnuClrMemoryOnBandSelect->setChecked(stored.ClearOnNewBandSelect);
    cmbBand->setCurrentIndex(BandPositionFor(stored.RadioIndex, cmbBand->count()));
    if (cmbBand->currentIndex() < 0) {
        // No definition applied: no reference is available, the CPU line says no radio and
        // the grid shows the image as it decodes without a definition.
        RefreshReferenceList();
        RefreshCPULabel();
    }

    // The grid first, row by row, then the controls under it from left to right; the focus
    // starts on the grid's first field, so Tab walks the grid from its start.
    QWidget* last = grid_->ChainTabOrder(nullptr);
    for (QWidget* w : std::initializer_list<QWidget*>{
             cmbBand, chkDCGInvertTx, chkDCGInvertRx, txtRefFreq, txtIFFreq, txtRxMult, txtTxMult,
             optInjectionLo, optInjectionHi, cmdRead, cmdWrite}) {
        QWidget::setTabOrder(last, w);
        last = w;
    }
    grid_->Field(0, ChannelGrid::TxFreq)->setFocus(Qt::OtherFocusReason);
    MarkRadioValues();
    RebuildRecentMenu();
}

void MainWindow::Form_Unload() {
    StorePreferences({mnuClrMemoryOnBandSelect->isChecked(), cmbBand->currentIndex()});
    debug_log(QStringLiteral("AppExit: ") + QString(50, u'-'));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A radio operation ends at its wait; the configuration editor (the window is
    // disabled while it runs) is left to the operator, since ending the program would kill
    // it with any unsaved changes. The close goes ahead once either has returned. Unsaved
    // work lets the operation finish: the question comes after it, and may be answered
    // Cancel, which must leave the clock running.
    if (operationRunning_ || !isEnabled()) {
        closePending_ = true;
        if (!Modified()) {
            closing_ = true;
            clock_.Stop();
        }
        event->ignore();
        return;
    }
    closePending_ = false;
    if (!shutdownDone_ && document_->Revision() != discardedAt_ &&
        !MayReplace(QStringLiteral("closing"))) {
        event->ignore();
        return;
    }
    closing_ = true;
    clock_.Stop();
    if (!shutdownDone_) {
        shutdownDone_ = true;
        Form_Unload();
    }
    event->accept();
}

void MainWindow::ReadINIFile() {
    const int remembered = cmbBand->currentIndex();
    const QString path = ProgramFile(kConfigName);
    Configuration loaded;
    const QString problem = LoadConfiguration(path, loaded);
    // A band selection that clears memory asks first, before anything is replaced: Cancel
    // keeps the configuration in use (the file is read again at the next reload).
    const bool clears = mnuClrMemoryOnBandSelect->isChecked() &&
                        BandPositionFor(remembered, int(loaded.Names.size())) >= 0;
    if (clears && Modified()) {
        if (operationRunning_) {
            reloadPending_ = true;
            return;
        }
        if (!MayReplace(QStringLiteral("reloading the configuration"))) return;
    }
    const QScopedValueRollback agreed(replaceAgreed_, clears);
    cfg_ = std::move(loaded);
    grid_->SetToneCompletions(ToneCompletions(cfg_));
    // A missing file that start-up could not replace has been reported already.
    if (!problem.isEmpty() && (seedNotice_.isEmpty() || QFileInfo::exists(path)))
        Notice(QStringLiteral("%1 was not read (%2): the Band list is empty.")
                   .arg(QDir::toNativeSeparators(path), problem));
    {
        // Emptying and refilling the list is no band selection.
        const QSignalBlocker quiet(cmbBand);
        cmbBand->clear();
        cmbBand->addItems(cfg_.Names);
        cmbBand->setCurrentIndex(-1);
    }
    cmbBand->setCurrentIndex(BandPositionFor(remembered, cmbBand->count()));
    MarkBandLimits(); // also when no definition is applied any more
    ShowPort();
    ShowDefinition();
}

void MainWindow::debug_log(const QString& text) {
    log_.Append(text);
}

RadioFields MainWindow::CurrentFields() const {
    return {CurRadioID,
            txtRefFreq->text(),
            txtIFFreq->text(),
            txtRxMult->text(),
            txtTxMult->text(),
            optInjectionHi->isChecked(),
            chkDCGInvertTx->isChecked(),
            chkDCGInvertRx->isChecked()};
}

RadioValues MainWindow::CurrentValues() const {
    return ReadRadioValues(CurrentFields());
}

CodecContext MainWindow::CurrentContext() const {
    return ContextFor(cfg_, cmbBand->currentIndex() + 1, CurrentValues());
}

bool MainWindow::EncodeRows() {
    // A radio-wide value the arithmetic cannot use would store every frequency wrong, and
    // typing the value again would not bring them back.
    if (CurrentValues().FirstUnusable()) return false;
    const CodecContext ctx = CurrentContext();
    for (int c = 1; c <= kChannels; ++c)
        EEEncode(eeImage_, EEindexForChannel(c), grid_->ReadRow(c - 1), ctx);
    return true;
}

void MainWindow::DecodeRows() {
    const CodecContext ctx = CurrentContext();
    for (int c = 1; c <= kChannels; ++c) {
        const ChannelRow row = EEDecode(eeImage_, EEindexForChannel(c), ctx);
        // Writing the controls raises their change handlers; none may refresh meanwhile.
        const QScopedValueRollback hold(HoldOffRefresh, true);
        grid_->WriteRow(c - 1, row);
        shown_[size_t(c - 1)] = grid_->ReadRow(c - 1);
    }
    MarkBandLimits();
    if (document_) UpdateTitle();
}

void MainWindow::RefreshValues(bool RefreshEE) {
    if (HoldOffRefresh) return;
    // Nothing encoded means nothing decoded either: the edits stay in their fields until the
    // marked value is corrected.
    if (RefreshEE && !EncodeRows()) return;
    DecodeRows();
}

void MainWindow::RefreshReferenceList() {
    const int d = cmbBand->currentIndex() + 1;
    grid_->SetReferenceItems(
        ReferenceListItems(CurrentValues().RefFreq, cfg_.TableFor(d), CurRadioID));
}

void MainWindow::RefreshCPULabel() {
    lblCPUType->setText(CpuLabelText(CurRadioID, CurRevision));
    ShowDefinition();
    grid_->SetCctItems(CctItems(CurRadioID));
    RefreshValues(false);
}

void MainWindow::MarkRadioValues() {
    const RadioValues values = CurrentValues();
    const std::pair<QLineEdit*, RadioValue> marked[] = {{txtRefFreq, RadioValue::RefFreq},
                                                        {txtIFFreq, RadioValue::IFFreq},
                                                        {txtRxMult, RadioValue::RxMult},
                                                        {txtTxMult, RadioValue::TxMult}};
    for (const auto& [field, value] : marked) {
        const QString& problem = values.Problem(value);
        field->setProperty("unusable", !problem.isEmpty());
        field->setStyleSheet(problem.isEmpty() ? QString()
                                               : QStringLiteral("QLineEdit { border: 2px solid "
                                                                "#d00000; border-radius: 2px; }"));
        field->setToolTip(problem.isEmpty()
                              ? FieldToolTip(field->objectName())
                              : problem + QStringLiteral(": nothing from the grid is stored, saved "
                                                         "or written until it is corrected."));
    }
}

void MainWindow::Notice(const QString& text) {
    qWarning("Ostrand: %s", qPrintable(QString(text).replace(u'\n', u' ')));
    // Shown once the event loop runs: at start-up the main window is not on screen yet.
    pendingNotice_ += (pendingNotice_.isEmpty() ? QString() : QStringLiteral("\n\n")) + text;
    QTimer::singleShot(0, this, [this] {
        if (pendingNotice_.isEmpty() || operationRunning_) return;
        const QString shown = std::exchange(pendingNotice_, QString());
        status_.SetText(shown);
        QTimer::singleShot(clock_.Scaled(kNoticeMs), this, [this, shown] {
            if (!operationRunning_ && status_.Text() == shown) status_.Close();
        });
    });
}

void MainWindow::Refuse(const QString& text) {
    operationRunning_ = true;
    status_.Show();
    status_.SetText(text);
    ShowOutcome(text);
    SystemBeep();
    clock_.Pause(kRefusalPauseMs);
    status_.Close();
    operationRunning_ = false;
    if (closePending_) close();
}

void MainWindow::TextFieldChanged(QLineEdit* field) {
    if (field == txtRefFreq) RefreshReferenceList();
    if (!field->text().isEmpty()) RefreshValues(false);
}

void MainWindow::cmbBand_Click() {
    const int d = cmbBand->currentIndex() + 1;
    const RadioDefinition& def = cfg_.Definition(d);
    const bool clear = mnuClrMemoryOnBandSelect->isChecked() && !restoringBand_;
    {
        // Each field set below raises its change handler; none may refresh meanwhile.
        const QScopedValueRollback hold(HoldOffRefresh, true);
        CurRadioID = def.RadioID;
        CurRevision = 0;
        RefreshCPULabel();

        // Shown whole even when wider than typing allows: a cut value would be used cut.
        const BandFields fields = BandFieldsFor(def);
        ShowText(txtTxMult, fields.TxMult, kMultLength);
        ShowText(txtRxMult, fields.RxMult, kMultLength);
        ShowText(txtIFFreq, fields.IFFreq, kRadioFreqLength);
        ShowText(txtRefFreq, fields.RefFreq, kRadioFreqLength);

        (def.Injection ? optInjectionHi : optInjectionLo)->setChecked(true);
        chkDCGInvertTx->setChecked(def.DCGInvertTx);
        chkDCGInvertRx->setChecked(def.DCGInvertRx);

        RefreshReferenceList();
        if (clear) grid_->Clear();
    }
    if (clear) RefreshValues(true);
    RefreshValues(false);

    // A position the lists do not have would leave a row without any reference choice.
    if (clear && def.RefIndex < kReferenceItems) {
        for (int r = 0; r < kChannels; ++r)
            grid_->SetPosition(r, ChannelGrid::Ref, def.RefIndex);
    }
}

void MainWindow::cmbRef_Click(int index) {
    if (HoldOffRefresh) return; // a decode or a band selection writes the lists
    document_->Change(
        QStringLiteral("Change channel %1 PLL Ref.").arg(index + 1),
        [this] { RefreshValues(true); },
        [index](DocumentState& before) {
            before.rows[size_t(index)].RefIndex = before.shown[size_t(index)].RefIndex;
        });
}

void MainWindow::lblChan_Click(int index) {
    const QString undo = QKeySequence(QKeySequence::Undo).toString(QKeySequence::NativeText);
    document_->Change(QStringLiteral("Copy channel %1 to all").arg(index + 1),
                      [this, index] { grid_->CopyRow(index); });
    MarkBandLimits();
    statusBar()->showMessage(QStringLiteral("Channel %1 copied to every channel: %2 takes it back.")
                                 .arg(index + 1)
                                 .arg(undo),
                             kNoticeMs);
}

void MainWindow::ToneLeft(int row, bool transmit) {
    if (shutdownDone_) return;
    const auto column = transmit ? ChannelGrid::TxTone : ChannelGrid::RxTone;
    const int EEindex = EEindexForChannel(row + 1) + (transmit ? 4 : 0);
    const QString typed = grid_->Text(row, column);
    const bool edited = qobject_cast<QLineEdit*>(grid_->Field(row, column))->isModified();
    const CodecContext ctx = CurrentContext();
    document_->Change(
        QStringLiteral("Edit channel %1 %2").arg(row + 1).arg(transmit ? "Tx" : "Rx") +
            QStringLiteral(" CG/DCG"),
        [&] {
            const QString text = ToneEntry(eeImage_, EEindex, typed, ctx);
            grid_->SetText(row, column, text);
            (transmit ? shown_[size_t(row)].TxTone : shown_[size_t(row)].RxTone) = text;
        },
        [row, transmit](DocumentState& before) {
            const ChannelRow& shown = before.shown[size_t(row)];
            ChannelRow& edited = before.rows[size_t(row)];
            (transmit ? edited.TxTone : edited.RxTone) = transmit ? shown.TxTone : shown.RxTone;
        });
    if (edited)
        Explain(ExplainEntry(transmit ? EntryField::TxTone : EntryField::RxTone, typed,
                             grid_->Text(row, column), ctx, grid_->ReadRow(row).RefIndex));
}

void MainWindow::FrequencyLeft(int row, bool transmit) {
    if (shutdownDone_) return;
    const auto column = transmit ? ChannelGrid::TxFreq : ChannelGrid::RxFreq;
    const QString typed = grid_->Text(row, column);
    const bool edited = qobject_cast<QLineEdit*>(grid_->Field(row, column))->isModified();
    document_->Change(
        QStringLiteral("Edit channel %1").arg(row + 1), [this] { RefreshValues(true); },
        [row, transmit](DocumentState& before) {
            const ChannelRow& shown = before.shown[size_t(row)];
            ChannelRow& edited = before.rows[size_t(row)];
            (transmit ? edited.TxFreq : edited.RxFreq) = transmit ? shown.TxFreq : shown.RxFreq;
        });
    const QString shown = grid_->Text(row, column);
    // Not stored (a radio-wide value is unusable): the entry stands as typed.
    if (edited && shown != typed)
        Explain(ExplainEntry(transmit ? EntryField::TxFreq : EntryField::RxFreq, typed, shown,
                             CurrentContext(), grid_->ReadRow(row).RefIndex));
}

void MainWindow::Explain(const QString& text) {
    if (!text.isEmpty()) statusBar()->showMessage(text, clock_.Scaled(kExplanationMs));
}

std::vector<OutOfBand> MainWindow::MarkBandLimits() {
    return MarkOutOfBand(*grid_, *lblOutOfBand,
                         LimitsOf(cfg_.Definition(cmbBand->currentIndex() + 1)));
}

void MainWindow::RunOperation(const QString& name, const std::function<void()>& operation) {
    operationRunning_ = true;
    lastStatus_.clear();
    UpdateActionState();
    status_.SetCancel([this] { CancelOperation(); });
    operation();
    status_.SetCancel(nullptr);
    // A cancel stopped the clock for this operation only; a close stops it for good.
    if (!closing_) clock_.Restart();
    operationRunning_ = false;
    UpdateActionState();
    if (std::exchange(reloadPending_, false)) ReadINIFile();
    ShowOutcome(name + QStringLiteral(": ") + lastStatus_);
    if (closePending_) close();
}

void MainWindow::CancelOperation() {
    if (operationRunning_) clock_.Stop();
}

void MainWindow::UpdateActionState() {
    for (QAction* item : {mnuOpen, mnuRecent->menuAction(), mnuOpenBackup, mnuSave, mnuImportCsv,
                          mnuExportCsv, mnuCompareFile, mnuCompareRadio, mnuPrint, mnuExportPdf,
                          mnuSerialPort, mnuConfig, mnuAbout})
        item->setEnabled(!operationRunning_);
    for (QAction* item : mnuRecent->actions())
        item->setEnabled(!operationRunning_);
    cancel_->setEnabled(operationRunning_);
    cmdRead->setEnabled(!operationRunning_);
    cmdWrite->setEnabled(!operationRunning_);
    // The image is not taken back from under an operation.
    QUndoStack& stack = document_->Stack();
    mnuUndo->setEnabled(!operationRunning_ && stack.canUndo());
    mnuRedo->setEnabled(!operationRunning_ && stack.canRedo());
    mnuUndo->setText(stack.canUndo() ? QStringLiteral("&Undo ") + stack.undoText()
                                     : QStringLiteral("&Undo"));
    mnuRedo->setText(stack.canRedo() ? QStringLiteral("&Redo ") + stack.redoText()
                                     : QStringLiteral("&Redo"));
}

void MainWindow::cmdRead_Click() {
    if (operationRunning_ || closing_ || !MayReplace(QStringLiteral("reading the radio"))) return;
    // What the operator does meanwhile is part of the one step.
    document_->Change(QStringLiteral("Read Radio"), [this] {
        RunOperation(QStringLiteral("Read Radio"), [this] {
            EEImage received{};
            if (ReadRadio(*host_, *host_, clock_, &received)) {
                documentPath_.clear();
                if (compare_) compare_->close();
                document_->MarkSaved(QStringLiteral("Radio read ") +
                                         backups_.Now().toString(QStringLiteral("HH:mm")),
                                     BlockBytesOf(received));
            }
            // After a failure too: the grid shows the image as it now stands.
            DecodeRows();
        });
    });
}

void MainWindow::cmdWrite_Click() {
    if (operationRunning_ || closing_) return;
    // At the click, before the port opens: the grid cannot be encoded as it stands.
    if (const auto unusable = CurrentValues().FirstUnusable()) {
        Refuse(QStringLiteral("Radio Not Written\n") + unusable->reason);
        return;
    }
    // The grid as it will be written (its pending edits stored: part of the step); frequencies
    // outside the band are written only on a Yes (asked here, before the operation and its
    // waits start).
    document_->Begin();
    EncodeRows();
    DecodeRows();
    if (const auto outside = MarkBandLimits(); !outside.empty()) {
        const BandLimits limits = LimitsOf(cfg_.Definition(cmbBand->currentIndex() + 1));
        if (!services_.messages->AskYesNoStop(OutOfBandQuestion(outside, limits),
                                              QString::fromLatin1(kOutOfBandTitle)) ||
            closing_) {
            document_->End(QStringLiteral("Write Radio"));
            return;
        }
    }
    RunOperation(QStringLiteral("Write Radio"), [this] {
        // The image holds exactly the grid, encoded for the current CPU type.
        EncodeRows();
        DecodeRows();
        // A written radio holds the personality (and a backup is kept): it counts as saved.
        const BlockBytes sent = BlockBytesOf(eeImage_);
        if (WriteRadio(*host_, *host_, clock_))
            document_->MarkSaved(QStringLiteral("Radio written ") +
                                     backups_.Now().toString(QStringLiteral("HH:mm")),
                                 sent);
    });
    document_->End(QStringLiteral("Write Radio"));
}

PersonalityFileContext MainWindow::FileContext() {
    const auto unusable = CurrentValues().FirstUnusable();
    return {*services_.fileDialogs,
            *host_,
            clock_,
            eeImage_,
            [this] {
                EncodeRows();
                DecodeRows();
            },
            [this] { RefreshValues(false); },
            cfg_.Definition(cmbBand->currentIndex() + 1).DefaultExt,
            DialogFolder(),
            unusable ? unusable->reason : QString(),
            {},
            {}};
}

QString MainWindow::DialogFolder() const {
    const QString last = LoadLastFolder();
    if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
    const QString program = ProgramFolder();
    // Nobody keeps files in a hidden folder (the per-user ~/.local/share/Ostrand).
    for (const QString& part : QDir::home().relativeFilePath(program).split(u'/'))
        if (part.startsWith(u'.') && part != u"..") return QDir::homePath();
    return program;
}

bool MainWindow::OpenDocument(const QString& path) {
    if (operationRunning_ || closing_ || !MayReplace(QStringLiteral("opening another file")))
        return false;
    PersonalityFileContext context = FileContext();
    const FileResult result = OpenStep(context, [&] {
        return path.isEmpty() ? OpenPersonalityFile(context) : LoadPersonalityFile(context, path);
    });
    FileDone(int(result), context.chosen, context.reason, QStringLiteral("Opened "));
    if (result != FileResult::Unreadable) return result == FileResult::Done;
    QStringList recent = LoadRecentFiles();
    if (!QFileInfo::exists(context.chosen) &&
        recent.removeAll(QFileInfo(context.chosen).absoluteFilePath())) {
        StoreRecentFiles(recent);
        RebuildRecentMenu();
        ShowOutcome(lblOutcome->text() + QStringLiteral(" It is no longer in Open Recent."));
    }
    // A file named outside the dialog says why it did not open.
    if (!path.isEmpty()) Notice(lblOutcome->text());
    return false;
}

void MainWindow::FileDone(int result, const QString& path, const QString& reason,
                          const QString& done) {
    const QString shown = QDir::toNativeSeparators(path);
    switch (FileResult(result)) {
    case FileResult::Cancelled:
        return;
    case FileResult::Done:
        ShowOutcome(done + shown);
        StoreRecentFiles(WithRecent(LoadRecentFiles(), path));
        StoreLastFolder(QFileInfo(path).absolutePath());
        RebuildRecentMenu();
        return;
    case FileResult::Unreadable:
        ShowOutcome(
            QStringLiteral("%1 was not opened: %2.")
                .arg(shown, QFileInfo::exists(path) ? reason : QStringLiteral("no such file")));
        return;
    case FileResult::Invalid:
        ShowOutcome(shown + QStringLiteral(": ") + lastStatus_);
        return;
    case FileResult::WriteFailed:
        ShowOutcome(lastStatus_);
        return;
    }
}

void MainWindow::RebuildRecentMenu() {
    mnuRecent->clear();
    const QStringList paths = LoadRecentFiles();
    for (int i = 0; i < paths.size(); ++i) {
        const QString path = paths.at(i);
        QAction* item = mnuRecent->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
        item->setObjectName(QStringLiteral("mnuRecent_%1").arg(i));
        connect(item, &QAction::triggered, this, [this, path] { OpenDocument(path); });
    }
    mnuRecent->setEnabled(!paths.isEmpty() && !operationRunning_);
}

void MainWindow::mnuOpen_Click() {
    OpenDocument();
}

FileResult MainWindow::OpenStep(PersonalityFileContext& context,
                                const std::function<FileResult()>& open) {
    document_->Begin();
    const FileResult result = open();
    const QString name = QFileInfo(context.chosen).fileName();
    document_->End(QStringLiteral("Open ") + name);
    if (result == FileResult::Done) {
        documentPath_ = context.chosen;
        if (compare_) compare_->close();
        document_->MarkSaved(name, BlockBytesOf(eeImage_));
    }
    return result;
}

void MainWindow::mnuSave_Click() {
    Save();
}

PlanFileContext MainWindow::PlanContext() const {
    const auto unusable = CurrentValues().FirstUnusable();
    return {*services_.fileDialogs, *services_.messages, CurrentContext(),
            unusable ? unusable->reason : QString(),
            documentPath_.isEmpty() ? DialogFolder() : QFileInfo(documentPath_).absolutePath()};
}

PlanSheet MainWindow::Sheet() const {
    return SheetFor(cmbBand->currentText(), CurrentFields(), CurrentContext(), eeImage_,
                    documentPath_);
}

void MainWindow::ReplaceImage(const EEImage& image, const QString& change) {
    if (!MayReplace(QStringLiteral("replacing the channels (%1)").arg(change))) return;
    if (compare_) compare_->close(); // its marks are of the grid being replaced
    documentPath_.clear();
    document_->Change(change, [&] {
        std::copy_n(image.begin(), kBlockSize, eeImage_.begin());
        RefreshValues(false);
    });
}

void MainWindow::ShowComparison(const EEImage& other, const QString& name) {
    if (compare_) compare_->close();
    compare_ =
        new CompareWindow(grid_, ComparePlans(eeImage_, other, CurrentContext()), name, this);
    compare_->show();
}

void MainWindow::mnuImportCsv_Click() {
    if (const auto plan = ImportPlanCsv(PlanContext()))
        ReplaceImage(plan->image, QStringLiteral("Import CSV"));
}

void MainWindow::mnuExportCsv_Click() {
    // The image holds exactly what the grid shows, as for Save.
    if (!CurrentValues().FirstUnusable()) {
        EncodeRows();
        DecodeRows();
    }
    ExportPlanCsv(PlanContext(), eeImage_);
}

void MainWindow::mnuCompareFile_Click() {
    if (const auto other = ChoosePersonality(PlanContext()))
        ShowComparison(other->first, other->second);
}

// The radio read into a block of its own, with Read Radio's exchanges: the grid, the image
// and the window's CPU type stay as they are.
void MainWindow::mnuCompareRadio_Click() {
    if (operationRunning_ || closing_) return;
    class SideHost : public RadioHost {
    public:
        SideHost(QString device, int16_t id, int16_t revision, BackupStore* backups)
            : device_(std::move(device)), id_(id), revision_(revision), backups_(backups) {}
        QString SerialDevice() const override { return device_; }
        EEImage& Image() override { return image_; }
        int16_t CurRadioID() const override { return id_; }
        int16_t CurRevision() const override { return revision_; }
        void SetIdentity(int16_t id, int16_t revision) override { id_ = id, revision_ = revision; }
        // A radio read for a comparison is a record of that radio as well.
        BackupStore* Backups() override { return backups_; }

    private:
        QString device_;
        EEImage image_{};
        int16_t id_, revision_;
        BackupStore* backups_;
    } radio(PortInUse({}, StoredPort(), cfg_), CurRadioID, CurRevision, &backups_);
    bool read = false;
    RunOperation(QStringLiteral("Compare with the radio"),
                 [&] { read = ReadRadio(radio, *host_, clock_); });
    if (read && !closing_) ShowComparison(radio.Image(), QStringLiteral("the radio"));
}

void MainWindow::mnuPrint_Click() {
    PrintPlan(this, Sheet());
}

void MainWindow::mnuExportPdf_Click() {
    ExportPlanPdf(PlanContext(), Sheet());
}

void MainWindow::mnuSerialPort_Click() {
    SerialPortDialog dialog(services_.ports ? services_.ports() : SystemSerialPorts(), StoredPort(),
                            cfg_.SerialDevice(), services_.timeScale, this);
    if (dialog.exec() != QDialog::Accepted) return;
    StorePort(dialog.Device());
    ShowPort();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!operationRunning_ && isEnabled() && urls.size() == 1 && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (operationRunning_ || urls.size() != 1 || !urls.first().isLocalFile()) return;
    event->acceptProposedAction();
    // Opened once the drop has finished: the source application is not kept waiting on any
    // question the open may ask.
    const QString path = urls.first().toLocalFile();
    QTimer::singleShot(0, this, [this, path] { OpenDocument(path); });
}

void MainWindow::mnuConfig_Click() {
    configEditor_->Edit(ProgramFile(kConfigName));
    if (closePending_) close();
}

void MainWindow::mnuAbout_Click() {
    ShowAbout(this, services_.processes, services_.messages);
}

bool MainWindow::Modified() const {
    return started_ && document_->Modified();
}

DocumentState MainWindow::Capture() const {
    DocumentState state;
    state.band = cmbBand->currentIndex();
    state.bytes = BlockBytesOf(eeImage_);
    for (int r = 0; r < kChannels; ++r)
        state.rows[size_t(r)] = grid_->ReadRow(r);
    state.shown = shown_;
    return state;
}

void MainWindow::Restore(const DocumentState& state) {
    std::copy(state.bytes.begin(), state.bytes.end(), eeImage_.begin());
    if (state.band != cmbBand->currentIndex()) {
        // The band the grid was shown on comes back, without clearing anything.
        const QSignalBlocker quiet(cmbBand);
        cmbBand->setCurrentIndex(bandIndex_ = state.band);
        const QScopedValueRollback keep(restoringBand_, true);
        if (state.band >= 0) cmbBand_Click();
    }
    // Decoded under the radio-wide values in force now; the edits that were pending then are
    // pending again.
    DecodeRows();
    const QScopedValueRollback hold(HoldOffRefresh, true);
    for (int r = 0; r < kChannels; ++r) {
        const size_t i = size_t(r);
        if (state.rows[i] != state.shown[i])
            grid_->WriteRow(r, WithPendingEdits(shown_[i], state.rows[i], state.shown[i]));
    }
    UpdateTitle();
}

void MainWindow::UpdateTitle() {
    setWindowTitle(document_->Title());
    setWindowModified(document_->Modified());
}

bool MainWindow::MayReplace(const QString& doing) {
    if (!Modified()) return true;
    if (operationRunning_) return false;
    const QString source = document_->Source();
    const QString text =
        QStringLiteral("The personality%1 has changes that are not saved.\nSave them before %2?")
            .arg(source.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(source), doing);
    switch (services_.messages->AskSaveChanges(text, QStringLiteral("Unsaved Changes"))) {
    case SaveAnswer::Save:
        return Save() == FileResult::Done;
    case SaveAnswer::Discard:
        return true;
    case SaveAnswer::Cancel:
        break;
    }
    return false;
}

FileResult MainWindow::Save() {
    PersonalityFileContext context = FileContext();
    // Save stores the pending edits in the image first: that is a step of its own.
    document_->Begin();
    const FileResult result = SavePersonalityFile(context);
    const QString name = QFileInfo(context.chosen).fileName();
    document_->End(QStringLiteral("Save ") + name);
    if (result == FileResult::Done) {
        documentPath_ = context.chosen;
        document_->MarkSaved(name, BlockBytesOf(eeImage_));
    }
    FileDone(int(result), context.chosen, {}, QStringLiteral("Saved "));
    return result;
}

void MainWindow::BandChosen(int index) {
    if (index < 0) { // an empty selection applies no definition
        bandIndex_ = index;
        return;
    }
    const QString band = cmbBand->itemText(index);
    if (mnuClrMemoryOnBandSelect->isChecked() && !replaceAgreed_ &&
        !MayReplace(QStringLiteral("clearing the memory for %1").arg(band))) {
        if (operationRunning_)
            statusBar()->showMessage(QStringLiteral("The band stays %1: choosing %2 would clear "
                                                    "unsaved changes, which cannot be asked "
                                                    "about during a radio operation.")
                                         .arg(cmbBand->itemText(bandIndex_), band),
                                     kNoticeMs);
        // Back to the band in force, without a band selection.
        const QSignalBlocker quiet(cmbBand);
        cmbBand->setCurrentIndex(bandIndex_);
        return;
    }
    const int previous = std::exchange(bandIndex_, index);
    document_->Change(
        QStringLiteral("Select band ") + band, [this] { cmbBand_Click(); },
        [previous](DocumentState& before) { before.band = previous; });
}

void MainWindow::CommitData(QSessionManager& manager) {
    if (shutdownDone_ || !Modified()) return;
    if (!operationRunning_ && manager.allowsInteraction()) {
        const bool agreed = MayReplace(QStringLiteral("the session ends"));
        manager.release();
        if (!agreed) {
            manager.cancel();
            return;
        }
    } else {
        // Nobody to ask: the work is kept where the backups are.
        EncodeRows();
        const BackupResult kept = backups_.Keep(QStringLiteral("unsaved"), CurRadioID, eeImage_);
        debug_log(kept.problem.isEmpty() ? "Backup: " + kept.path
                                         : "Backup: failed - " + kept.problem);
    }
    discardedAt_ = document_->Revision();
}

} // namespace ostrand
