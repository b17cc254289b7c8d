// Loading a table file: the sliced loader the loading dialog drives tick by tick,
// and the direct whole-file path for headless callers. Both find lines the same
// way (a line ends at CR LF; a CR without LF belongs to the line, bytes after the
// last CR LF form no line) and size the table the same way, so they give the
// identical table. The two scans are written independently on purpose: the
// block scan must survive every block boundary, the whole-file scan is the
// reference it is tested against.
#include "history/table_file.h"

#include "common/rounding.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

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

LoadError lineError(const std::string& path, int line, std::string detail) {
    return {LoadErrorKind::MalformedLine, path, line, std::move(detail)};
}

// Opens a table file for reading, or says why it cannot be read.
FilePtr openTableFile(const std::string& path, LoadError& error) {
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
    if (!f)
        error = fileError(LoadErrorKind::FileUnreadable, path, "ファイルを開けません");
    return f;
}

LoadError readError(const std::string& path) {
    return fileError(LoadErrorKind::FileUnreadable, path, "読み取り中にエラーが起きました");
}

// Slots 0..lines+10, all zero; the file holds `lines` rounds.
void sizeTable(DrawTable& table, int lines) {
    table = DrawTable{};
    table.records.assign(static_cast<std::size_t>(lines) + 11, NumData{});
    table.count = static_cast<int16_t>(lines);
    table.savedCount = table.count;
}

// Parses `line` into slot `slot`, or gives the error naming that line.
bool storeLine(DrawTable& table, int slot, std::string_view line, const std::string& path, LoadError& error) {
    std::string fault;
    std::optional<NumData> rec = ParseTableLine(line, &fault);
    if (!rec) {
        error = lineError(path, slot, std::move(fault));
        return false;
    }
    table.records[static_cast<std::size_t>(slot)] = *rec;
    return true;
}

} // namespace

// ---- the sliced loader ----

TableLoader::TableLoader(std::string path) : m_path(std::move(path)) {}

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
    m_strLoadBlock.clear();
    FilePtr f = openTableFile(m_path, m_error);
    if (!f)
        return fail(m_error);
    std::error_code ec;
    const auto length = static_cast<double>(fs::file_size(m_path, ec));
    m_intBlockCount = static_cast<int>(common::roundHalfEven(length / kBlockSize + 1));
    m_strLoadBlock.assign(static_cast<std::size_t>(m_intBlockCount) + 1, std::string{});
    std::size_t total = 0;
    for (std::size_t k = 0;; ++k) {
        if (k >= m_strLoadBlock.size())
            m_strLoadBlock.emplace_back();  // the file grew since its length was taken
        std::string& block = m_strLoadBlock[k];
        block.resize(kBlockSize);
        block.resize(std::fread(block.data(), 1, kBlockSize, f.get()));
        total += block.size();
        m_loadProgress = static_cast<double>(k + 1) / m_intBlockCount * 20;
        if (std::ferror(f.get()))
            return fail(readError(m_path));
        if (block.size() < static_cast<std::size_t>(kBlockSize) || static_cast<double>(total) >= length)
            break;
    }
    m_intBlockCount = std::max(m_intBlockCount, static_cast<int>(m_strLoadBlock.size()) - 1);
    m_loadProgress = 20;
}

void TableLoader::ResetLineScan() {
    m_intBlockPos = 1;
    m_intLineCount = 0;
    m_intBlockIndex = 0;
    m_blnLoadDone = false;
}

void TableLoader::ResetLineParse() {
    m_intBlockPos = 1;
    m_intBlockIndex = 0;
    m_intLoadSlot = 1;
    m_strCarry.clear();
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
    for (std::size_t cr = block.find('\r', from); cr != std::string::npos; cr = block.find('\r', cr + 1)) {
        const bool lfHere = cr + 1 < block.size() && block[cr + 1] == '\n';
        const bool lfInNext = cr + 1 == block.size() && nextBlockStartsWithLf();
        if (!lfHere && !lfInNext)
            continue;  // a CR without LF is part of the line
        if (text)
            text->append(block, from, cr - from);
        if (lfHere) {
            m_intBlockPos = static_cast<int>(cr) + 3;  // 1-based position past the LF
        } else {
            ++m_intBlockIndex;  // the LF is the first byte of the next block
            m_intBlockPos = 2;
        }
        return ScanStep::LineEnd;
    }
    if (text && from < block.size())
        text->append(block, from);
    ++m_intBlockIndex;
    m_intBlockPos = 1;
    return ScanStep::NextBlock;
}

void TableLoader::finishCount() {
    m_blnLoadDone = true;
    m_loadProgress = 60;
    sizeTable(m_table, m_intLineCount);
}

void TableLoader::CountTableLines() {
    if (failed())
        return fail(m_error);
    for (int step = 0; step < m_intLoadSlice && !m_blnLoadDone; ++step) {
        const ScanStep s = scanStep(nullptr);
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
            m_blnLoadDone = true;
            m_loadProgress = 100;
            return;
        }
        if (!storeLine(m_table, m_intLoadSlot, m_strCarry, m_path, m_error))
            return fail(m_error);
        m_strCarry.clear();
        m_loadProgress = static_cast<double>(m_intLoadSlot) / m_intLineCount * 40 + 60;
        ++m_intLoadSlot;
    }
}

// ---- the direct path ----

namespace {

bool readWholeFile(const std::string& path, std::string& content, LoadError& error) {
    FilePtr f = openTableFile(path, error);
    if (!f)
        return false;
    std::error_code ec;
    content.reserve(static_cast<std::size_t>(fs::file_size(path, ec)) + 1);
    char buffer[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0)
        content.append(buffer, n);
    if (std::ferror(f.get())) {
        error = readError(path);
        return false;
    }
    return true;
}

// The CR LF-terminated lines of `content`, without their line ends.
std::vector<std::string_view> splitLines(std::string_view content) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t end = content.find("\r\n"); end != std::string_view::npos; end = content.find("\r\n", start)) {
        lines.push_back(content.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

} // namespace

LoadResult loadTableFile(const std::string& path) {
    LoadResult result;
    std::string content;
    if (!readWholeFile(path, content, result.error))
        return result;
    const std::vector<std::string_view> lines = splitLines(content);
    if (lines.size() > static_cast<std::size_t>(DrawTable::kMaxRounds)) {
        result.error = fileError(LoadErrorKind::TooManyLines, path);
        return result;
    }
    sizeTable(result.table, static_cast<int>(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (!storeLine(result.table, static_cast<int>(i) + 1, lines[i], path, result.error))
            break;
    return result;
}

} // namespace tw::history
