// SPDX-License-Identifier: GPL-3.0-or-later
// The window's document: where the personality came from (new, a file, a radio), whether it
// changed since it was last opened, saved, read or written, and the undo history of its
// changes, one step per change of the image, each restoring the image and the grid.
#pragma once

#include "image/ChannelRow.h"
#include "image/EEImage.h"

#include <QObject>
#include <QUndoStack>
#include <array>
#include <functional>

namespace ostrand {

using BlockBytes = std::array<uint8_t, kBlockSize>;
using GridRows = std::array<ChannelRow, kChannels>;

BlockBytes BlockBytesOf(const EEImage& image);

// What the window shows at one moment: the band it is shown on, the image's block, the grid's
// rows, and the rows as the image was last decoded into the grid. Where rows and shown differ
// an edit is pending: typed or ticked, not yet stored in the image.
struct DocumentState {
    int band = -1;
    BlockBytes bytes{};
    GridRows rows{};
    GridRows shown{};
};

// A pending edit of a state, put on a row decoded now: each field the operator had changed
// from what was shown keeps the operator's value, every other field shows the image under
// the radio-wide values now in force.
ChannelRow WithPendingEdits(const ChannelRow& decodedNow, const ChannelRow& row,
                            const ChannelRow& shown);

class Document : public QObject {
    Q_OBJECT
public:
    static constexpr int kUndoSteps = 500;

    Document(std::function<DocumentState()> capture,
             std::function<void(const DocumentState&)> restore, QObject* parent = nullptr);

    QUndoStack& Stack() { return stack_; }
    // Begin() ... End(name) makes one step of what changed in between, when the band, the
    // image or the grid did; a change begun inside another is part of the outer one. An edit
    // committed by the change is already in the grid when it begins: `before` takes it out of
    // the state the step goes back to.
    using Adjust = std::function<void(DocumentState&)>;
    void Begin(const Adjust& before = {});
    void End(const QString& name);
    void Change(const QString& name, const std::function<void()>& change,
                const Adjust& before = {});

    // The personality as `bytes` is what `source` holds ("plan.DSX", "Radio read 14:02").
    void MarkSaved(const QString& source, const BlockBytes& bytes);
    // A new document as it stands now: nothing to save, no history.
    void Reset();
    QString Source() const { return source_; }
    // The image differs from what was saved, or an edit is pending.
    bool Modified() const;
    // "plan.DSX[*] — Ostrand"; a new document keeps the window's own title.
    QString Title() const;
    // Counts every change of the document: an answer about unsaved work holds for one count.
    quint64 Revision() const { return revision_; }
    // The operator edited a field (the title may now show a pending edit).
    void Touched();

signals:
    void Changed();

private:
    std::function<DocumentState()> capture_;
    std::function<void(const DocumentState&)> restore_;
    QUndoStack stack_;
    int depth_ = 0;
    DocumentState before_;
    BlockBytes saved_{};
    QString source_;
    quint64 revision_ = 0;
};

} // namespace ostrand
