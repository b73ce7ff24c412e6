// SPDX-License-Identifier: GPL-3.0-or-later
// The status window of the radio operations and of a rejected personality file: one line of
// text, centred on the screen, shown without blocking. Its users show it, set its text and
// delete it at the end of their operation.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;

namespace ostrand {

class StatusWindow : public QWidget {
    Q_OBJECT
public:
    explicit StatusWindow(QWidget* owner = nullptr);

    // Each text replaces the previous one; the window grows downwards for a long text.
    void SetText(const QString& text);
    QString Text() const;
    // A Cancel button under the text calls `cancel`; null takes it away. (Escape is the
    // owner's: this window need not be the active one.)
    void SetCancel(const std::function<void()>& cancel);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Fit();

    QLabel* lblInfo = nullptr;
    QPushButton* cmdCancel = nullptr;
    std::function<void()> cancel_;
};

// The show / set text / unload cycle for callers that keep no window pointer of their own.
// Show() always starts with a freshly created, centred window.
class StatusDisplay {
public:
    explicit StatusDisplay(QWidget* owner = nullptr) : owner_(owner) {}
    ~StatusDisplay();
    StatusDisplay(const StatusDisplay&) = delete;
    StatusDisplay& operator=(const StatusDisplay&) = delete;

    void Show();
    void SetText(const QString& text); // shows the window first when it is not shown
    void Close();
    // The Cancel of the windows shown from now on (and of the one shown now).
    void SetCancel(const std::function<void()>& cancel);

    QString Text() const;

private:
    QWidget* owner_;
    std::function<void()> cancel_;
    QPointer<StatusWindow> window_;
};

} // namespace ostrand
