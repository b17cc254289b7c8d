// Whole files as bytes, for tests that compare what a program wrote byte for
// byte or set up an input file exactly.
#pragma once

#include <filesystem>
#include <string>

namespace tw::testing {

// The whole contents of `path`; empty when the file cannot be read.
std::string readBytes(const std::filesystem::path& path);

// Replaces the contents of `path` with `bytes`; false when the file cannot be written.
bool writeBytes(const std::filesystem::path& path, const std::string& bytes);

} // namespace tw::testing
