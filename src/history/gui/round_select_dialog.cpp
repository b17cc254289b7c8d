#include "history/gui/round_select_dialog.h"

#include "ui/message_box.h"

#include <QFont>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tw::history {

RoundSelectDialog::RoundSelectDialog(const DrawHistory& history, const Request& request, QWidget* parent)
    : QDialog(parent), m_history(history), m_request(request) {
    setObjectName(QStringLiteral("dlgNumRound"));
    setWindowTitle(QStringLiteral("抽選回数選択"));

    lstRound = new QListWidget(this);
    lstRound->setObjectName(QStringLiteral("lstRound"));
    lstRound->setSelectionMode(QAbstractItemView::SingleSelection);
    // The items are padded with blanks to line up the rounds, which needs a
    // fixed-pitch face; the Windows Japanese one first, then what Linux offers.
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("monospace")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    lstRound->setFont(font);

    cmdOK = new QPushButton(QStringLiteral("選択実行"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAutoDefault(false);
    cmdCancel = new QPushButton(QStringLiteral("選択中止"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstRound);
    layout->addLayout(buttons);
    resize(220, 320);

    connect(lstRound, &QListWidget::itemSelectionChanged, this, &RoundSelectDialog::lstRound_SelectionChanged);
    connect(lstRound, &QListWidget::itemDoubleClicked, this, &RoundSelectDialog::lstRound_DblClick);
    connect(cmdOK, &QPushButton::clicked, this, &RoundSelectDialog::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &RoundSelectDialog::reject);
}

QString RoundSelectDialog::roundItemText(int round) {
    return QStringLiteral("%1").arg(round, 5);
}

void RoundSelectDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_blnListFilled)
        fillList();
}

void RoundSelectDialog::fillList() {
    m_blnListFilled = true;
    m_intSelRound = -1;
    lstRound->clear();
    const int count = m_history.table(m_request.game).count;
    for (int r = count + 1; r >= 1; --r) {
        auto* item = new QListWidgetItem(roundItemText(r), lstRound);
        item->setData(Qt::UserRole, r);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
}

// A click and a keyboard move both select an item; either one picks its round.
void RoundSelectDialog::lstRound_SelectionChanged() {
    const auto selected = lstRound->selectedItems();
    if (!selected.isEmpty())
        m_intSelRound = static_cast<int16_t>(selected.first()->data(Qt::UserRole).toInt());
}

// Qt reports a double-click only over an item, so one on the empty part of the
// list picks nothing and the dialog stays open.
void RoundSelectDialog::lstRound_DblClick(QListWidgetItem* item) {
    if (item == nullptr)
        return;
    m_intSelRound = static_cast<int16_t>(item->data(Qt::UserRole).toInt());
    accept();
}

void RoundSelectDialog::cmdOK_Click() {
    if (m_intSelRound > 0) {
        accept();
        return;
    }
    tw::ui::showMessage(this, QStringLiteral("抽選回が指定されていません"), tw::ui::Buttons::Ok,
                        QStringLiteral("未指定エラー"));
}

} // namespace tw::history
