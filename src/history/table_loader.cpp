// Loading a table file: the sliced loader the loading dialog drives tick by tick,
// and the direct whole-file path for headless callers. Both find lines the same
// way and in the same order (first every line end is checked and counted, then
// the lines are parsed), so they give the identical table, error and warning:
// - a line ends at CR LF; a bare LF, a CR that no LF follows, or a NUL byte in a
//   line refuses the file at that line;
// - bytes after the last CR LF that hold no line end form no line (a warning
//   says so); a non-empty file without any line end is refused;
// - the count stops at the first line beyond DrawTable::kMaxRounds, and a file
//   longer than kMaxTableFileBytes is refused before anything is read.
// The two scans are written independently on purpose: the block scan must
// survive every block boundary, the whole-file scan is the reference it is
// tested against.
#include "history/table_file.h"

#include "common/rounding.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include <sys/stat.h>

namespace tw::history {

namespace {

namespace fs = std::filesystem;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

LoadError fileError(LoadErrorKind kind, const std::string& path, std::string detail = {}) {
    return {kind, path, 0, std::move(detail)};
}

LoadError lineError(LoadErrorKind kind, const std::string& path, int line, std::string detail = {}) {
    return {kind, path, line, std::move(detail)};
}

// Opens a table file for reading and gives its length, or says why it cannot be
// read. A file too long to be a table is refused here, before any byte is read.
FilePtr openTableFile(const std::string& path, uint64_t& length, LoadError& error) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found) {
        error = fileError(LoadErrorKind::FileMissing, path);
        return nullptr;
    }
    if (status.type() == fs::file_type::directory) {
        error = fileError(LoadErrorKind::FileUnreadable, path, "同じ名前のフォルダがあります");
        return nullptr;
    }
    FilePtr f(std::fopen(path.c_str(), "rb"));
    if (!f) {
        error = fileError(LoadErrorKind::FileUnreadable, path, "ファイルを開けません");
        return nullptr;
    }
    struct stat st {};
    length = ::fstat(::fileno(f.get()), &st) == 0 && st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
    if (length > kMaxTableFileBytes) {
        error = fileError(LoadErrorKind::FileTooLarge, path, std::to_string(length));
        return nullptr;
    }
    return f;
}

LoadError readError(const std::string& path) {
    return fileError(LoadErrorKind::FileUnreadable, path, "読み取り中にエラーが起きました");
}

LoadError grewTooLarge(const std::string& path, uint64_t bytes) {
    return fileError(LoadErrorKind::FileTooLarge, path, std::to_string(bytes) + " 以上の");
}

// Slots 0..lines+10, all zero; the file holds `lines` rounds.
void sizeTable(DrawTable& table, int lines) {
    table = DrawTable{};
    table.records.assign(static_cast<std::size_t>(lines) + 11, NumData{});
    table.count = static_cast<int16_t>(lines);
    table.savedCount = table.count;
}

// Length of the digit text (the third field) of a line that parsed.
std::size_t digitTextLength(std::string_view line) {
    const std::size_t first = line.find(',');
    const std::size_t second = line.find(',', first + 1);
    const std::size_t third = line.find(',', second + 1);
    return third - second - 1;
}

// The first line of a file whose record is not what the file says it is.
void noteLineWarning(LoadWarning& warning, const std::string& path, std::optional<common::Game> game, int slot,
                     std::string_view line, const NumData& rec) {
    if (warning)
        return;
    if (rec.lngRound != slot) {
        warning = {LoadWarningKind::RoundMismatch, path, slot, rec.lngRound, game};
        return;
    }
    if (game) {
        const std::size_t digits = digitTextLength(line);
        if (digits != static_cast<std::size_t>(common::digitCount(*game)))
            warning = {LoadWarningKind::WrongGameShape, path, slot, 0, game};
    }
}

// Parses `line` into slot `slot`, or gives the error naming that line.
bool storeLine(DrawTable& table, int slot, std::string_view line, const std::string& path,
               std::optional<common::Game> game, LoadError& error, LoadWarning& warning) {
    std::string fault;
    std::optional<NumData> rec = ParseTableLine(line, &fault);
    if (!rec) {
        error = lineError(LoadErrorKind::MalformedLine, path, slot, std::move(fault));
        return false;
    }
    noteLineWarning(warning, path, game, slot, line, *rec);
    table.records[static_cast<std::size_t>(slot)] = *rec;
    return true;
}

} // namespace

// ---- the sliced loader ----

TableLoader::TableLoader(std::string path, std::optional<common::Game> game, int blockSize)
    : m_path(std::move(path)), m_game(game), m_blockSize(blockSize > 0 ? blockSize : kBlockSize) {}

void TableLoader::SetLoadSlice(int n) {
    m_intLoadSlice = n;
    m_blnLoadDone = false;
}

void TableLoader::fail(LoadError error) {
    m_error = std::move(error);
    m_blnLoadDone = true;
}

void TableLoader::ReadTableBlocks() {
    m_loadProgress = 0;
    m_error = {};
    m_warning = {};
    m_strLoadBlock.clear();
    m_fileBytes = 0;
    uint64_t length = 0;
    FilePtr f = openTableFile(m_path, length, m_error);
    if (!f)
        return fail(m_error);
    m_intBlockCount = static_cast<int>(common::roundHalfEven(static_cast<double>(length) / m_blockSize + 1));
    m_strLoadBlock.assign(static_cast<std::size_t>(m_intBlockCount) + 1, std::string{});
    FileStamp stamp;
    stamp.known = true;
    for (std::size_t k = 0;; ++k) {
        if (k >= m_strLoadBlock.size())
            m_strLoadBlock.emplace_back(); // the file grew since its length was taken
        std::string& block = m_strLoadBlock[k];
        block.resize(static_cast<std::size_t>(m_blockSize));
        block.resize(std::fread(block.data(), 1, static_cast<std::size_t>(m_blockSize), f.get()));
        m_fileBytes += block.size();
        stamp.extend(block);
        m_loadProgress = static_cast<double>(k + 1) / m_intBlockCount * 20;
        if (std::ferror(f.get()))
            return fail(readError(m_path));
        if (m_fileBytes > kMaxTableFileBytes)
            return fail(grewTooLarge(m_path, m_fileBytes));
        if (block.size() < static_cast<std::size_t>(m_blockSize) || m_fileBytes >= length)
            break;
    }
    m_table.fileStamp = stamp;
    m_intBlockCount = std::max(m_intBlockCount, static_cast<int>(m_strLoadBlock.size()) - 1);
    m_loadProgress = 20;
}

void TableLoader::ResetLineScan() {
    m_intBlockPos = 1;
    m_intLineCount = 0;
    m_intBlockIndex = 0;
    m_lineEndOffset = 0;
    m_blnNulInLine = false;
    m_blnLoadDone = false;
}

void TableLoader::ResetLineParse() {
    m_intBlockPos = 1;
    m_intBlockIndex = 0;
    m_intLoadSlot = 1;
    m_strCarry.clear();
    m_blnNulInLine = false;
    m_blnLoadDone = false;
}

bool TableLoader::nextBlockStartsWithLf() const {
    const auto next = static_cast<std::size_t>(m_intBlockIndex) + 1;
    return next < m_strLoadBlock.size() && !m_strLoadBlock[next].empty() && m_strLoadBlock[next][0] == '\n';
}

TableLoader::ScanStep TableLoader::scanStep(std::string* text) {
    if (m_intBlockIndex >= m_intBlockCount)
        return ScanStep::End;
    const std::string& block = m_strLoadBlock[static_cast<std::size_t>(m_intBlockIndex)];
    const auto from = static_cast<std::size_t>(m_intBlockPos - 1);
    const std::size_t end = block.find_first_of("\r\n", from);
    // A NUL belongs to the line only if the line gets its end; bytes after the
    // last line end are ignored whatever they are.
    const std::size_t stop = end == std::string::npos ? block.size() : end;
    if (from < stop && std::memchr(block.data() + from, '\0', stop - from))
        m_blnNulInLine = true;
    if (end == std::string::npos) {
        if (text && from < block.size())
            text->append(block, from);
        ++m_intBlockIndex;
        m_intBlockPos = 1;
        return ScanStep::NextBlock;
    }
    const int line = m_intLineCount + 1;
    if (m_blnNulInLine) {
        fail(lineError(LoadErrorKind::NulByte, m_path, line));
        return ScanStep::Fault;
    }
    if (block[end] == '\n') {
        fail(lineError(LoadErrorKind::LineEndLf, m_path, line));
        return ScanStep::Fault;
    }
    const bool lfHere = end + 1 < block.size() && block[end + 1] == '\n';
    const bool lfInNext = end + 1 == block.size() && nextBlockStartsWithLf();
    if (!lfHere && !lfInNext) {
        fail(lineError(LoadErrorKind::LineEndCr, m_path, line));
        return ScanStep::Fault;
    }
    if (text)
        text->append(block, from, end - from);
    if (lfHere) {
        m_intBlockPos = static_cast<int>(end) + 3; // 1-based position past the LF
    } else {
        ++m_intBlockIndex; // the LF is the first byte of the next block
        m_intBlockPos = 2;
    }
    m_lineEndOffset = static_cast<uint64_t>(m_intBlockIndex) * static_cast<uint64_t>(m_blockSize) +
                      static_cast<uint64_t>(m_intBlockPos - 1);
    m_blnNulInLine = false;
    return ScanStep::LineEnd;
}

void TableLoader::finishCount() {
    if (m_intLineCount == 0 && m_fileBytes > 0)
        return fail(fileError(LoadErrorKind::NoLineEnd, m_path, std::to_string(m_fileBytes)));
    m_blnLoadDone = true;
    m_loadProgress = 60;
    const FileStamp stamp = m_table.fileStamp;
    sizeTable(m_table, m_intLineCount);
    m_table.fileStamp = stamp;
}

void TableLoader::CountTableLines() {
    if (failed())
        return fail(m_error);
    for (int step = 0; step < m_intLoadSlice && !m_blnLoadDone; ++step) {
        const ScanStep s = scanStep(nullptr);
        if (s == ScanStep::Fault)
            return;
        if (s == ScanStep::LineEnd && ++m_intLineCount > DrawTable::kMaxRounds)
            return fail(fileError(LoadErrorKind::TooManyLines, m_path));
        if (s == ScanStep::End || m_intBlockIndex >= m_intBlockCount)
            return finishCount();
        m_loadProgress = static_cast<double>(m_intBlockIndex) / m_intBlockCount * 40 + 20;
    }
}

void TableLoader::ParseTableLines() {
    if (failed())
        return fail(m_error);
    for (int step = 0; step < m_intLoadSlice && !m_blnLoadDone; ++step) {
        ScanStep s = ScanStep::NextBlock;
        if (m_intLoadSlot <= m_intLineCount)
            while ((s = scanStep(&m_strCarry)) == ScanStep::NextBlock) {
            }
        if (s != ScanStep::LineEnd) {
            if (s == ScanStep::Fault)
                return; // cannot happen: the count has checked every line end
            if (!m_warning && m_lineEndOffset < m_fileBytes)
                m_warning = {LoadWarningKind::UnendedTail, m_path, m_intLineCount + 1, 0, m_game};
            m_blnLoadDone = true;
            m_loadProgress = 100;
            return;
        }
        if (!storeLine(m_table, m_intLoadSlot, m_strCarry, m_path, m_game, m_error, m_warning))
            return fail(m_error);
        m_strCarry.clear();
        m_loadProgress = static_cast<double>(m_intLoadSlot) / m_intLineCount * 40 + 60;
        ++m_intLoadSlot;
    }
}

// ---- the direct path ----

namespace {

bool readWholeFile(const std::string& path, std::string& content, LoadError& error) {
    uint64_t length = 0;
    FilePtr f = openTableFile(path, length, error);
    if (!f)
        return false;
    content.reserve(static_cast<std::size_t>(length) + 1);
    char buffer[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0) {
        content.append(buffer, n);
        if (content.size() > kMaxTableFileBytes) {
            error = grewTooLarge(path, content.size());
            return false;
        }
    }
    if (std::ferror(f.get())) {
        error = readError(path);
        return false;
    }
    return true;
}

// The CR LF-terminated lines of `content`, without their line ends; stops at
// the first fault and at the first line beyond the most a table holds.
struct SplitLines {
    std::vector<std::string_view> lines;
    std::size_t tail = 0; // offset just past the last CR LF
    LoadError error;
};

SplitLines splitLines(std::string_view content, const std::string& path) {
    SplitLines out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = content.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            break;
        const int line = static_cast<int>(out.lines.size()) + 1;
        if (std::memchr(content.data() + start, '\0', end - start)) {
            out.error = lineError(LoadErrorKind::NulByte, path, line);
            return out;
        }
        if (content[end] == '\n') {
            out.error = lineError(LoadErrorKind::LineEndLf, path, line);
            return out;
        }
        if (end + 1 >= content.size() || content[end + 1] != '\n') {
            out.error = lineError(LoadErrorKind::LineEndCr, path, line);
            return out;
        }
        if (out.lines.size() == static_cast<std::size_t>(DrawTable::kMaxRounds)) {
            out.error = fileError(LoadErrorKind::TooManyLines, path);
            return out;
        }
        out.lines.push_back(content.substr(start, end - start));
        start = end + 2;
        out.tail = start;
    }
    if (out.lines.empty() && !content.empty())
        out.error = fileError(LoadErrorKind::NoLineEnd, path, std::to_string(content.size()));
    return out;
}

} // namespace

LoadResult loadTableFile(const std::string& path, std::optional<common::Game> game) {
    LoadResult result;
    std::string content;
    if (!readWholeFile(path, content, result.error))
        return result;
    SplitLines split = splitLines(content, path);
    if (split.error) {
        result.error = std::move(split.error);
        return result;
    }
    sizeTable(result.table, static_cast<int>(split.lines.size()));
    result.table.fileStamp = stampOf(content);
    for (std::size_t i = 0; i < split.lines.size(); ++i)
        if (!storeLine(result.table, static_cast<int>(i) + 1, split.lines[i], path, game, result.error, result.warning))
            return result;
    if (!result.warning && split.tail < content.size())
        result.warning = {LoadWarningKind::UnendedTail, path, static_cast<int>(split.lines.size()) + 1, 0, game};
    return result;
}

} // namespace tw::history
