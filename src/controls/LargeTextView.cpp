#include "controls/LargeTextView.h"

#include "controls/LineIndex.h"
#include "controls/LineIndexer.h"
#include "controls/TextFileBlocks.h"

#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <QTimer>

namespace {
// How often the scroll range follows the indexing worker.
constexpr int PollMs = 30;
} // namespace

LargeTextView::LargeTextView(QWidget* parent)
    : QAbstractScrollArea(parent), poll_(new QTimer(this)) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    poll_->setInterval(PollMs);
    connect(poll_, &QTimer::timeout, this, &LargeTextView::pollIndex);
}

LargeTextView::~LargeTextView() = default;

void LargeTextView::open(FileHandle handle, const TextEncoding& encoding) {
    closeFile();
    auto file = std::make_shared<const HeldFile>(std::move(handle));
    blocks_ = std::make_shared<TextFileBlocks>(file);
    encoding_ = encoding;
    breaks_ = {encoding.unitBytes(), encoding.kind() == TextEncoding::Utf16BE};
    first_ = qMin<qint64>(encoding.markBytes(), file->size());
    index_ = std::make_shared<LineIndex>(first_);
    indexer_ = std::make_unique<LineIndexer>(file, breaks_, first_, index_);
    top_ = anchor_ = cursor_ = cursorLine_ = first_;
    column_ = -1;
    widest_ = 0;
    shownValid_ = false;
    poll_->start();
    syncing_ = true;
    horizontalScrollBar()->setValue(0);
    syncing_ = false;
    syncScrollBars();
    viewport()->update();
}

void LargeTextView::closeFile() {
    poll_->stop();
    indexer_.reset(); // stops the worker
    index_.reset();
    blocks_.reset();
    shown_.clear();
    shownValid_ = false;
}

bool LargeTextView::isIndexing() const {
    return blocks_ && poll_->isActive();
}

void LargeTextView::finishIndexing() {
    if (indexer_) indexer_->wait();
    if (isIndexing()) pollIndex();
}

qint64 LargeTextView::lineCount() const {
    if (!index_) return 0;
    const qint64 count = index_->count();
    // Lines found before the file was cut short go with the bytes they stood
    // in, once a read has met the new end.
    if (blocks_->end() >= blocks_->file()->size() || blocks_->end() <= first_) return count;
    const qint64 last = index_->lineOf(blocks_->end() - 1);
    return last >= 0 ? last + 1 : count;
}

void LargeTextView::pollIndex() {
    syncScrollBars();
    if (!index_->isComplete()) return;
    poll_->stop();
    emit indexed();
}

qint64 LargeTextView::next(qint64 start) {
    const QByteArray bytes = blocks_->bytes(start, start + NextReach);
    const qint64 end = blocks_->end();
    if (start >= end) return end;
    return nextLineStart({bytes, start, first_, end}, breaks_, start);
}

qint64 LargeTextView::previous(qint64 start) {
    if (start <= first_) return first_;
    const qint64 base = qMax<qint64>(0, start - PreviousReach);
    const QByteArray bytes = blocks_->bytes(base, start + 2 * breaks_.unit);
    return qMax(first_, previousLineStart({bytes, base, first_, blocks_->end()}, breaks_, start));
}

qint64 LargeTextView::walk(qint64 start, qint64 lines) {
    for (; lines < 0 && start > first_; ++lines)
        start = previous(start);
    for (; lines > 0; --lines) {
        const qint64 after = next(start);
        if (after >= blocks_->end()) break;
        start = after;
    }
    return start;
}

qint64 LargeTextView::lastLineStart() {
    // Reading the last byte finds out whether the file has got shorter.
    qint64 end = blocks_->end();
    while (end > first_ && blocks_->bytes(end - 1, end).isEmpty() && blocks_->end() < end)
        end = blocks_->end();
    return end <= first_ ? first_ : previous(end);
}

LargeTextView::Line LargeTextView::lineAt(qint64 start) {
    Line line{start, start, start, start, start, {}, {}, {}};
    const qint64 base = qMax<qint64>(0, start - 2 * breaks_.unit);
    const QByteArray bytes = blocks_->bytes(base, start + NextReach + 4);
    const qint64 end = blocks_->end();
    if (start >= end) return line;
    const TextWindow window{bytes, base, first_, end};
    line.next = nextLineStart(window, breaks_, start);
    line.contentEnd = line.next - breaks_.endBefore(bytes, line.next - base);
    // A piece of a long line starts and ends between characters.
    const bool pieceStart = start > first_ && !breaks_.endBefore(bytes, start - base);
    line.textStart = pieceStart ? base + encoding_.boundaryFrom(bytes, start - base) : start;
    const bool pieceEnd = line.contentEnd == line.next && line.next < end;
    line.textEnd =
        pieceEnd ? base + encoding_.boundaryFrom(bytes, line.contentEnd - base) : line.contentEnd;
    line.textEnd = qMax(line.textStart, qMin(line.textEnd, base + bytes.size()));
    line.raw = bytes.mid(line.textStart - base, line.textEnd - line.textStart);
    line.text = encoding_.decode(line.raw);
    return line;
}

qint64 LargeTextView::offsetOfChar(const Line& line, qsizetype chars) {
    return line.textStart + encoding_.bytesOfChars(line.raw, chars);
}

qsizetype LargeTextView::charOf(const Line& line, qint64 offset) {
    const qint64 at = qBound(line.textStart, offset, line.textEnd);
    return encoding_.decode(QByteArrayView(line.raw).first(at - line.textStart)).size();
}

int LargeTextView::rows() const {
    return qMax(1, (viewport()->height() - Margin) / fontMetrics().lineSpacing());
}

void LargeTextView::setTop(qint64 start) {
    if (start == top_) return;
    top_ = start;
    shownValid_ = false;
    syncScrollBars();
    viewport()->update();
}

void LargeTextView::scrollLines(qint64 lines) {
    qint64 top = walk(top_, lines);
    if (lines > 0) {
        // Not past the last full page.
        const qint64 lastTop = walk(lastLineStart(), -(rows() - 1));
        if (top > lastTop) top = qMax(top_, lastTop);
    }
    setTop(top);
}

void LargeTextView::syncScrollBars() {
    if (!index_) return;
    syncing_ = true;
    // The range grows as the worker finds lines; beyond what it has found
    // so far the view stands at the end of the range.
    const qint64 count = lineCount();
    const qint64 last = index_->isComplete() ? qMax<qint64>(0, count - rows()) : count;
    const qint64 line = index_->lineOf(top_);
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, int(qMin<qint64>(last, INT_MAX)));
    v->setPageStep(rows());
    v->setValue(int(qMin<qint64>(line >= 0 ? line : last, INT_MAX)));
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, qMax(0, int(widest_) + 2 * Margin - viewport()->width()));
    h->setPageStep(viewport()->width());
    h->setSingleStep(fontMetrics().averageCharWidth() * 4);
    syncing_ = false;
}

void LargeTextView::scrollContentsBy(int, int dy) {
    if (syncing_ || !index_) return;
    if (dy != 0) {
        const qint64 line = verticalScrollBar()->value();
        if (line < lineCount()) top_ = index_->start(line);
        shownValid_ = false;
    }
    viewport()->update();
}

void LargeTextView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    syncScrollBars();
}

const std::vector<LargeTextView::Line>& LargeTextView::shown() {
    // Lines once laid out stay while the top line does: a resize adds rows.
    if (!shownValid_) shown_.clear();
    shownValid_ = true;
    while (int(shown_.size()) <= rows() && (shown_.empty() || shown_.back().next < blocks_->end()))
        shown_.push_back(lineAt(shown_.empty() ? top_ : shown_.back().next));
    return shown_;
}

QTextLayout& LargeTextView::laidOut(const Line& line) const {
    if (!line.layout) {
        auto layout = std::make_shared<QTextLayout>(line.text, font());
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        layout->setTextOption(option);
        layout->beginLayout();
        layout->createLine().setLineWidth(1e7);
        layout->endLayout();
        line.layout = layout;
    }
    return *line.layout;
}

QStringList LargeTextView::shownLines() {
    QStringList texts;
    if (!blocks_) return texts;
    for (int row = 0; row < int(shown().size()) && row < rows(); ++row)
        texts << shown_[size_t(row)].text;
    return texts;
}

QString LargeTextView::lineText(qint64 line) {
    return index_ ? lineAt(index_->start(line)).text : QString();
}

void LargeTextView::paintEvent(QPaintEvent*) {
    if (!blocks_) return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const qint64 from = qMin(anchor_, cursor_), to = qMax(anchor_, cursor_);
    QTextCharFormat selected;
    selected.setBackground(palette().brush(QPalette::Highlight));
    selected.setForeground(palette().brush(QPalette::HighlightedText));
    const qreal widest = widest_;
    QPointF at(Margin - horizontalScrollBar()->value(), Margin);
    for (const Line& line : shown()) {
        QTextLayout& layout = laidOut(line);
        widest_ = qMax(widest_, layout.lineAt(0).naturalTextWidth());
        QList<QTextLayout::FormatRange> selections;
        if (from < to && from <= line.textEnd && to > line.textStart) {
            const qsizetype a = charOf(line, from), b = charOf(line, to);
            selections.append({int(a), int(b - a), selected});
        }
        layout.draw(&painter, at, selections);
        if (hasFocus() && line.start == cursorLine_)
            layout.drawCursor(&painter, at, int(charOf(line, cursor_)));
        at.ry() += fontMetrics().lineSpacing();
    }
    if (widest_ != widest) syncScrollBars();
}
