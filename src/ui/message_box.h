// Modal message boxes with three button sets (OK, OK/Cancel, Yes/No), and a
// hook through which tests answer them and read what was shown.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace tw::ui {

enum class Buttons { Ok, OkCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };

// Shows a modal box. Message texts break lines with a single CR; they are
// shown as line breaks. Returns the button pressed (Escape gives Cancel or No).
Answer showMessage(QWidget* parent, const QString& text, Buttons buttons, const QString& title);

// Test hook: while answers are queued, showMessage shows nothing, records the
// title and text, and returns the next queued answer. With the queue empty and
// recording on, it answers Ok / Yes so a test never blocks on an unexpected box.
namespace MessageHook {
void enable();  // start recording (queue may stay empty)
void disable(); // back to real boxes; clears everything
void pushAnswer(Answer answer);
QStringList shownTexts(); // texts as passed in (CR kept)
QStringList shownTitles();
void clearShown();
int queuedAnswers();           // answers pushed that no box has used yet
QStringList unansweredTexts(); // texts of boxes shown while the queue was empty
} // namespace MessageHook

// A short beep for keys that cannot act; tests count them instead of hearing them.
void beep();
namespace BeepHook {
void enable();
void disable();
int count();
} // namespace BeepHook

} // namespace tw::ui
