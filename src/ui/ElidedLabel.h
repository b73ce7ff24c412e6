// SPDX-License-Identifier: GPL-3.0-or-later
// A one-line label that ends a text too long for it with "…" instead of cutting it off
// mid-letter; text() and the tooltip keep the whole text.
#pragma once

#include <QLabel>

namespace ostrand {

class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr) : QLabel(parent) {}
    // What the label shows at its present width.
    QString Shown() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace ostrand
