// Cell routines shared by every window that shows a grid: write a cell's text
// and colours, colour a cell, and read the key text (column 0) of the selected
// row. Colours are 24-bit values in blue-green-red byte order (0x0000FF red,
// 0xFF0000 blue, 0x00FFFF yellow), the order the windows' colour constants are
// written in; a negative colour leaves that colour of the cell as it is.
//
// Making a cell current does not change the grid's selection, so a window that
// writes its cells never moves what the user selected. Knows nothing of what
// the grids mean.
#pragma once

#include <QColor>
#include <QString>

#include <cstdint>

class QTableWidget;

namespace tw::ui {

// 0xBBGGRR -> QColor; the value must not be negative.
QColor colourFromBgr(int32_t bgr);

// Makes (column, row) the current cell, sets its text colour and background when
// they are not negative, then its text. A cell without an item gets one; a cell
// outside the grid is left alone.
void SetGridCell(QTableWidget* grid, int16_t column, int16_t row, int32_t foreColour, int32_t backColour,
                 const QString& text);

// The same without touching the text.
void SelectGridCell(QTableWidget* grid, int16_t column, int16_t row, int32_t foreColour, int32_t backColour);

// Text of column 0 in the row of the grid's current selection (empty when no row
// is selected or the cell is empty); column 0 of that row becomes current.
QString GetSelRowText(QTableWidget* grid);

} // namespace tw::ui
