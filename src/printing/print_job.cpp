#include "printing/print_job.h"

#include "common/rounding.h"

#include <utility>

namespace tw::printing {

PrintJob::PrintJob(common::Game game, common::BetType printType, std::vector<common::LotteryNumber> entries,
                   SheetOffset offset)
    : m_game(game), m_printType(printType), m_offset(clampOffset(offset)), m_entries(std::move(entries)) {}

bool PrintJob::start() {
    if (m_state != State::Idle || m_entries.empty())
        return false;
    m_state = State::Printing;
    m_next = 0;
    return true;
}

bool PrintJob::requestCancel() {
    if (m_state == State::Idle)
        return false;
    m_state = State::CancelRequested;
    return true;
}

StepReport PrintJob::report(PrintEvent event, int printed) const {
    StepReport r;
    r.event = event;
    r.entriesPrinted = printed;
    r.progressPercent = static_cast<int>(
        common::roundHalfEven(static_cast<double>(printed) * 100.0 / static_cast<double>(entryCount())));
    r.sheetsRemaining = sheetsNeeded(entryCount() - printed);
    return r;
}

StepReport PrintJob::step(PageSink& sink) {
    if (m_state == State::Idle)
        return {PrintEvent::Idle, 0, 0, sheetsNeeded(entryCount())};
    if (m_state == State::CancelRequested) {
        const int printed = m_next;
        sink.endDocument();
        m_state = State::Idle;
        m_next = 0;
        return report(PrintEvent::Cancelled, printed);
    }

    // The page break is made when the next sheet's first entry is printed, so a
    // cancel during the pause between sheets does not feed an empty sheet.
    const int block = m_next % kBlocksPerSheet + 1;
    if (block == 1 && m_next > 0)
        sink.newPage();
    for (const MarkRect& m :
         PrintEntry(m_game, block, m_entries[static_cast<std::size_t>(m_next)], m_printType, m_offset))
        sink.drawRect(m.x, m.y, m.w, m.h);
    ++m_next;

    if (m_next == entryCount()) {
        sink.endDocument();
        m_state = State::Idle;
        m_next = 0;
        return report(PrintEvent::JobFinished, entryCount());
    }
    return report(m_next % kBlocksPerSheet == 0 ? PrintEvent::SheetFinished : PrintEvent::EntryPrinted, m_next);
}

std::vector<std::vector<MarkRect>> jobPages(common::Game game, common::BetType printType,
                                            std::vector<common::LotteryNumber> entries, SheetOffset offset) {
    PrintJob job(game, printType, std::move(entries), offset);
    PageRecorder recorder;
    if (job.start())
        while (job.busy())
            job.step(recorder);
    return recorder.pages();
}

} // namespace tw::printing
