// Window tests over the bundled history: a temporary working folder holding
// copies of both bundled table files, and the application state and draw
// history the main window starts with in that folder.
#pragma once

#include "app/app_state.h"
#include "history/num_data.h"
#include "history/table_file.h"

#include <QFile>
#include <QString>
#include <QtGlobal>

namespace tw::testing {

struct BundledWorkdir {
    app::AppState appState;
    history::DrawHistory history;
};

// Copies Num3Data.tbl and Num4Data.tbl from the bundled data into `dir` (replacing
// older copies) and loads them as the program would; stops the test run on failure.
inline BundledWorkdir prepareBundledWorkdir(const QString& dir) {
    for (const char* name : {"Num3Data.tbl", "Num4Data.tbl"}) {
        const QString target = dir + QLatin1Char('/') + QString::fromLatin1(name);
        QFile::remove(target);
        if (!QFile::copy(QStringLiteral(TALLOWIND_DATA_DIR "/") + QString::fromLatin1(name), target))
            qFatal("cannot copy %s into %s", name, qPrintable(dir));
    }
    BundledWorkdir workdir;
    workdir.appState = app::InitAppState(dir.toStdString());
    for (const common::Game game : common::kGames) {
        auto loaded = history::loadTableFile(workdir.appState.tableFilePath(game));
        if (loaded.error)
            qFatal("cannot load the bundled table: %s", loaded.error.message().c_str());
        workdir.history.table(game) = std::move(loaded.table);
    }
    return workdir;
}

} // namespace tw::testing
