// Message boxes in a window test, answered strictly: the test queues the answer
// of every box it expects, in order; a box shown with no answer queued, or an
// answer still queued when the test ends, is a failure. (The plain MessageHook
// answers an unexpected box with OK or Yes and lets the test go on, which hides
// a box that should never have appeared.)
//
//   tw::testing::StrictMessageHook boxes;   // a member of the test class
//   void init() { boxes.start(); }
//   void cleanup() { QVERIFY2(boxes.finish(), qPrintable(boxes.problem())); }
//   ... boxes.expect(tw::ui::Answer::Yes); click(...);
#pragma once

#include "ui/message_box.h"

#include <QString>
#include <QStringList>

namespace tw::testing {

class StrictMessageHook {
public:
    StrictMessageHook() = default;
    ~StrictMessageHook();
    StrictMessageHook(const StrictMessageHook&) = delete;
    StrictMessageHook& operator=(const StrictMessageHook&) = delete;

    // Takes over the message boxes with nothing shown and nothing queued.
    void start();
    // Queues the answer to the next box.
    void expect(ui::Answer answer);
    // The texts of the boxes shown since start (CR line breaks kept).
    QStringList shown() const;
    // Their titles, in the same order.
    QStringList titles() const;
    // Forgets the boxes shown so far (not what went wrong with them), so that a
    // test can look at the boxes of its next step alone.
    void clearShown();
    // What went wrong so far, empty when every box had its answer; a test may
    // check it in the middle.
    QString problem() const;
    // Gives the boxes back; true when every box shown had its queued answer and
    // every queued answer was used.
    bool finish();

private:
    QString m_problem;
    bool m_started = false;
};

} // namespace tw::testing
