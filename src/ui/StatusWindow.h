// The status window of the radio operations and of a rejected personality file: one line of
// text, centred on the screen, shown without blocking. Its users show it, set its text and
// delete it at the end of their operation.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;

namespace ostrand {

class StatusWindow : public QWidget {
    Q_OBJECT
public:
    explicit StatusWindow(QWidget* owner = nullptr);

    // Each text replaces the previous one; the window grows downwards for a long text.
    void SetText(const QString& text);
    QString Text() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* lblInfo = nullptr;
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

    QString Text() const;

private:
    QWidget* owner_;
    QPointer<StatusWindow> window_;
};

} // namespace ostrand
