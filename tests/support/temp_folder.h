// A fresh folder under the system's temporary directory for one test, removed
// with everything in it when the object goes. Every test that writes files
// works in one, so no test sees another's files and nothing is left behind.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tw::testing {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string str() const { return m_path.string(); }
    // The path of `name` inside the folder (the file need not exist).
    std::string file(const std::string& name) const { return (m_path / name).string(); }

    // The bytes of `name` inside the folder; empty when it cannot be read.
    std::string read(const std::string& name) const;
    // Writes `bytes` as the whole of `name` inside the folder.
    void write(const std::string& name, const std::string& bytes) const;
    // Names of the files and folders now in the folder, sorted.
    std::vector<std::string> entries() const;

private:
    std::filesystem::path m_path;
};

} // namespace tw::testing
