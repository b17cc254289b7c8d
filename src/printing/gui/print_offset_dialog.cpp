#include "printing/gui/print_offset_dialog.h"

#include "common/rounding.h"
#include "printing/calibration_sheet.h"
#include "printing/gui/painter_page_sink.h"
#include "ui/message_box.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdlib>

namespace tw::printing {

namespace {
QDoubleSpinBox* offsetSpin(QWidget* parent, const char* name) {
    auto* spin = new QDoubleSpinBox(parent);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setDecimals(1);
    spin->setSingleStep(0.1);
    spin->setRange(-kMaxOffsetTenthsMm / 10.0, kMaxOffsetTenthsMm / 10.0);
    spin->setSuffix(QStringLiteral(" mm"));
    spin->setAlignment(Qt::AlignRight);
    spin->setMinimumWidth(110);
    return spin;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setMinimumHeight(32);
    return b;
}

int tenthsOf(double mm) {
    return static_cast<int>(common::roundHalfEven(mm * 10.0));
}
} // namespace

QString offsetText(int tenths, bool across) {
    const QString mm = QString::number(std::abs(tenths) / 10.0, 'f', 1);
    if (tenths == 0)
        return QStringLiteral("%1 mm").arg(mm);
    const QString way = across ? (tenths > 0 ? QStringLiteral("右へ") : QStringLiteral("左へ"))
                               : (tenths > 0 ? QStringLiteral("下へ") : QStringLiteral("上へ"));
    return QStringLiteral("%1 %2 mm").arg(way, mm);
}

PrintOffsetDialog::PrintOffsetDialog(QPrinter& printer, const QString& printerCaption, common::Game game,
                                     PrinterOffsets& offsets, QWidget* parent)
    : QDialog(parent), m_printer(printer), m_key(offsetKeyOf(printer)), m_game(game), m_offsets(offsets),
      m_offset(offsets.offsetOf(m_key)) {
    setObjectName(QStringLiteral("dlgPrintOffset"));
    setWindowTitle(QStringLiteral("印刷位置の調整"));

    auto* layout = new QVBoxLayout(this);
    auto* facts = new QGridLayout;
    facts->addWidget(new QLabel(QStringLiteral("プリンタ"), this), 0, 0);
    lblOffsetPrinter = new QLabel(printerCaption, this);
    lblOffsetPrinter->setObjectName(QStringLiteral("lblOffsetPrinter"));
    lblOffsetPrinter->setFrameShape(QFrame::StyledPanel);
    lblOffsetPrinter->setMinimumWidth(260);
    facts->addWidget(lblOffsetPrinter, 0, 1);
    facts->addWidget(new QLabel(QStringLiteral("現在の補正"), this), 1, 0);
    lblOffsetNow = new QLabel(this);
    lblOffsetNow->setObjectName(QStringLiteral("lblOffsetNow"));
    facts->addWidget(lblOffsetNow, 1, 1);
    layout->addLayout(facts);

    auto* howTo = new QLabel(QStringLiteral("1. 「テスト用紙印刷」でマークシートに十字と目盛りを印刷します。\n"
                                            "2. 十字の中心から、その下のマーク枠の中心までのずれを測ります"
                                            "（右・下が＋、左・上が－）。\n"
                                            "3. 測ったずれを下の補正値に足してください。補正はすぐに反映され、"
                                            "このプリンタ用に保存されます。"),
                             this);
    howTo->setObjectName(QStringLiteral("lblOffsetHowTo"));
    howTo->setWordWrap(true);
    layout->addWidget(howTo);

    auto* spins = new QGridLayout;
    spnOffsetX = offsetSpin(this, "spnOffsetX");
    spnOffsetY = offsetSpin(this, "spnOffsetY");
    spins->addWidget(new QLabel(QStringLiteral("横方向の補正（右へ＋）"), this), 0, 0);
    spins->addWidget(spnOffsetX, 0, 1);
    spins->addWidget(new QLabel(QStringLiteral("縦方向の補正（下へ＋）"), this), 1, 0);
    spins->addWidget(spnOffsetY, 1, 1);
    spins->addWidget(new QLabel(QStringLiteral("（0.1 mm 単位、±15.0 mm まで）"), this), 2, 0, 1, 2);
    layout->addLayout(spins);

    auto* buttons = new QHBoxLayout;
    cmdTestPrint = button(this, "cmdTestPrint", QStringLiteral("テスト用紙印刷"));
    cmdOffsetReset = button(this, "cmdOffsetReset", QStringLiteral("補正なしに戻す"));
    cmdOffsetClose = button(this, "cmdOffsetClose", QStringLiteral("閉じる"));
    buttons->addWidget(cmdTestPrint);
    buttons->addWidget(cmdOffsetReset);
    buttons->addStretch();
    buttons->addWidget(cmdOffsetClose);
    layout->addLayout(buttons);

    spnOffsetX->setValue(m_offset.x / 10.0);
    spnOffsetY->setValue(m_offset.y / 10.0);
    showOffset();

    connect(spnOffsetX, &QDoubleSpinBox::valueChanged, this, &PrintOffsetDialog::spinChanged);
    connect(spnOffsetY, &QDoubleSpinBox::valueChanged, this, &PrintOffsetDialog::spinChanged);
    connect(cmdTestPrint, &QPushButton::clicked, this, &PrintOffsetDialog::cmdTestPrint_Click);
    connect(cmdOffsetReset, &QPushButton::clicked, this, &PrintOffsetDialog::cmdOffsetReset_Click);
    connect(cmdOffsetClose, &QPushButton::clicked, this, &QDialog::accept);
}

void PrintOffsetDialog::spinChanged() {
    const OffsetTenths offset{tenthsOf(spnOffsetX->value()), tenthsOf(spnOffsetY->value())};
    if (offset == m_offset)
        return;
    m_offset = offset;
    m_offsets.setOffset(m_key, m_offset);
    showOffset();
    Q_EMIT offsetChanged(m_offset);
}

void PrintOffsetDialog::showOffset() {
    const SheetOffset twips = sheetOffsetOf(m_offset);
    lblOffsetNow->setText(QStringLiteral("横 %1・縦 %2（%3, %4 twip）")
                              .arg(offsetText(m_offset.x, true), offsetText(m_offset.y, false))
                              .arg(twips.x)
                              .arg(twips.y));
}

void PrintOffsetDialog::cmdOffsetReset_Click() {
    spnOffsetX->setValue(0);
    spnOffsetY->setValue(0);
}

void PrintOffsetDialog::cmdTestPrint_Click() {
    const SheetOffset offset = sheetOffsetOf(m_offset);
    if (m_output) {
        printCalibrationSheet(*m_output, m_game, offset);
        return;
    }
    PainterPageSink sink(m_printer);
    printCalibrationSheet(sink, m_game, offset);
    if (sink.failed())
        ui::showMessage(this, QStringLiteral("プリンタに出力できませんでした。\r現在のプリンタを確認してください。"),
                        ui::Buttons::Ok, QStringLiteral("【印刷エラー】"));
}

} // namespace tw::printing
