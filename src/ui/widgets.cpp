#include "ui/widgets.h"

#include "ui/grid_cell.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace tw::ui {

QPushButton* namedButton(QWidget* parent, const QString& name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

QLabel* namedLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* label = new QLabel(text, parent);
    if (!name.isEmpty())
        label->setObjectName(name);
    return label;
}

QLabel* valueLabel(QWidget* parent, const QString& name, int minWidth) {
    QLabel* label = namedLabel(parent, name);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(minWidth);
    return label;
}

QTableWidget* readOnlyGrid(QWidget* parent, const QString& name, int rowHeight) {
    auto* grid = new QTableWidget(parent);
    grid->setObjectName(name);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->verticalHeader()->setDefaultSectionSize(rowHeight);
    return grid;
}

QColor gameColour(common::Game game) {
    return colourFromBgr(static_cast<int32_t>(common::gameColourBgr(game)));
}

} // namespace tw::ui
