// SPDX-License-Identifier: GPL-3.0-or-later
// The two message boxes the program asks or tells through.
#pragma once

#include <QString>

class QWidget;

namespace ostrand {

enum class SaveAnswer { Save, Discard, Cancel };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Yes/No question with the stop icon; true for Yes.
    virtual bool AskYesNoStop(const QString& text, const QString& title) = 0;
    // Information with an OK button only.
    virtual void Inform(const QString& text, const QString& title) = 0;
    // Save / Discard / Cancel about unsaved changes; closing the box is Cancel.
    virtual SaveAnswer AskSaveChanges(const QString& text, const QString& title) = 0;
};

class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* owner = nullptr) : owner_(owner) {}
    bool AskYesNoStop(const QString& text, const QString& title) override;
    void Inform(const QString& text, const QString& title) override;
    SaveAnswer AskSaveChanges(const QString& text, const QString& title) override;

private:
    QWidget* owner_;
};

} // namespace ostrand
