#include "history/gui/draw_entry_dialog.h"

#include "common/date_serial.h"
#include "common/number_format.h"
#include "history/gui/round_select_dialog.h"
#include "ui/message_box.h"
#include "ui/widgets.h"

#include <QCalendarWidget>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tw::history {

namespace {

// The game radio buttons: optNum(0) is NUMBERS3, optNum(1) NUMBERS4.
common::Game gameOfOption(int index) {
    return index == 0 ? common::Game::Numbers3 : common::Game::Numbers4;
}

constexpr int kKeyBack = 11;  // "<" on an amount keypad
constexpr int kKeyClear = 12; // "C"

struct AmountPad {
    const char* frame;
    const char* captionName;
    const char* caption;
    const char* labelName;
    int maxDigits;
    const char* changeName; // how ListChanges names the amount
};
constexpr std::array<AmountPad, 5> kAmountPads{{
    {"framStright", "Label2", "ストレート", "lblStright", 7, "ストレート配当金"},
    {"framBox", "Label4", "ボックス", "lblBox", 6, "ボックス配当金"},
    {"framSetSt", "Label6", "ストレート", "lblSetStright", 7, "セットストレート配当金"},
    {"framSetBx", "Label8", "ボックス", "lblSetBox", 6, "セットボックス配当金"},
    {"framMini", "Label10", "ミニ", "lblMini", 5, "ミニ配当金"},
}};

const QString kFullWidthDigits = QStringLiteral("０１２３４５６７８９");

QString placeName(int place) {
    return QStringLiteral("抽選数値(%1桁目)").arg(kFullWidthDigits.at(place));
}

QString indexed(const QString& name, int index) {
    return name + QLatin1Char('_') + QString::number(index);
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text) {
    QPushButton* button = ui::namedButton(parent, name, text);
    button->setAutoDefault(false); // Return must not store or close by accident
    return button;
}

QDate qDateOf(double serial) {
    const common::CivilDate d = common::civilDate(serial);
    return QDate(d.year, d.month, d.day);
}

} // namespace

DrawEntryDialog::DrawEntryDialog(DrawHistory& history, const WeekdayMarks& weekdayMark, const Request& request,
                                 QWidget* parent)
    : QDialog(parent), m_history(history), m_weekdayMark(weekdayMark),
      m_clock([] { return QDateTime::currentDateTime(); }), m_game(request.game), m_lngEntryRound(request.round),
      m_blnNew(request.isNew) {
    setObjectName(QStringLiteral("dlgEntryData"));
    setWindowTitle(QStringLiteral("データ登録"));
    buildControls();
}

void DrawEntryDialog::setClock(Clock newClock) {
    m_clock = std::move(newClock);
}

QWidget* DrawEntryDialog::buildKeypad(const QString& frameName, const QString& buttonName, bool withEditKeys,
                                      const std::function<void(int)>& onKey) {
    auto* frame = new QGroupBox(this);
    frame->setObjectName(frameName);
    auto* grid = new QGridLayout(frame);
    grid->setSpacing(2);
    // Laid out like a telephone keypad, with the editing keys beside the 0.
    const auto addKey = [&](int index, const QString& text, int row, int column) {
        QPushButton* key = makeButton(frame, indexed(buttonName, index), text);
        key->setFixedSize(30, 26);
        grid->addWidget(key, row, column);
        connect(key, &QPushButton::clicked, this, [onKey, index] { onKey(index); });
    };
    for (int digit = 1; digit <= 9; ++digit)
        addKey(digit, QString::number(digit), 2 - (digit - 1) / 3, (digit - 1) % 3);
    addKey(0, QStringLiteral("0"), 3, withEditKeys ? 0 : 1);
    if (withEditKeys) {
        addKey(kKeyBack, QStringLiteral("<"), 3, 1);
        addKey(kKeyClear, QStringLiteral("C"), 3, 2);
    }
    return frame;
}

void DrawEntryDialog::buildControls() {
    auto* games = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        optNum[i] = new QRadioButton(i == 0 ? QStringLiteral("Numbers3") : QStringLiteral("Numbers4"), this);
        optNum[i]->setObjectName(indexed(QStringLiteral("optNum"), i));
        games->addWidget(optNum[i]);
        // Clicking the game already shown keeps the edits instead of reloading the round.
        connect(optNum[i], &QRadioButton::clicked, this, [this, i] {
            if (gameOfOption(i) != m_game)
                optNum_Click(i);
        });
    }
    games->addStretch();
    cmdLoad = makeButton(this, QStringLiteral("cmdLoad"), QStringLiteral("過去データ取込み"));
    games->addWidget(cmdLoad);

    auto* head = new QGridLayout;
    head->addWidget(ui::namedLabel(this, QStringLiteral("Label1_0"), QStringLiteral("抽選回")), 0, 0);
    lblRound = ui::valueLabel(this, QStringLiteral("lblRound"));
    head->addWidget(lblRound, 0, 1);
    head->addWidget(ui::namedLabel(this, QStringLiteral("Label1_1"), QStringLiteral("抽選日")), 1, 0);
    lblDate = ui::valueLabel(this, QStringLiteral("lblDate"));
    lblDate->setMinimumWidth(140);
    lblDate->setCursor(Qt::PointingHandCursor);
    lblDate->installEventFilter(this);
    head->addWidget(lblDate, 1, 1);
    head->setColumnStretch(2, 1);

    auto* digits = new QGridLayout;
    digits->addWidget(ui::namedLabel(this, QStringLiteral("Label1_2"), QStringLiteral("抽選値")), 0, 0);
    for (int p = 0; p < 4; ++p) {
        lblNum[p] = ui::valueLabel(this, indexed(QStringLiteral("lblNum"), p));
        // The drawn digits are what the user checks against the ticket: larger
        // and bolder than the amounts below them.
        QFont digitFont = lblNum[p]->font();
        digitFont.setPointSizeF(digitFont.pointSizeF() * 1.6);
        digitFont.setBold(true);
        lblNum[p]->setFont(digitFont);
        lblNum[p]->setMinimumSize(40, QFontMetrics(digitFont).height() + 6);
        lblNum[p]->setAlignment(Qt::AlignCenter);
        digits->addWidget(lblNum[p], 0, p + 1, Qt::AlignHCenter);
        frmKey[p] = buildKeypad(indexed(QStringLiteral("frmKey"), p), QStringLiteral("cmdNum%1").arg(p + 1), false,
                                [this, p](int index) { cmdNum_Click(p + 1, index); });
        digits->addWidget(frmKey[p], 1, p + 1);
    }
    digits->setColumnStretch(5, 1);

    auto* amounts = new QGridLayout;
    amounts->addWidget(ui::namedLabel(this, QStringLiteral("Label1_3"), QStringLiteral("配当金情報")), 0, 0, 1, 5);
    amounts->addWidget(new QLabel(QStringLiteral("セット"), this), 1, 2, 1, 2, Qt::AlignHCenter);
    for (int k = 0; k < kAmounts; ++k) {
        const AmountPad& pad = kAmountPads[k];
        QLabel* caption = ui::namedLabel(this, QString::fromUtf8(pad.captionName), QString::fromUtf8(pad.caption));
        lblAmount[k] = ui::valueLabel(this, QString::fromUtf8(pad.labelName));
        QWidget* frame = buildKeypad(QString::fromUtf8(pad.frame), QStringLiteral("cmdMoney%1").arg(k + 1), true,
                                     [this, k](int index) { cmdMoney_Click(k, index); });
        amounts->addWidget(caption, 2, k, Qt::AlignHCenter);
        amounts->addWidget(lblAmount[k], 3, k);
        amounts->addWidget(frame, 4, k);
        if (k == 4) {
            Label10 = caption;
            framMini = frame;
        }
    }

    cmdSave = makeButton(this, QStringLiteral("cmdSave"), QStringLiteral("登録"));
    cmdExit = makeButton(this, QStringLiteral("cmdExit"), QStringLiteral("終了"));
    auto* commands = new QHBoxLayout;
    commands->addStretch();
    commands->addWidget(cmdSave);
    commands->addWidget(cmdExit);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(games);
    layout->addLayout(head);
    layout->addLayout(digits);
    layout->addLayout(amounts);
    layout->addLayout(commands);

    // The calendar floats over the dialog below the date instead of taking room in the layout.
    MonthView1 = new QCalendarWidget(this);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    MonthView1->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    MonthView1->setFirstDayOfWeek(Qt::Sunday);
    MonthView1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    MonthView1->hide();

    connect(MonthView1, &QCalendarWidget::clicked, this, &DrawEntryDialog::MonthView1_DateClick);
    connect(cmdLoad, &QPushButton::clicked, this, &DrawEntryDialog::cmdLoad_Click);
    connect(cmdSave, &QPushButton::clicked, this, &DrawEntryDialog::cmdSave_Click);
    connect(cmdExit, &QPushButton::clicked, this, &DrawEntryDialog::cmdExit_Click);
}

void DrawEntryDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_blnSetUpDone)
        return;
    optNum_Click(m_game == common::Game::Numbers3 ? 0 : 1);
    m_blnSetUpDone = true;
}

bool DrawEntryDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblDate && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        lblDate_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

DrawTable& DrawEntryDialog::table() const {
    return m_history.table(gameOfOption(optNum[0]->isChecked() ? 0 : 1));
}

double DrawEntryDialog::now() const {
    const QDateTime t = m_clock();
    const QDate d = t.date();
    return common::dateSerial({d.year(), d.month(), d.day()}) + t.time().msecsSinceStartOfDay() / 86'400'000.0;
}

void DrawEntryDialog::optNum_Click(int index) {
    const bool numbers4 = index == 1;
    Label10->setVisible(!numbers4);
    lblAmount[4]->setVisible(!numbers4);
    framMini->setVisible(!numbers4);
    lblNum[3]->setVisible(numbers4);
    frmKey[3]->setVisible(numbers4);
    optNum[index]->setChecked(true);
    LoadRound();
    m_game = gameOfOption(index);
}

// Switching the game keeps the round when the other game's table holds it, and
// otherwise moves to that game's next new round.
void DrawEntryDialog::LoadRound() {
    const DrawTable& t = table();
    if (m_lngEntryRound <= t.count) {
        const NumData& rec = t.record(m_lngEntryRound);
        m_dteEntryRound = rec.dteDraw;
        m_bytEntryNum = rec.bytNum;
        m_lngEntryAmount = {rec.lngStraight, rec.lngBox, rec.lngSetStraight, rec.lngSetBox, rec.lngMini};
        m_blnNew = false;
    } else {
        if (m_lngEntryRound > t.count + 1)
            m_lngEntryRound = t.count + 1;
        m_blnNew = true;
    }
    InitWork();
    ShowWork();
}

void DrawEntryDialog::InitWork() {
    m_lngWorkRound = m_lngEntryRound;
    m_dteWork = m_blnNew ? now() : m_dteEntryRound;
    if (m_blnNew) {
        m_bytWorkNum = {0, 10, 10, 10, 10}; // slot 0 of the digits is unused and stays 0
        m_lngWorkAmount.fill(0);
    } else {
        m_bytWorkNum = m_bytEntryNum;
        m_lngWorkAmount = m_lngEntryAmount;
    }
}

void DrawEntryDialog::ShowWork() {
    lblRound->setText(QString::number(m_lngWorkRound));
    lblDate->setText(QString::fromStdString(common::formatDate(m_dteWork)) + QLatin1Char(' ') +
                     m_weekdayMark[common::weekdayNumber(m_dteWork)]);
    for (int place = 1; place <= 4; ++place) {
        const uint8_t digit = m_bytWorkNum[place];
        lblNum[place - 1]->setText(digit > 9 ? QString() : QString::number(digit));
    }
    for (int k = 0; k < kAmounts; ++k)
        showAmount(k);
}

void DrawEntryDialog::showAmount(int k) {
    lblAmount[k]->setText(
        QString::fromStdString(common::formatNumberForDisplay(int64_t{m_lngWorkAmount[k]}, common::kYen7)).trimmed());
}

int32_t DrawEntryDialog::KeypadEdit(int key, int maxDigits, int32_t amount) {
    QString s = QString::number(amount);
    if (key == kKeyBack) {
        if (s.size() == 1)
            s = QStringLiteral("0");
        else if (s.isEmpty())
            tw::ui::beep();
        else
            s.chop(1);
    } else if (key == kKeyClear) {
        s = QStringLiteral("0");
    } else if (key >= 0 && key <= 9) {
        if (s.size() < maxDigits)
            s += QString::number(key);
        else
            tw::ui::beep();
    }
    return s.toInt();
}

void DrawEntryDialog::cmdNum_Click(int place, int index) {
    m_bytWorkNum[place] = static_cast<uint8_t>(index);
    lblNum[place - 1]->setText(QString::number(index));
}

void DrawEntryDialog::cmdMoney_Click(int k, int index) {
    m_lngWorkAmount[k] = KeypadEdit(index, kAmountPads[k].maxDigits, m_lngWorkAmount[k]);
    showAmount(k);
}

void DrawEntryDialog::lblDate_Click() {
    if (!MonthView1->isHidden()) {
        MonthView1->hide();
        return;
    }
    MonthView1->setSelectedDate(qDateOf(now()));
    MonthView1->adjustSize();
    MonthView1->move(lblDate->mapTo(this, QPoint(0, lblDate->height())));
    MonthView1->raise();
    MonthView1->show();
}

void DrawEntryDialog::MonthView1_DateClick(QDate date) {
    m_dteWork = common::dateSerial({date.year(), date.month(), date.day()});
    ShowWork();
    MonthView1->hide();
}

void DrawEntryDialog::cmdLoad_Click() {
    const int32_t rememberedRound = m_lngEntryRound;
    const bool rememberedNew = m_blnNew;
    RoundSelectDialog dialog(m_history, {gameOfOption(optNum[0]->isChecked() ? 0 : 1)}, this);
    // Just below the load button, measured from the dialog's outer frame.
    const QPoint inDialog = cmdLoad->mapTo(this, QPoint(0, 0));
    const QRect frame = frameGeometry();
    dialog.move(frame.left() + inDialog.x(), frame.top() + inDialog.y() + 2 * cmdLoad->height());
    if (dialog.exec() == QDialog::Accepted)
        m_lngEntryRound = dialog.chosenRound();
    if (m_lngEntryRound == rememberedRound)
        m_blnNew = rememberedNew;
    else
        LoadRound();
}

QString DrawEntryDialog::ListChanges() const {
    QStringList items;
    if (m_lngWorkRound != m_lngEntryRound)
        items << QStringLiteral("[抽選回]");
    if (common::formatDate(m_dteWork) != common::formatDate(m_blnNew ? now() : m_dteEntryRound))
        items << QStringLiteral("[抽選日]");
    for (int place = 1; place <= 4; ++place)
        if (m_bytWorkNum[place] != (m_blnNew ? 10 : m_bytEntryNum[place]))
            items << placeName(place);
    for (int k = 0; k < kAmounts; ++k)
        if (m_lngWorkAmount[k] != (m_blnNew ? 0 : m_lngEntryAmount[k]))
            items << QString::fromUtf8(kAmountPads[k].changeName);
    return items.join(QLatin1Char('\r'));
}

void DrawEntryDialog::cmdSave_Click() {
    const QString entryTitle = QStringLiteral("入力エラー");
    if (ListChanges().isEmpty()) {
        tw::ui::showMessage(this, QStringLiteral("【%1】のデータは変更されていません。").arg(m_lngEntryRound),
                            tw::ui::Buttons::Ok, QStringLiteral("重複更新情報"));
        return;
    }
    // The table file has one character per place, so a round is stored only with all its digits.
    const common::Game game = gameOfOption(optNum[0]->isChecked() ? 0 : 1);
    QStringList missing;
    for (int place = 1; place <= common::digitCount(game); ++place)
        if (m_bytWorkNum[place] > 9)
            missing << placeName(place);
    if (!missing.isEmpty()) {
        tw::ui::showMessage(this, missing.join(QStringLiteral("、")) + QStringLiteral("が入力されていません。"),
                            tw::ui::Buttons::Ok, entryTitle);
        return;
    }

    NumData rec;
    rec.dteDraw = m_dteWork;
    rec.bytNum = m_bytWorkNum;
    if (game == common::Game::Numbers3)
        rec.bytNum[4] = 0; // Numbers3 has no 4th place; keep the record as loading leaves it
    rec.lngStraight = m_lngWorkAmount[0];
    rec.lngBox = m_lngWorkAmount[1];
    rec.lngSetStraight = m_lngWorkAmount[2];
    rec.lngSetBox = m_lngWorkAmount[3];
    rec.lngMini = m_lngWorkAmount[4];
    if (!table().store(m_lngEntryRound, rec)) {
        tw::ui::showMessage(this, QStringLiteral("【%1】は登録できません。").arg(m_lngEntryRound), tw::ui::Buttons::Ok,
                            entryTitle);
        return;
    }
    if (m_store) {
        // The round is in the table either way; only a round that reached its
        // file becomes the new reference, so that storing again retries.
        if (const SaveError error = m_store(game)) {
            tw::ui::showMessage(this, QString::fromStdString(error.message()), tw::ui::Buttons::Ok,
                                QStringLiteral("【保存エラー】"));
            return;
        }
    }

    // The stored state becomes the reference for the next change.
    m_dteEntryRound = m_dteWork;
    m_bytEntryNum = m_bytWorkNum;
    m_lngEntryAmount = m_lngWorkAmount;
    m_blnNew = false;
}

bool DrawEntryDialog::confirmClose() {
    const QString changes = ListChanges();
    if (changes.isEmpty())
        return true;
    return tw::ui::showMessage(this,
                               QStringLiteral("以下の項目が変更されています。\r終了しますか？(Yes/No)\r") + changes,
                               tw::ui::Buttons::YesNo, QStringLiteral("未登録確認")) == tw::ui::Answer::Yes;
}

void DrawEntryDialog::cmdExit_Click() {
    if (confirmClose())
        accept();
}

void DrawEntryDialog::reject() {
    if (confirmClose())
        QDialog::reject();
}

} // namespace tw::history
