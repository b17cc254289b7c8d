// What the program knows of a table file's bytes: their number and a 64-bit
// FNV-1a hash of them. Loading takes the stamp of the bytes it read; every save
// first compares the file on disk with the stamp and refuses to append to or
// rewrite a file that changed in between (an editor, a checkout, a second copy of
// the program), then extends the stamp by what it wrote. FNV-1a runs over the
// bytes in order, so the stamp of "old bytes + appended bytes" follows from the
// old stamp without reading the file again. Standard library and POSIX only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tw::history {

struct FileStamp {
    static constexpr uint64_t kEmptyHash = 14695981039346656037ull; // FNV-1a offset basis

    bool known = false; // false for a table that was never loaded from a file
    uint64_t size = 0;
    uint64_t hash = kEmptyHash;

    // The stamp of these bytes following the ones already stamped.
    void extend(std::string_view bytes);
    bool sameBytes(const FileStamp& other) const { return size == other.size && hash == other.hash; }
};

// The stamp of `bytes` alone.
FileStamp stampOf(std::string_view bytes);

struct DiskStamp {
    bool exists = false;
    int error = 0; // errno when the file exists but could not be read
    FileStamp stamp;
};

// Reads the file at `path` (following a symbolic link) and stamps its bytes.
DiskStamp stampOnDisk(const std::string& path);

} // namespace tw::history
