// Whole files as QByteArray, for the window tests that check what a window
// wrote or prepare the files it reads (the same bytes as file_bytes.h reads and
// writes).
#pragma once

#include <QByteArray>
#include <QString>

namespace tw::testing {

// The whole contents of `path`; empty when the file cannot be read.
QByteArray readFile(const QString& path);

// Replaces the contents of `path` with `bytes`; false when the file cannot be written.
bool writeFile(const QString& path, const QByteArray& bytes);

} // namespace tw::testing
