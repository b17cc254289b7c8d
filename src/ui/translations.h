// Qt's own Japanese catalogue, so the standard buttons of the program's message
// boxes (OK, キャンセル, はい, いいえ) and Qt's own dialogs, such as the printer
// choice, speak the program's language. The program's texts are Japanese in the
// sources and need no catalogue; only Qt's wording changes. Whatever the
// desktop's language is, the catalogue is Japanese.
#pragma once

#include <QString>

class QCoreApplication;
class QTranslator;

namespace tw::ui {

// Loads qtbase_ja from Qt's translations folder and installs it on `app`, which
// owns it. Returns nullptr when the catalogue is not there: Qt's texts then stay
// English and the program runs as before.
QTranslator* installQtJapanese(QCoreApplication& app);

// The same from another folder.
QTranslator* installQtJapanese(QCoreApplication& app, const QString& folder);

} // namespace tw::ui
