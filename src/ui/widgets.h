// Factories of the controls the windows build over and over: buttons and
// labels that carry their object name (tests and layouts find them by it), the
// sunken value label of a count or an amount, the read-only grid without
// headers, and the colour a game is shown in. Windows add their own sizes and
// behaviour on top; these set only what every use shares.
#pragma once

#include "common/lottery.h"

#include <QColor>
#include <QString>

class QLabel;
class QPushButton;
class QTableWidget;
class QWidget;

namespace tw::ui {

QPushButton* namedButton(QWidget* parent, const QString& name, const QString& text);

// A label with the given text; it gets the object name unless the name is empty.
QLabel* namedLabel(QWidget* parent, const QString& name, const QString& text = {});

// An empty, sunken, right-aligned label at least minWidth wide, for a count or an amount.
QLabel* valueLabel(QWidget* parent, const QString& name, int minWidth = 90);

// A grid without headers that the user cannot edit and in which one cell is
// selected at a time; rows are rowHeight pixels high.
QTableWidget* readOnlyGrid(QWidget* parent, const QString& name, int rowHeight);

// The game's banner colour (magenta for NUMBERS3, green for NUMBERS4).
QColor gameColour(common::Game game);

} // namespace tw::ui
