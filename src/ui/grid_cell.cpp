#include "ui/grid_cell.h"

#include <QItemSelectionModel>
#include <QTableWidget>

namespace tw::ui {

namespace {

// The item of the cell made current, created when the cell has none; null for a
// cell outside the grid, which is left alone.
QTableWidgetItem* currentItem(QTableWidget* grid, int column, int row) {
    if (row < 0 || row >= grid->rowCount() || column < 0 || column >= grid->columnCount())
        return nullptr;
    grid->setCurrentCell(row, column, QItemSelectionModel::NoUpdate);
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        grid->setItem(row, column, item);
    }
    return item;
}

void colourCell(QTableWidgetItem* item, int32_t foreColour, int32_t backColour) {
    if (!item)
        return;
    if (foreColour >= 0)
        item->setForeground(colourFromBgr(foreColour));
    if (backColour >= 0)
        item->setBackground(colourFromBgr(backColour));
}

// The row the user's selection stands on: the current row when it is selected,
// otherwise the first selected row; without a selection the current row.
int selectedRow(const QTableWidget* grid) {
    const int current = grid->currentRow();
    const QList<QTableWidgetSelectionRange> ranges = grid->selectedRanges();
    if (ranges.isEmpty())
        return current;
    for (const QTableWidgetSelectionRange& range : ranges)
        if (current >= range.topRow() && current <= range.bottomRow())
            return current;
    return ranges.first().topRow();
}

} // namespace

QColor colourFromBgr(int32_t bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

void SetGridCell(QTableWidget* grid, int16_t column, int16_t row, int32_t foreColour, int32_t backColour,
                 const QString& text) {
    QTableWidgetItem* item = currentItem(grid, column, row);
    colourCell(item, foreColour, backColour);
    if (item)
        item->setText(text);
}

void SelectGridCell(QTableWidget* grid, int16_t column, int16_t row, int32_t foreColour, int32_t backColour) {
    colourCell(currentItem(grid, column, row), foreColour, backColour);
}

QString GetSelRowText(QTableWidget* grid) {
    const int row = selectedRow(grid);
    if (row < 0 || row >= grid->rowCount() || grid->columnCount() < 1)
        return {};
    grid->setCurrentCell(row, 0, QItemSelectionModel::NoUpdate);
    const QTableWidgetItem* item = grid->item(row, 0);
    return item ? item->text() : QString();
}

} // namespace tw::ui
