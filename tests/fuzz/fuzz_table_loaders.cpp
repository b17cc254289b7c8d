// libFuzzer target: a whole table file through both loaders. The whole-file
// loader and the sliced loader (with a slice chosen by the input) must give the
// same table, error and warning, and the stamp of the bytes they read. The first
// byte can move the fuzzed bytes onto the 32000-byte block boundary of the
// sliced loader by putting valid lines of the right length before them; the
// second chooses the slice.
#include "history/table_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {

using namespace tw::history;

std::string g_path;

void check(bool ok) {
    if (!ok)
        std::abort();
}

// Valid Numbers3 lines, `bytes` long in all (at least 28) with their CR LF.
std::string padding(std::size_t bytes) {
    std::string out;
    const std::size_t lines = (bytes + 72) / 73;
    for (std::size_t i = 0; i < lines; ++i) {
        const std::size_t length = bytes / lines + (i < bytes % lines ? 1 : 0) - 2; // 26..71 characters
        std::string line = std::to_string(i + 1) + ",1994/10/07,191";
        const std::size_t fixed = line.size() + 5 * 2;
        std::size_t pad = length - fixed;
        for (int field = 0; field < 5; ++field) {
            const std::size_t zeros = pad < 9 ? pad : 9;
            line += "," + std::string(zeros, '0') + "1";
            pad -= zeros;
        }
        out += line + "\r\n";
    }
    return out;
}

struct Loaded {
    DrawTable table;
    LoadError error;
    LoadWarning warning;
};

Loaded loadSliced(const std::string& path, int slice) {
    TableLoader loader(path, tw::common::Game::Numbers3);
    loader.SetLoadSlice(slice);
    loader.ReadTableBlocks();
    loader.ResetLineScan();
    do
        loader.CountTableLines();
    while (!loader.IsLoadStepDone());
    if (!loader.failed()) {
        loader.ResetLineParse();
        do
            loader.ParseTableLines();
        while (!loader.IsLoadStepDone());
    }
    return {loader.takeTable(), loader.error(), loader.warning()};
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_path = "/tmp/tw_fuzz_table_" + std::to_string(::getpid()) + ".tbl";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const int slice = 1 + data[1] % 7 * 37;
    std::string bytes;
    // One input in sixteen: the lines before it cost most of the time of a run.
    if (data[0] % 16 == 1)
        bytes = padding(TableLoader::kBlockSize - data[0] / 16);
    bytes.append(reinterpret_cast<const char*>(data) + 2, size - 2);
    std::FILE* f = std::fopen(g_path.c_str(), "wb");
    check(f != nullptr);
    check(std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
    check(std::fclose(f) == 0);

    const LoadResult direct = loadTableFile(g_path, tw::common::Game::Numbers3);
    const Loaded sliced = loadSliced(g_path, slice);
    check(direct.error.kind == sliced.error.kind);
    check(direct.error.message() == sliced.error.message());
    if (direct.error)
        return 0;
    check(direct.warning.message() == sliced.warning.message());
    check(direct.table.count == sliced.table.count);
    check(direct.table.savedCount == sliced.table.savedCount);
    check(direct.table.records == sliced.table.records);
    check(direct.table.records.size() == static_cast<std::size_t>(direct.table.count) + 11);
    const FileStamp stamp = stampOf(bytes);
    check(direct.table.fileStamp.sameBytes(stamp) && sliced.table.fileStamp.sameBytes(stamp));
    return 0;
}
