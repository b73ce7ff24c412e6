// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/StatusWindow.h"

#include "platform/Screen.h"

#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ostrand {

namespace {
constexpr int kWidth = 460;
constexpr int kMinHeight = 90;
} // namespace

StatusWindow::StatusWindow(QWidget* owner)
    // A tool window of the owner: stays above the main window, takes no task bar entry, and
    // without a title hint carries no caption.
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("frmDialog"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QString());

    lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setAlignment(Qt::AlignCenter);
    lblInfo->setWordWrap(true);
    lblInfo->setFrameShape(QFrame::NoFrame);
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(18);
    lblInfo->setFont(font);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(lblInfo);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setFocusPolicy(Qt::NoFocus);
    cmdCancel->hide();
    layout->addWidget(cmdCancel, 0, Qt::AlignHCenter);
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        if (cancel_) cancel_();
    });

    setFixedWidth(kWidth);
    resize(kWidth, kMinHeight);
}

void StatusWindow::SetText(const QString& text) {
    lblInfo->setText(text);
    Fit();
}

void StatusWindow::SetCancel(const std::function<void()>& cancel) {
    cancel_ = cancel;
    cmdCancel->setVisible(bool(cancel));
    Fit();
}

void StatusWindow::Fit() {
    const int wanted = std::max(kMinHeight, layout()->totalHeightForWidth(kWidth));
    if (wanted != height()) {
        resize(kWidth, wanted);
        if (isVisible()) CentreOnScreen(this);
    }
}

QString StatusWindow::Text() const {
    return lblInfo->text();
}

void StatusWindow::showEvent(QShowEvent* event) {
    CentreOnScreen(this);
    QWidget::showEvent(event);
}

StatusDisplay::~StatusDisplay() {
    Close();
}

void StatusDisplay::Show() {
    Close();
    window_ = new StatusWindow(owner_);
    window_->setAttribute(Qt::WA_DeleteOnClose);
    window_->SetCancel(cancel_);
    window_->show();
}

void StatusDisplay::SetText(const QString& text) {
    if (window_.isNull()) Show();
    window_->SetText(text);
}

void StatusDisplay::Close() {
    if (!window_.isNull()) delete window_.data();
}

void StatusDisplay::SetCancel(const std::function<void()>& cancel) {
    cancel_ = cancel;
    if (!window_.isNull()) window_->SetCancel(cancel);
}

QString StatusDisplay::Text() const {
    return window_.isNull() ? QString() : window_->Text();
}

} // namespace ostrand
