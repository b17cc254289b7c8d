// Font choices shared by the windows: the banner font (Impact where installed,
// a heavy sans-serif otherwise) and a user-interface font that puts a Japanese
// family first, so the program's Japanese texts never depend on font fallback.
#pragma once

#include <QFont>

class QApplication;

namespace tw::ui {

// The Japanese family the windows prefer, when one of the known ones is installed.
QString japaneseFamily();

// Makes the application's default font start with the Japanese family (if any).
void installJapaneseUiFont(QApplication& app);

// The font of the game banners ("Numbers" and the game digit).
QFont bannerFont(int pointSize);

} // namespace tw::ui
