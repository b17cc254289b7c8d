// A fresh folder under the system's temporary directory for one test, removed
// again when the test ends.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace tw::testing {

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        const auto base = std::filesystem::temp_directory_path();
        do {
            m_path = base / ("tallowind-test-" + std::to_string(rd()) + std::to_string(rd()));
        } while (!std::filesystem::create_directory(m_path));
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string str() const { return m_path.string(); }

    std::string read(const std::string& name) const {
        std::ifstream in(m_path / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream out(m_path / name, std::ios::binary | std::ios::trunc);
        out << bytes;
    }

private:
    std::filesystem::path m_path;
};

} // namespace tw::testing
