#include "formats/rtf/RtfTableBuilder.h"

#include "formats/rtf/RtfFormats.h"

#include <QTextTable>

namespace {
// Bounds that keep a hostile table small; further cells share the last one.
constexpr int MaxColumns = 64;
constexpr qsizetype MaxCells = 100000;
// A change to a table lays all its cells out again, so a longer table goes on
// as a new table with the same columns.
constexpr qsizetype MaxCellsPerTable = 256;
} // namespace

void RtfTableBuilder::rowEnded() {
    nextRow_ = table_ != nullptr;
    nextCell_ = false;
}

bool RtfTableBuilder::partOpen() const {
    return table_ && !(nextRow_ && qsizetype(row_ + 2) * table_->columns() > MaxCellsPerTable);
}

void RtfTableBuilder::cellRight(int twips) {
    if (cellRights_.size() < MaxColumns) cellRights_.append(twips);
}

void RtfTableBuilder::close(QTextCursor& cursor) {
    if (table_ && table_->rows() > row_ + 1)
        table_->removeRows(row_ + 1, table_->rows() - row_ - 1);
    if (table_) cursor.movePosition(QTextCursor::End);
    table_ = nullptr;
    nextCell_ = nextRow_ = false;
}

void RtfTableBuilder::place(QTextCursor& cursor, bool inTable) {
    if (!inTable) return close(cursor);
    if (!table_) return start(cursor);
    if (!nextCell_ && !nextRow_) return;
    if (nextRow_ && cells_ + table_->columns() <= MaxCells &&
        qsizetype(row_ + 2) * table_->columns() > MaxCellsPerTable) {
        close(cursor);
        return start(cursor);
    }
    if (nextRow_ && cells_ + table_->columns() <= MaxCells) {
        // Every change to a table's rows costs a pass over all its cells, so
        // rows come in growing batches, never beyond the part's last row, and
        // the spare ones go when it ends.
        const int lastRows = qMax(1, int(MaxCellsPerTable) / table_->columns());
        if (row_ + 1 >= table_->rows())
            table_->appendRows(
                qBound(1, qMin(table_->rows(), lastRows - table_->rows()), lastRows));
        cells_ += table_->columns();
        ++row_;
        column_ = 0;
        widen(int(cellRights_.size()));
    } else if (nextCell_) {
        widen(column_ + 2);
        column_ = qMin(column_ + 1, table_->columns() - 1);
    }
    nextCell_ = nextRow_ = false;
    cursor = table_->cellAt(row_, column_).lastCursorPosition();
}

void RtfTableBuilder::start(QTextCursor& cursor) {
    // An empty paragraph left by the previous \par would stand before the table.
    const QTextBlock previous = cursor.block().previous();
    if (cursor.block().length() == 1 && previous.isValid() && !previous.text().isEmpty() &&
        !QTextCursor(previous).currentTable())
        cursor.deletePreviousChar();
    const int columns = qBound(1, int(cellRights_.size()), MaxColumns);
    QTextTableFormat format;
    format.setBorder(1);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(3);
    if (cellRights_.size() == columns) {
        QList<QTextLength> widths;
        int left = 0;
        for (int right : cellRights_) {
            widths.append(
                QTextLength(QTextLength::FixedLength, qMax(1.0, rtfTwipsToPixels(right - left))));
            left = right;
        }
        format.setColumnWidthConstraints(widths);
    }
    table_ = cursor.insertTable(1, columns, format);
    cells_ += columns;
    row_ = column_ = 0;
    nextCell_ = nextRow_ = false;
}

void RtfTableBuilder::widen(int columns) {
    columns = qMin(columns, MaxColumns);
    const int missing = columns - table_->columns();
    if (missing <= 0 || cells_ + qsizetype(missing) * (row_ + 1) > MaxCells) return;
    QTextTableFormat format = table_->format();
    format.clearColumnWidthConstraints();
    table_->setFormat(format);
    table_->appendColumns(missing);
    cells_ += qsizetype(missing) * (row_ + 1);
}
