// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/FieldFocus.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTimer>

namespace ostrand {

namespace {

// Focus moving because a menu opened or another window became active is no operator move.
bool IsOperatorMove(Qt::FocusReason reason) {
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
           reason != Qt::MenuBarFocusReason;
}

class FieldFocusFilter : public QObject {
public:
    FieldFocusFilter(QLineEdit* edit, std::function<void()> onLeave)
        : QObject(edit), edit_(edit), onLeave_(std::move(onLeave)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != edit_) return false;
        if (event->type() == QEvent::FocusIn) {
            if (IsOperatorMove(static_cast<QFocusEvent*>(event)->reason())) {
                // A mouse click places the cursor after the focus arrives; selecting once the
                // click is through keeps the whole text selected. The field is the timer's
                // context, so a field deleted meanwhile cancels it.
                QLineEdit* edit = edit_;
                QTimer::singleShot(0, edit, [edit] {
                    if (edit->hasFocus()) edit->selectAll();
                });
            }
        } else if (event->type() == QEvent::FocusOut) {
            if (onLeave_ && IsOperatorMove(static_cast<QFocusEvent*>(event)->reason())) onLeave_();
        }
        return false;
    }

private:
    QLineEdit* edit_;
    std::function<void()> onLeave_;
};

class WheelFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel || static_cast<QWidget*>(watched)->hasFocus())
            return false;
        // Not accepted, so the application hands the wheel on to the parent.
        event->ignore();
        return true;
    }
};

} // namespace

void WheelOnlyWhenFocused(QComboBox* list) {
    list->setFocusPolicy(Qt::StrongFocus);
    list->installEventFilter(new WheelFilter(list));
}

void WatchFieldFocus(QLineEdit* edit, std::function<void()> onLeave) {
    edit->installEventFilter(new FieldFocusFilter(edit, std::move(onLeave)));
}

} // namespace ostrand
