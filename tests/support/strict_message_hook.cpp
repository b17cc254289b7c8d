#include "support/strict_message_hook.h"

namespace tw::testing {

StrictMessageHook::~StrictMessageHook() {
    if (m_started)
        ui::MessageHook::disable();
}

void StrictMessageHook::start() {
    ui::MessageHook::disable();
    ui::MessageHook::enable();
    m_problem.clear();
    m_started = true;
}

void StrictMessageHook::expect(ui::Answer answer) {
    ui::MessageHook::pushAnswer(answer);
}

QStringList StrictMessageHook::shown() const {
    return ui::MessageHook::shownTexts();
}

QStringList StrictMessageHook::titles() const {
    return ui::MessageHook::shownTitles();
}

void StrictMessageHook::clearShown() {
    ui::MessageHook::clearShown();
}

QString StrictMessageHook::problem() const {
    QStringList problems;
    if (!m_problem.isEmpty())
        problems << m_problem;
    if (!m_started)
        return problems.join(QLatin1Char('\n'));
    const QStringList unexpected = ui::MessageHook::unansweredTexts();
    for (const QString& text : unexpected)
        problems << QStringLiteral("a message box no answer was queued for: \"%1\"").arg(text);
    const int left = ui::MessageHook::queuedAnswers();
    if (left > 0)
        problems << QStringLiteral("%1 queued answer(s) no message box used").arg(left);
    return problems.join(QLatin1Char('\n'));
}

bool StrictMessageHook::finish() {
    m_problem = problem();
    if (m_started)
        ui::MessageHook::disable();
    m_started = false;
    return m_problem.isEmpty();
}

} // namespace tw::testing
