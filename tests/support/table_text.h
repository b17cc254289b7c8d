// Small draw table files for the start-up and window tests: the text of a
// table with rounds 1..n in the file's line shape, and a snapshot of a folder's
// files to show that nothing was written.
#pragma once

#include "support/qt_files.h"

#include <QByteArray>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

namespace tw::testing {

// One table line of round `round` of game 3 or 4, with CR LF. The digits and
// amounts follow from the round, so a test can tell rounds apart.
inline QByteArray tableLine(int game, int round) {
    const QDate date = QDate(1994, 10, 7).addDays(7L * round);
    QString digits;
    for (int place = 0; place < game; ++place)
        digits += QLatin1Char(static_cast<char>('0' + (round + place * 3) % 10));
    QString line = QStringLiteral("%1,%2,%3,%4,%5,%6,%7")
                       .arg(round)
                       .arg(date.toString(QStringLiteral("yyyy/MM/dd")), digits)
                       .arg(90000 + round)
                       .arg(15000 + round)
                       .arg(52000 + round)
                       .arg(7500 + round);
    if (game == 3)
        line += QStringLiteral(",%1").arg(9000 + round);
    return line.toLatin1() + "\r\n";
}

inline QByteArray tableText(int game, int rounds) {
    QByteArray text;
    for (int round = 1; round <= rounds; ++round)
        text += tableLine(game, round);
    return text;
}

// Names and contents of every file in a folder, to show that nothing was written.
inline QMap<QString, QByteArray> snapshot(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
        files.insert(name, readFile(QDir(folder).filePath(name)));
    return files;
}

} // namespace tw::testing
