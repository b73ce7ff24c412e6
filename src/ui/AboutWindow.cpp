// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AboutWindow.h"

#include "platform/MessageBoxes.h"
#include "platform/Processes.h"
#include "platform/Screen.h"
#include "ui/AppIcon.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ostrand {

namespace {

const QString kAppTitle = QStringLiteral("Ostrand");

QString DescriptionText() {
    return QStringLiteral("Copyright \u00A9 2026 the Ostrand developers\n"
                          "Written by the Ostrand developers for radio technicians\n"
                          "All rights reserved.\n"
                          "\n"
                          "While this program may be freely distributed, if you find it "
                          "useful, a donation is appreciated.");
}

} // namespace

QStringList SystemInfoTools() {
    return {QStringLiteral("hardinfo2"),
            QStringLiteral("hardinfo"),
            QStringLiteral("kinfocenter"),
            QStringLiteral("lshw-gtk"),
            QStringLiteral("gnome-system-monitor"),
            QStringLiteral("mate-system-monitor")};
}

bool StartSysInfo(Processes& processes, MessageBoxes& messages, const QStringList& tools,
                  const QStringList& searchPaths) {
    const QString path = FindFirstProgram(tools, searchPaths);
    if (!path.isEmpty() && processes.StartDetached(path, {})) return true;
    messages.Inform(QStringLiteral("System Information Is Unavailable At This Time"), kAppTitle);
    return false;
}

QString VersionText() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(OSTRAND_VERSION_MAJOR)
        .arg(OSTRAND_VERSION_MINOR)
        .arg(OSTRAND_VERSION_PATCH);
}

AboutWindow::AboutWindow(QWidget* owner, Processes* processes, MessageBoxes* messages,
                         QStringList searchPaths)
    : QDialog(owner), processes_(processes), messages_(messages),
      searchPaths_(std::move(searchPaths)) {
    if (!processes_) {
        ownProcesses_ = std::make_unique<QtProcesses>();
        processes_ = ownProcesses_.get();
    }
    if (!messages_) {
        ownMessages_ = std::make_unique<QtMessageBoxes>(this);
        messages_ = ownMessages_.get();
    }

    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ") + kAppTitle);
    setModal(true);

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(AppIcon().pixmap(48, 48));
    picIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* lblTitle = new QLabel(kAppTitle, this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);

    auto* lblVersion = new QLabel(VersionText(), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    auto* lblDescription = new QLabel(DescriptionText(), this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);

    // The etched separator: a sunken line draws grey over white.
    auto* line1 = new QFrame(this);
    line1->setObjectName(QStringLiteral("Line1"));
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);

    auto* lblDisclaimer = new QLabel(QStringLiteral("No warranty is given nor implied."), this);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));

    auto* cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    auto* cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    // Enter stays with OK even while the focus is on this button.
    cmdSysInfo->setAutoDefault(false);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addSpacing(8);
    texts->addWidget(lblDescription);
    texts->addStretch();

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);

    auto* grid = new QGridLayout(this);
    grid->addWidget(picIcon, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    grid->addLayout(texts, 0, 1, 1, 2);
    grid->addWidget(line1, 1, 0, 1, 3);
    grid->addWidget(lblDisclaimer, 2, 0, 1, 2, Qt::AlignLeft | Qt::AlignBottom);
    grid->addLayout(buttons, 2, 2, Qt::AlignRight | Qt::AlignBottom);
    grid->setColumnStretch(1, 1);
    lblDescription->setMinimumWidth(320);

    // OK is also the cancel button: Escape rejects, which closes the window the same way.
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &AboutWindow::cmdSysInfo_Click);
}

AboutWindow::~AboutWindow() = default;

void AboutWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ostrand::CentreOnScreen(this);
}

void AboutWindow::cmdSysInfo_Click() {
    StartSysInfo(*processes_, *messages_, SystemInfoTools(), searchPaths_);
}

void ShowAbout(QWidget* owner, Processes* processes, MessageBoxes* messages) {
    AboutWindow about(owner, processes, messages);
    about.exec();
}

} // namespace ostrand
