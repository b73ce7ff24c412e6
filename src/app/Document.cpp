// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Document.h"

#include <algorithm>

namespace ostrand {

namespace {

// One change: the states before and after it. Pushing it runs redo() once, when the change
// has already been made.
class Step : public QUndoCommand {
public:
    Step(const QString& name, DocumentState before, DocumentState after,
         const std::function<void(const DocumentState&)>& restore)
        : QUndoCommand(name), before_(std::move(before)), after_(std::move(after)),
          restore_(restore) {}
    void undo() override { restore_(before_); }
    void redo() override {
        if (!std::exchange(pushed_, false)) restore_(after_);
    }

private:
    DocumentState before_, after_;
    std::function<void(const DocumentState&)> restore_;
    bool pushed_ = true;
};

} // namespace

BlockBytes BlockBytesOf(const EEImage& image) {
    BlockBytes bytes{};
    std::copy_n(image.begin(), kBlockSize, bytes.begin());
    return bytes;
}

ChannelRow WithPendingEdits(const ChannelRow& decodedNow, const ChannelRow& row,
                            const ChannelRow& shown) {
    ChannelRow out = decodedNow;
    const auto keep = [](auto& field, const auto& edited, const auto& was) {
        if (edited != was) field = edited;
    };
    keep(out.TxFreq, row.TxFreq, shown.TxFreq);
    keep(out.RxFreq, row.RxFreq, shown.RxFreq);
    keep(out.RefIndex, row.RefIndex, shown.RefIndex);
    keep(out.TxTone, row.TxTone, shown.TxTone);
    keep(out.RxTone, row.RxTone, shown.RxTone);
    keep(out.STE, row.STE, shown.STE);
    if (row.CCT != shown.CCT || row.KeptCCT != shown.KeptCCT)
        out.CCT = row.CCT, out.KeptCCT = row.KeptCCT;
    keep(out.TxW, row.TxW, shown.TxW);
    keep(out.TxZ, row.TxZ, shown.TxZ);
    keep(out.RxW, row.RxW, shown.RxW);
    keep(out.RxZ, row.RxZ, shown.RxZ);
    return out;
}

Document::Document(std::function<DocumentState()> capture,
                   std::function<void(const DocumentState&)> restore, QObject* parent)
    : QObject(parent), capture_(std::move(capture)), restore_(std::move(restore)) {
    stack_.setUndoLimit(kUndoSteps);
    connect(&stack_, &QUndoStack::indexChanged, this, [this] {
        ++revision_;
        emit Changed();
    });
}

void Document::Begin(const Adjust& before) {
    if (depth_++ > 0) return;
    before_ = capture_();
    if (before) before(before_);
}

void Document::End(const QString& name) {
    if (--depth_ > 0) return;
    DocumentState after = capture_();
    if (after.band == before_.band && after.bytes == before_.bytes && after.rows == before_.rows)
        return;
    stack_.push(new Step(name, std::move(before_), std::move(after), restore_));
}

void Document::Change(const QString& name, const std::function<void()>& change,
                      const Adjust& before) {
    Begin(before);
    change();
    End(name);
}

void Document::MarkSaved(const QString& source, const BlockBytes& bytes) {
    source_ = source;
    saved_ = bytes;
    Touched();
}

void Document::Reset() {
    stack_.clear();
    MarkSaved(QString(), capture_().bytes);
}

bool Document::Modified() const {
    const DocumentState now = capture_();
    return now.bytes != saved_ || now.rows != now.shown;
}

QString Document::Title() const {
    const QString own = QStringLiteral("Ostrand");
    return source_.isEmpty() ? own + QStringLiteral("[*]")
                             : source_ + QStringLiteral("[*] \u2014 ") + own;
}

void Document::Touched() {
    ++revision_;
    emit Changed();
}

} // namespace ostrand
