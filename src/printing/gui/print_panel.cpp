#include "printing/gui/print_panel.h"

#include "common/number_format.h"
#include "ledger/print_record.h"
#include "printing/gui/print_job_dialog.h"
#include "ui/message_box.h"
#include "ui/widgets.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <span>

namespace tw::printing {

namespace {
constexpr const char* kPickedPattern = "#,##0";  // after pick-all / pick-none: zero shows "0"
constexpr const char* kClickedPattern = "#,###"; // after clicks: zero shows nothing

// A title picture over a list: a coloured plate with the list's name.
QLabel* titlePicture(QWidget* parent, int index, const QString& text, const QString& colour) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("imgGrp_%1").arg(index));
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumHeight(28);
    label->setStyleSheet(
        QStringLiteral("QLabel { background: %1; color: white; font-weight: bold; border-radius: 6px; }").arg(colour));
    return label;
}

void showOverflow(QWidget* parent) {
    ui::showMessage(parent, QStringLiteral("オーバーフローしました。"), ui::Buttons::Ok, QStringLiteral("Tallowind"));
}
} // namespace

PrintPanel::PrintPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("framPrint"));
    setFrameShape(QFrame::StyledPanel);
    buildControls();
}

PrintPanel::~PrintPanel() = default;

void PrintPanel::buildControls() {
    auto* layout = new QHBoxLayout(this);
    for (int i = 0; i < 3; ++i)
        layout->addWidget(buildListColumn(i, this), 1);

    // The user's list sits in a frame of its own, shown only when there is a selection.
    framPrtUser = new QFrame(this);
    framPrtUser->setObjectName(QStringLiteral("framPrtUser"));
    auto* userLayout = new QVBoxLayout(framPrtUser);
    userLayout->setContentsMargins(0, 0, 0, 0);
    userLayout->addWidget(buildListColumn(3, framPrtUser));
    layout->addWidget(framPrtUser, 1);

    auto* side = new QVBoxLayout;
    framPrtOption = new QGroupBox(QStringLiteral("印刷種別選択"), this);
    framPrtOption->setObjectName(QStringLiteral("framPrtOption"));
    auto* options = new QVBoxLayout(framPrtOption);
    const std::array<QString, 4> captions = {QStringLiteral("ストレート"), QStringLiteral("ボックス"),
                                             QStringLiteral("セット"), QStringLiteral("ミニ")};
    for (int i = 0; i < 4; ++i) {
        auto* option = new QRadioButton(captions[static_cast<std::size_t>(i)], framPrtOption);
        option->setObjectName(QStringLiteral("optPrtType_%1").arg(i));
        options->addWidget(option);
        optPrtType[static_cast<std::size_t>(i)] = option;
    }
    optPrtType[0]->setChecked(true);
    side->addWidget(framPrtOption);

    auto* budget = new QHBoxLayout;
    budget->addWidget(new QLabel(QStringLiteral("予算"), this));
    lblPrtCredit = new QLabel(this);
    lblPrtCredit->setObjectName(QStringLiteral("lblPrtCredit"));
    lblPrtCredit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblPrtCredit->setFrameShape(QFrame::StyledPanel);
    lblPrtCredit->setMinimumWidth(90);
    budget->addWidget(lblPrtCredit, 1);
    side->addLayout(budget);
    side->addStretch();

    cmdPrtSrart = ui::namedButton(this, QStringLiteral("cmdPrtSrart"), QStringLiteral("印刷開始"));
    cmdPrtSrart->setMinimumHeight(40);
    side->addWidget(cmdPrtSrart);
    layout->addLayout(side);

    connect(cmdPrtSrart, &QPushButton::clicked, this, &PrintPanel::cmdPrtSrart_Click);
    showCredit();
}

QWidget* PrintPanel::buildListColumn(int index, QWidget* parent) {
    auto* column = new QWidget(parent);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(2, 2, 2, 2);

    // Group3 (Numbers4) and the Mini candidates (Numbers3) share the place over list 2.
    auto* titles = new QGridLayout;
    switch (index) {
    case 0:
        imgGrp[0] = titlePicture(column, 0, QStringLiteral("予測 Group1"), QStringLiteral("#c0392b"));
        titles->addWidget(imgGrp[0], 0, 0);
        break;
    case 1:
        imgGrp[1] = titlePicture(column, 1, QStringLiteral("予測 Group2"), QStringLiteral("#d35400"));
        titles->addWidget(imgGrp[1], 0, 0);
        break;
    case 2:
        imgGrp[2] = titlePicture(column, 2, QStringLiteral("予測 Group3"), QStringLiteral("#27ae60"));
        imgGrp[5] = titlePicture(column, 5, QStringLiteral("予測 ミニ"), QStringLiteral("#8e44ad"));
        titles->addWidget(imgGrp[2], 0, 0);
        titles->addWidget(imgGrp[5], 0, 0);
        break;
    default:
        imgGrp[3] = titlePicture(column, 3, QStringLiteral("ユーザー選出"), QStringLiteral("#2471a3"));
        titles->addWidget(imgGrp[3], 0, 0);
        break;
    }
    layout->addLayout(titles);

    const auto n = static_cast<std::size_t>(index);
    auto* list = new QListWidget(column);
    list->setObjectName(QStringLiteral("lstPrtGroup_%1").arg(index));
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    list->setMinimumWidth(90);
    layout->addWidget(list, 1);
    lstPrtGroup[n] = list;

    auto* count = new QHBoxLayout;
    count->addWidget(new QLabel(QStringLiteral("選択数"), column));
    lblPrtSelectCnt[n] = new QLabel(QStringLiteral("0"), column);
    lblPrtSelectCnt[n]->setObjectName(QStringLiteral("lblPrtSelectCnt_%1").arg(index));
    lblPrtSelectCnt[n]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblPrtSelectCnt[n]->setFrameShape(QFrame::StyledPanel);
    count->addWidget(lblPrtSelectCnt[n], 1);
    layout->addLayout(count);

    auto* buttons = new QHBoxLayout;
    cmdPrtGrpAllSelect[n] =
        ui::namedButton(column, QStringLiteral("cmdPrtGrpAllSelect_%1").arg(index), QStringLiteral("全選択"));
    cmdPrtGrpAllCancel[n] =
        ui::namedButton(column, QStringLiteral("cmdPrtGrpAllCancel_%1").arg(index), QStringLiteral("全解除"));
    buttons->addWidget(cmdPrtGrpAllSelect[n]);
    buttons->addWidget(cmdPrtGrpAllCancel[n]);
    layout->addLayout(buttons);

    connect(cmdPrtGrpAllSelect[n], &QPushButton::clicked, this, [this, index] { cmdPrtGrpAllSelect_Click(index); });
    connect(cmdPrtGrpAllCancel[n], &QPushButton::clicked, this, [this, index] { cmdPrtGrpAllCancel_Click(index); });
    // Any change of the picks that the program did not make itself is the user's click.
    connect(list, &QListWidget::itemSelectionChanged, this, [this, index] {
        if (!m_blnSetting)
            lstPrtGroup_Click(index);
    });
    return column;
}

void PrintPanel::PrtPanelSetUp(common::Game game, const engine::Proposal& proposal,
                               const selection::ItemList& lstChgSelect, const selection::ItemList& lstChgMini) {
    m_game = game;
    const bool numbers3 = game == common::Game::Numbers3;
    for (QWidget* w : {static_cast<QWidget*>(imgGrp[5]), static_cast<QWidget*>(optPrtType[3])}) {
        w->setVisible(numbers3);
        w->setEnabled(numbers3);
    }
    imgGrp[2]->setVisible(!numbers3);
    imgGrp[2]->setEnabled(!numbers3);
    optPrtType[0]->setChecked(true);

    m_blnSetting = true;
    for (int n = 0; n < kLists; ++n) {
        m_intPrtSelectCnt[static_cast<std::size_t>(n)] = 0;
        showCount(n, kPickedPattern);
        lstPrtGroup[static_cast<std::size_t>(n)]->clear();
        m_lists[static_cast<std::size_t>(n)].clear();
    }
    showCredit();

    const bool hasSelection = !lstChgSelect.empty() || !lstChgMini.empty();
    framPrtUser->setVisible(hasSelection);
    framPrtUser->setEnabled(hasSelection);

    for (int n = 0; n < 3; ++n)
        fillList(n, groupPickList(game, n, proposal));
    fillList(3, userPickList(game, lstChgSelect, lstChgMini));
    m_blnSetting = false;
}

void PrintPanel::fillList(int index, const PickList& items) {
    const auto n = static_cast<std::size_t>(index);
    m_lists[n] = items;
    QListWidget* list = lstPrtGroup[n];
    for (const PickItem& pick : items) {
        auto* item = new QListWidgetItem(QString::fromStdString(pick.text()), list);
        item->setData(Qt::UserRole, pick.itemData());
    }
}

PickLists PrintPanel::pickLists() const {
    PickLists lists = m_lists;
    for (std::size_t n = 0; n < lists.size(); ++n) {
        const QListWidget* list = lstPrtGroup[n];
        const int rows = std::min(list->count(), static_cast<int>(lists[n].size()));
        for (int row = 0; row < rows; ++row)
            lists[n][static_cast<std::size_t>(row)].selected = list->item(row)->isSelected();
    }
    return lists;
}

void PrintPanel::showCount(int index, const char* pattern) {
    const auto n = static_cast<std::size_t>(index);
    lblPrtSelectCnt[n]->setText(QString::fromStdString(common::formatNumber(int64_t{m_intPrtSelectCnt[n]}, pattern)));
}

void PrintPanel::showCredit() {
    if (const auto credit = GetPrtCredit(m_intPrtSelectCnt))
        lblPrtCredit->setText(QString::fromStdString(common::displayYen(*credit)));
    else
        showOverflow(this);
}

void PrintPanel::cmdPrtGrpAllSelect_Click(int index) {
    const auto n = static_cast<std::size_t>(index);
    m_blnSetting = true;
    lstPrtGroup[n]->selectAll();
    m_blnSetting = false;
    m_intPrtSelectCnt[n] = lstPrtGroup[n]->count();
    showCount(index, kPickedPattern);
    showCredit();
}

void PrintPanel::cmdPrtGrpAllCancel_Click(int index) {
    const auto n = static_cast<std::size_t>(index);
    m_blnSetting = true;
    lstPrtGroup[n]->clearSelection();
    m_blnSetting = false;
    m_intPrtSelectCnt[n] = 0;
    showCount(index, kPickedPattern);
    showCredit();
}

void PrintPanel::lstPrtGroup_Click(int index) {
    const auto n = static_cast<std::size_t>(index);
    m_intPrtSelectCnt[n] = static_cast<int32_t>(lstPrtGroup[n]->selectedItems().size());
    showCount(index, kClickedPattern);
    showCredit();
}

int PrintPanel::checkedPrintOption() const {
    for (int i = 0; i < 3; ++i) {
        if (optPrtType[static_cast<std::size_t>(i)]->isChecked())
            return i;
    }
    return 3;
}

void PrintPanel::cmdPrtSrart_Click() {
    StartPrint(m_game);
}

void PrintPanel::StartPrint(common::Game game) {
    const StartPrintPlan plan = planStartPrint(game, checkedPrintOption(), pickLists());
    if (plan.data.tooMany) {
        showOverflow(this);
        return;
    }
    if (plan.message) {
        ui::showMessage(this, QString::fromStdString(*plan.message), ui::Buttons::Ok,
                        QString::fromUtf8(kNoPrintDataTitle));
        return;
    }
    PrintJobDialog dialog({plan.data.strPrtData, plan.printType, game}, window());
    const common::BetType printType = plan.printType;
    connect(&dialog, &PrintJobDialog::entriesPrinted, this, [this, &dialog, game, printType](int count) {
        recordPrinted(&dialog, game, printType, dialog.entries(), count);
    });
    if (m_runDialog)
        m_runDialog(dialog);
    else
        dialog.exec();
}

void PrintPanel::recordPrinted(QWidget* dialog, common::Game game, common::BetType printType,
                               const std::vector<common::LotteryNumber>& entries, int count) {
    if (!m_ledgerTarget || count <= 0)
        return;
    const auto printed = std::span<const common::LotteryNumber>(entries).first(
        static_cast<std::size_t>(std::min<int>(count, static_cast<int>(entries.size()))));
    const ledger::PrintRecordOutcome outcome =
        ledger::recordPrintedEntries(m_ledgerTarget->path, game, m_ledgerTarget->round, printType, printed);
    if (const std::string message = outcome.messageJa(); !message.empty())
        ui::showMessage(dialog, QString::fromStdString(message), ui::Buttons::Ok, QStringLiteral("【購入記録】"));
}

} // namespace tw::printing
