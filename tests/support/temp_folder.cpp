#include "support/temp_folder.h"

#include "support/file_bytes.h"

#include <algorithm>
#include <atomic>
#include <random>
#include <stdexcept>

#include <unistd.h>

namespace tw::testing {

// The name carries the process id and a serial, so parallel test programs and
// several folders of one test never meet; the random part keeps a folder left by
// a killed run from being taken over.
TempFolder::TempFolder() {
    static std::atomic<unsigned> serial{0};
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_path = base / ("tallowind-test-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) + "-" +
                         std::to_string(random()));
        if (std::filesystem::create_directory(m_path))
            return;
    }
    throw std::runtime_error("cannot create a temporary folder under " + base.string());
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempFolder::read(const std::string& name) const {
    return readBytes(m_path / name);
}

void TempFolder::write(const std::string& name, const std::string& bytes) const {
    writeBytes(m_path / name, bytes);
}

std::vector<std::string> TempFolder::entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace tw::testing
