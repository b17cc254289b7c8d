// libFuzzer target: a whole table file through both loaders. The whole-file
// loader and the sliced loader must give the same table, error and warning, and
// the stamp of the bytes they read. The first byte chooses the sliced loader's
// block size (1 to 64 bytes, or the loader's own 32000), so that the fuzzed bytes
// cross block boundaries everywhere; the second chooses the slice.
#include "history/table_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

using namespace tw::history;

std::string g_path;

void check(bool ok) {
    if (!ok)
        std::abort();
}

struct Loaded {
    DrawTable table;
    LoadError error;
    LoadWarning warning;
};

Loaded loadSliced(const std::string& path, int blockSize, int slice) {
    TableLoader loader(path, tw::common::Game::Numbers3, blockSize);
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
    g_path =
        (std::filesystem::temp_directory_path() / ("tw_fuzz_table_" + std::to_string(::getpid()) + ".tbl")).string();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const int blockSize = data[0] < 64 ? 1 + data[0] : data[0] < 128 ? 1 + data[0] % 8 : TableLoader::kBlockSize;
    const int slice = 1 + data[1] % 7 * 37;
    const std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
    std::FILE* f = std::fopen(g_path.c_str(), "wb");
    check(f != nullptr);
    check(std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
    check(std::fclose(f) == 0);

    const LoadResult direct = loadTableFile(g_path, tw::common::Game::Numbers3);
    const Loaded sliced = loadSliced(g_path, blockSize, slice);
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
