#include "ui/message_box.h"

#include <QApplication>
#include <QMessageBox>

#include <deque>

namespace tw::ui {

namespace {
struct HookState {
    bool enabled = false;
    std::deque<Answer> answers;
    QStringList texts;
    QStringList titles;
    QStringList unanswered;
};
HookState& hook() {
    static HookState state;
    return state;
}

struct BeepState {
    bool enabled = false;
    int count = 0;
};
BeepState& beepState() {
    static BeepState state;
    return state;
}

Answer fallbackAnswer(Buttons buttons) {
    return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
}
} // namespace

Answer showMessage(QWidget* parent, const QString& text, Buttons buttons, const QString& title) {
    HookState& h = hook();
    if (h.enabled) {
        h.texts << text;
        h.titles << title;
        if (h.answers.empty()) {
            h.unanswered << text;
            return fallbackAnswer(buttons);
        }
        const Answer answer = h.answers.front();
        h.answers.pop_front();
        return answer;
    }

    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar(u'\r'), QChar(u'\n'));
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(shown);
    box.setIcon(QMessageBox::NoIcon);
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Ok;
    }
}

namespace MessageHook {
void enable() {
    hook().enabled = true;
}
void disable() {
    hook() = HookState{};
}
void pushAnswer(Answer answer) {
    hook().enabled = true;
    hook().answers.push_back(answer);
}
QStringList shownTexts() {
    return hook().texts;
}
QStringList shownTitles() {
    return hook().titles;
}
void clearShown() {
    hook().texts.clear();
    hook().titles.clear();
}
int queuedAnswers() {
    return static_cast<int>(hook().answers.size());
}
QStringList unansweredTexts() {
    return hook().unanswered;
}
} // namespace MessageHook

void beep() {
    BeepState& b = beepState();
    if (b.enabled) {
        ++b.count;
        return;
    }
    QApplication::beep();
}

namespace BeepHook {
void enable() {
    beepState() = BeepState{true, 0};
}
void disable() {
    beepState() = BeepState{};
}
int count() {
    return beepState().count;
}
} // namespace BeepHook

} // namespace tw::ui
