#include "ui/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tw::ui {

QTranslator* installQtJapanese(QCoreApplication& app) {
    return installQtJapanese(app, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

QTranslator* installQtJapanese(QCoreApplication& app, const QString& folder) {
    // Owned by the application object, which keeps it installed for its lifetime.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                          folder)) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

} // namespace tw::ui
