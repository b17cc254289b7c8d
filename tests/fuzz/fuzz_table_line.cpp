// libFuzzer target: one table line. Whatever the bytes, the reader either says
// what is wrong or gives a record; a record comes only from a line no longer
// than the longest valid line (the bound the loaders' size check rests on), and
// the line the saver writes for it reads back as the same record.
#include "history/table_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    std::string fault;
    const std::optional<tw::history::NumData> rec = tw::history::ParseTableLine(line, &fault);
    if (!rec) {
        if (fault.empty())
            std::abort(); // a refusal always says why
        return 0;
    }
    if (line.size() > tw::history::kLongestLine)
        std::abort();
    // The shape follows the digit text: the third field.
    const std::size_t first = line.find(',');
    const std::size_t second = line.find(',', first + 1);
    const std::size_t third = line.find(',', second + 1);
    const tw::common::Game game = third - second - 1 == 3 ? tw::common::Game::Numbers3 : tw::common::Game::Numbers4;
    const std::string written = tw::history::FormatTableLine(*rec, rec->lngRound, game);
    const std::optional<tw::history::NumData> back = tw::history::ParseTableLine(written);
    if (!back || !(*back == *rec))
        std::abort();
    return 0;
}
