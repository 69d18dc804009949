// Selection, cursor keys, the mouse and the clipboard of the large-text view.
#include "controls/LargeTextView.h"

#include "controls/MessageBox.h"
#include "controls/TextFileBlocks.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextLayout>

namespace {
constexpr int WheelLines = 3;
} // namespace

void LargeTextView::moveCursor(qint64 offset, qint64 lineStart, bool extend) {
    cursor_ = offset;
    cursorLine_ = lineStart;
    if (!extend) anchor_ = offset;
    column_ = -1;
    ensureCursorVisible();
    viewport()->update();
}

void LargeTextView::ensureCursorVisible() {
    if (cursorLine_ < top_) {
        setTop(cursorLine_);
    } else {
        qint64 start = top_;
        for (int row = 1; row < rows() && start < cursorLine_; ++row) {
            const qint64 after = next(start);
            if (after >= blocks_->end()) break;
            start = after;
        }
        if (start < cursorLine_) setTop(walk(cursorLine_, -(rows() - 1)));
    }
    // Sideways: the cursor's column in view.
    const Line line = lineAt(cursorLine_);
    const QTextLine laid = laidOut(line).lineAt(0);
    const qreal x = laid.cursorToX(int(charOf(line, cursor_)));
    QScrollBar* h = horizontalScrollBar();
    const int width = viewport()->width() - 2 * Margin;
    if (x < h->value() || x > h->value() + width) {
        widest_ = qMax(widest_, laid.naturalTextWidth());
        syncScrollBars();
        h->setValue(int(x) - width / 2);
    }
}

bool LargeTextView::hitTest(QPoint at, qint64& offset, qint64& lineStart) {
    const std::vector<Line>& lines = shown();
    if (lines.empty()) return false;
    const int row = qMax(0, (at.y() - Margin) / fontMetrics().lineSpacing());
    if (row >= int(lines.size())) {
        offset = lines.back().textEnd;
        lineStart = lines.back().start;
        return true;
    }
    const Line& line = lines[size_t(row)];
    const int chars =
        laidOut(line).lineAt(0).xToCursor(at.x() - Margin + horizontalScrollBar()->value());
    offset = offsetOfChar(line, chars);
    lineStart = line.start;
    return true;
}

void LargeTextView::mousePressEvent(QMouseEvent* event) {
    qint64 offset = 0, lineStart = 0;
    if (!blocks_ || event->button() != Qt::LeftButton) return;
    if (hitTest(event->position().toPoint(), offset, lineStart))
        moveCursor(offset, lineStart, event->modifiers() & Qt::ShiftModifier);
}

void LargeTextView::mouseMoveEvent(QMouseEvent* event) {
    if (!blocks_ || !(event->buttons() & Qt::LeftButton)) return;
    QPoint at = event->position().toPoint();
    // Dragging past an edge scrolls.
    if (at.y() < 0) scrollLines(-1);
    if (at.y() > viewport()->height()) scrollLines(1);
    at.setY(qBound(0, at.y(), viewport()->height() - 1));
    qint64 offset = 0, lineStart = 0;
    if (hitTest(at, offset, lineStart)) moveCursor(offset, lineStart, true);
}

void LargeTextView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept(); // the selection is made by then
}

void LargeTextView::wheelEvent(QWheelEvent* event) {
    if (!blocks_) return;
    const QPoint steps = event->angleDelta() / 120;
    if (steps.y() != 0) scrollLines(-qint64(steps.y()) * WheelLines);
    if (steps.x() != 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() -
                                        steps.x() * horizontalScrollBar()->singleStep());
    event->accept();
}

void LargeTextView::keyPressEvent(QKeyEvent* event) {
    if (!blocks_) return QAbstractScrollArea::keyPressEvent(event);
    if (event == QKeySequence::SelectAll) return selectAll();
    if (event == QKeySequence::Copy) return copy();
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const bool whole = event->modifiers() & Qt::ControlModifier;
    const Line line = lineAt(cursorLine_);
    const auto toLine = [&](qint64 start) {
        // Up and down keep the column where the move began.
        const qsizetype column = column_ >= 0 ? column_ : charOf(line, cursor_);
        moveCursor(offsetOfChar(lineAt(start), column), start, extend);
        column_ = column;
    };
    switch (event->key()) {
    case Qt::Key_Up:
        return toLine(previous(cursorLine_));
    case Qt::Key_Down:
        return toLine(walk(cursorLine_, 1));
    case Qt::Key_PageUp:
        scrollLines(-(rows() - 1));
        return toLine(walk(cursorLine_, -(rows() - 1)));
    case Qt::Key_PageDown:
        scrollLines(rows() - 1);
        return toLine(walk(cursorLine_, rows() - 1));
    case Qt::Key_Home:
        if (whole) return moveCursor(first_, first_, extend);
        return moveCursor(line.textStart, line.start, extend);
    case Qt::Key_End:
        if (whole) {
            const qint64 last = lastLineStart();
            return moveCursor(lineAt(last).textEnd, last, extend);
        }
        return moveCursor(line.textEnd, line.start, extend);
    case Qt::Key_Left:
        if (cursor_ > line.textStart)
            return moveCursor(offsetOfChar(line, charOf(line, cursor_) - 1), line.start, extend);
        if (line.start > first_) {
            const qint64 before = previous(line.start);
            return moveCursor(lineAt(before).textEnd, before, extend);
        }
        return;
    case Qt::Key_Right:
        if (cursor_ < line.textEnd)
            return moveCursor(offsetOfChar(line, charOf(line, cursor_) + 1), line.start, extend);
        if (line.next < blocks_->end())
            return moveCursor(lineAt(line.next).textStart, line.next, extend);
        return;
    default:
        return QAbstractScrollArea::keyPressEvent(event);
    }
}

QMenu* LargeTextView::createContextMenu() {
    auto* menu = new QMenu(this);
    QAction* copying = menu->addAction(tr("&Copy"), QKeySequence::Copy, this, &LargeTextView::copy);
    copying->setEnabled(blocks_ && anchor_ != cursor_);
    menu->addSeparator();
    menu->addAction(tr("Select All"), QKeySequence::SelectAll, this, &LargeTextView::selectAll)
        ->setEnabled(bool(blocks_));
    return menu;
}

void LargeTextView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void LargeTextView::selectAll() {
    if (!blocks_) return;
    anchor_ = first_;
    cursor_ = blocks_->end();
    cursorLine_ = lastLineStart();
    viewport()->update();
}

QString LargeTextView::selectedText() {
    if (!blocks_) return {};
    const qint64 from = qMin(anchor_, cursor_), to = qMax(anchor_, cursor_);
    if (to - from > MaxCopyBytes) return {};
    QByteArray bytes(to - from, Qt::Uninitialized);
    bytes.truncate(blocks_->file()->read(bytes.data(), bytes.size(), from));
    return encoding_.decode(bytes);
}

void LargeTextView::copy() {
    if (!blocks_ || anchor_ == cursor_) return;
    if (qAbs(cursor_ - anchor_) > MaxCopyBytes) {
        MsgBox(tr("The selection is too large to copy. Select at most %1 MB.")
                   .arg(MaxCopyBytes / (1024 * 1024)),
               Mb::Exclamation, tr("Error.."));
        return;
    }
    QGuiApplication::clipboard()->setText(selectedText());
}
