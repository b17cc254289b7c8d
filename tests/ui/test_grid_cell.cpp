// Grid cell routines: colours in blue-green-red order, "leave unchanged" for a
// negative colour, the current cell, the selection left alone, and the key text
// of the selected row.
#include "ui/grid_cell.h"

#include <QTableWidget>
#include <QTest>

using tw::ui::colourFromBgr;
using tw::ui::GetSelRowText;
using tw::ui::SelectGridCell;
using tw::ui::SetGridCell;

namespace {
constexpr int32_t kRed = 0x0000FF;
constexpr int32_t kBlue = 0xFF0000;
constexpr int32_t kYellow = 0x00FFFF;
constexpr int32_t kKeep = -1;
const QColor kOldFore(10, 20, 30);
const QColor kOldBack(200, 210, 220);
} // namespace

class TestGridCell : public QObject {
    Q_OBJECT

private:
    // A 4 x 3 grid whose cell (2, 1) already has text and colours.
    std::unique_ptr<QTableWidget> grid;

private Q_SLOTS:
    void init() {
        grid = std::make_unique<QTableWidget>(4, 3);
        auto* old = new QTableWidgetItem(QStringLiteral("old"));
        old->setForeground(kOldFore);
        old->setBackground(kOldBack);
        grid->setItem(1, 2, old);
    }

    void coloursAreBlueGreenRed_data() {
        QTest::addColumn<int>("bgr");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("red") << kRed << QColor(255, 0, 0);
        QTest::newRow("blue") << kBlue << QColor(0, 0, 255);
        QTest::newRow("yellow") << kYellow << QColor(255, 255, 0);
        QTest::newRow("magenta") << 0xFF00FF << QColor(255, 0, 255);
        QTest::newRow("green 0x00C000") << 0x00C000 << QColor(0, 192, 0);
        QTest::newRow("mixed") << 0x123456 << QColor(0x56, 0x34, 0x12);
        QTest::newRow("black") << 0 << QColor(0, 0, 0);
    }
    void coloursAreBlueGreenRed() {
        QFETCH(int, bgr);
        QFETCH(QColor, colour);
        QCOMPARE(colourFromBgr(bgr), colour);
    }

    void setGridCellChangesOnlyTheColoursGiven_data() {
        QTest::addColumn<int>("fore");
        QTest::addColumn<int>("back");
        QTest::addColumn<QColor>("expectedFore");
        QTest::addColumn<QColor>("expectedBack");
        QTest::newRow("both -1: text only") << kKeep << kKeep << kOldFore << kOldBack;
        QTest::newRow("text colour only") << kRed << kKeep << QColor(255, 0, 0) << kOldBack;
        QTest::newRow("background only") << kKeep << kYellow << kOldFore << QColor(255, 255, 0);
        QTest::newRow("both") << kBlue << kYellow << QColor(0, 0, 255) << QColor(255, 255, 0);
        QTest::newRow("any negative value keeps") << -5 << INT32_MIN << kOldFore << kOldBack;
    }
    void setGridCellChangesOnlyTheColoursGiven() {
        QFETCH(int, fore);
        QFETCH(int, back);
        QFETCH(QColor, expectedFore);
        QFETCH(QColor, expectedBack);
        QTableWidgetItem* const before = grid->item(1, 2);
        SetGridCell(grid.get(), 2, 1, fore, back, QStringLiteral("123"));
        QCOMPARE(grid->item(1, 2), before); // the cell keeps its item
        QCOMPARE(grid->item(1, 2)->text(), QStringLiteral("123"));
        QCOMPARE(grid->item(1, 2)->foreground().color(), expectedFore);
        QCOMPARE(grid->item(1, 2)->background().color(), expectedBack);
        QCOMPARE(grid->currentRow(), 1);
        QCOMPARE(grid->currentColumn(), 2);
    }

    void setGridCellFillsAnEmptyCell() {
        SetGridCell(grid.get(), 0, 3, kKeep, kKeep, QStringLiteral("4"));
        QVERIFY(grid->item(3, 0));
        QCOMPARE(grid->item(3, 0)->text(), QStringLiteral("4"));
        QCOMPARE(grid->item(3, 0)->background().style(), Qt::NoBrush);
        QCOMPARE(grid->item(3, 0)->foreground().style(), Qt::NoBrush);
        SetGridCell(grid.get(), 1, 0, kRed, kYellow, QStringLiteral("*07"));
        QCOMPARE(grid->item(0, 1)->foreground().color(), QColor(255, 0, 0));
        QCOMPARE(grid->item(0, 1)->background().color(), QColor(255, 255, 0));
    }

    void selectGridCellLeavesTheText() {
        SelectGridCell(grid.get(), 2, 1, kBlue, kKeep);
        QCOMPARE(grid->item(1, 2)->text(), QStringLiteral("old"));
        QCOMPARE(grid->item(1, 2)->foreground().color(), QColor(0, 0, 255));
        QCOMPARE(grid->item(1, 2)->background().color(), kOldBack);
        SelectGridCell(grid.get(), 0, 2, kKeep, kYellow);
        QCOMPARE(grid->item(2, 0)->text(), QString());
        QCOMPARE(grid->item(2, 0)->background().color(), QColor(255, 255, 0));
        QCOMPARE(grid->currentRow(), 2);
        QCOMPARE(grid->currentColumn(), 0);
    }

    // Writing cells must not move what the user selected.
    void writingKeepsTheSelection() {
        grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        grid->selectRow(2);
        SetGridCell(grid.get(), 1, 0, kRed, kYellow, QStringLiteral("x"));
        SelectGridCell(grid.get(), 1, 3, kRed, kYellow);
        const QList<QTableWidgetSelectionRange> ranges = grid->selectedRanges();
        QCOMPARE(ranges.size(), 1);
        QCOMPARE(ranges.first().topRow(), 2);
        QCOMPARE(ranges.first().bottomRow(), 2);
    }

    void cellsOutsideTheGridAreLeftAlone_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::newRow("row past the end") << 0 << 4;
        QTest::newRow("column past the end") << 3 << 0;
        QTest::newRow("negative row") << 0 << -1;
    }
    void cellsOutsideTheGridAreLeftAlone() {
        QFETCH(int, column);
        QFETCH(int, row);
        grid->setCurrentCell(1, 2);
        SetGridCell(grid.get(), static_cast<int16_t>(column), static_cast<int16_t>(row), kRed, kYellow,
                    QStringLiteral("x"));
        SelectGridCell(grid.get(), static_cast<int16_t>(column), static_cast<int16_t>(row), kRed, kYellow);
        QCOMPARE(grid->rowCount(), 4);
        QCOMPARE(grid->columnCount(), 3);
        QCOMPARE(grid->currentRow(), 1);
        QCOMPARE(grid->currentColumn(), 2);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 3; ++c)
                QCOMPARE(grid->item(r, c) != nullptr, r == 1 && c == 2);
    }

    void getSelRowTextReadsColumnZeroOfTheSelectedRow() {
        for (int r = 0; r < 4; ++r)
            grid->setItem(r, 0, new QTableWidgetItem(QString::number(100 + r)));
        grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        grid->setCurrentCell(2, 2); // a click on column 2 of row 2
        QCOMPARE(GetSelRowText(grid.get()), QStringLiteral("102"));
        QCOMPARE(grid->currentColumn(), 0);
        QCOMPARE(grid->currentRow(), 2);
        QCOMPARE(grid->selectedRanges().first().topRow(), 2);

        // A selection the current cell is not in: the selected row counts.
        grid->setCurrentCell(0, 1, QItemSelectionModel::NoUpdate);
        grid->clearSelection();
        grid->selectionModel()->select(grid->model()->index(3, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QCOMPARE(GetSelRowText(grid.get()), QStringLiteral("103"));
        QCOMPARE(grid->currentRow(), 3);
    }

    void getSelRowTextWithoutARowIsEmpty() {
        QTableWidget empty(0, 2);
        QCOMPARE(GetSelRowText(&empty), QString());
        QCOMPARE(GetSelRowText(grid.get()), QString()); // nothing current, nothing selected
        grid->setCurrentCell(3, 1);
        QCOMPARE(GetSelRowText(grid.get()), QString()); // row 3 has no key text
    }
};

QTEST_MAIN(TestGridCell)
#include "test_grid_cell.moc"
