// The print loop as a small state machine: each step() prints one entry onto a
// page sink, so a window can drive it from a timer, stay responsive, pause
// between sheets and honour a cancel after the entry being printed. The sink is
// the printer (or a recording fake in tests). No Qt.
#pragma once

#include "common/lottery.h"
#include "printing/mark_sheet.h"

#include <string>
#include <vector>

namespace tw::printing {

// What a print job draws on. The document opens with the first mark.
class PageSink {
public:
    virtual ~PageSink() = default;
    virtual void drawRect(int x, int y, int w, int h) = 0; // filled black, twips
    virtual void newPage() = 0;
    virtual void endDocument() = 0;
};

// A sink that keeps what a job draws, page by page: the pages exactly as the
// printer gets them, for the print preview to show.
class PageRecorder : public PageSink {
public:
    void drawRect(int x, int y, int w, int h) override { m_pages.back().push_back({x, y, w, h}); }
    void newPage() override { m_pages.emplace_back(); }
    void endDocument() override {}
    const std::vector<std::vector<MarkRect>>& pages() const { return m_pages; }

private:
    std::vector<std::vector<MarkRect>> m_pages{1};
};

enum class PrintEvent {
    Idle,          // no job is running; step() did nothing
    EntryPrinted,  // one entry printed, more follow on this sheet
    SheetFinished, // the sheet is full and entries remain: pause, then go on
    JobFinished,   // every entry printed and the document ended
    Cancelled,     // a cancel was honoured and the document ended
};

struct StepReport {
    PrintEvent event = PrintEvent::Idle;
    int entriesPrinted = 0;  // of this job, so far
    int progressPercent = 0; // entriesPrinted / entries x 100, rounded
    int sheetsRemaining = 0; // sheets still needed for the entries not yet printed
};

class PrintJob {
public:
    enum class State { Idle, Printing, CancelRequested };

    // `offset` moves every mark for the printer the job goes to (zero: as measured).
    PrintJob(common::Game game, common::BetType printType, std::vector<common::LotteryNumber> entries,
             SheetOffset offset = {});

    // Starts a job over all entries (again after a finished one). Returns false
    // when there is nothing to print or a job is running.
    bool start();
    // Prints the next entry; ends the document after the last one. A cancel
    // requested before this call ends the document without printing more.
    StepReport step(PageSink& sink);
    // Asks the running job to stop; the next step() ends the document. Returns
    // false when no job runs (the caller may close at once).
    bool requestCancel();

    State state() const { return m_state; }
    bool busy() const { return m_state != State::Idle; } // the document is open or about to be
    int entryCount() const { return static_cast<int>(m_entries.size()); }
    int nextIndex() const { return m_next; }
    int sheetsRemaining() const { return sheetsNeeded(entryCount() - m_next); }
    SheetOffset offset() const { return m_offset; }

private:
    StepReport report(PrintEvent event, int printed) const;

    common::Game m_game;
    common::BetType m_printType;
    SheetOffset m_offset;
    std::vector<common::LotteryNumber> m_entries;
    State m_state = State::Idle;
    int m_next = 0;
};

// The pages a whole job prints (one empty page when there is nothing to print).
std::vector<std::vector<MarkRect>> jobPages(common::Game game, common::BetType printType,
                                            std::vector<common::LotteryNumber> entries, SheetOffset offset = {});

} // namespace tw::printing
