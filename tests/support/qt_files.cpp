#include "support/qt_files.h"

#include "support/file_bytes.h"

#include <QFile>

#include <string>

namespace tw::testing {

namespace {
// The path as the file system spells it, for the byte helpers of file_bytes.h.
std::filesystem::path fsPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
} // namespace

QByteArray readFile(const QString& path) {
    return QByteArray::fromStdString(readBytes(fsPath(path)));
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    return writeBytes(fsPath(path), bytes.toStdString());
}

} // namespace tw::testing
