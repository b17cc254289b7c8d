// Helpers of the table file tests: a temporary folder that removes itself, raw
// file reads and writes, and table lines of an exact length.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace tw::history::testing {

class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> serial{0};
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::ostringstream name;
        name << "tw_history_" << ::getpid() << "_" << serial++ << "_" << (info ? info->name() : "x");
        m_path = std::filesystem::temp_directory_path() / name.str();
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string file(const std::string& name) const { return (m_path / name).string(); }
    const std::filesystem::path& path() const { return m_path; }
    // Names of the files now in the folder, sorted.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(m_path))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path m_path;
};

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A valid Numbers3 line of round `round` whose text (without CR LF) is exactly
// `length` characters: the amounts (Straight 119800 + round, then 39900, 79800,
// 19900, 11900) are padded with leading zeros, each to at most the ten digits a
// number may have. Lengths from 52 to 72 are possible for every round below
// 80200, from 48 for rounds below 10; a shorter length gives the unpadded line.
inline std::string num3LineOfLength(int round, std::size_t length) {
    const std::string head = std::to_string(round) + ",1994/10/07,191";
    std::vector<std::string> amounts = {std::to_string(119800 + round), "39900", "79800", "19900", "11900"};
    std::size_t have = head.size();
    for (const std::string& a : amounts)
        have += 1 + a.size();
    for (std::string& a : amounts) {
        const std::size_t pad = std::min(length > have ? length - have : 0, std::size_t{10} - a.size());
        a.insert(0, pad, '0');
        have += pad;
    }
    std::string line = head;
    for (const std::string& a : amounts)
        line += "," + a;
    return line;
}

} // namespace tw::history::testing
