#include "ui/fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

namespace tw::ui {

namespace {
bool installed(const QString& family) {
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}
} // namespace

QString japaneseFamily() {
    // The program is set up with IPAex Gothic; the others are accepted when present.
    for (const char* family : {"IPAexGothic", "IPAGothic", "IPAPGothic", "Noto Sans CJK JP"}) {
        const QString name = QString::fromLatin1(family);
        if (installed(name))
            return name;
    }
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    return japanese.isEmpty() ? QString() : japanese.front();
}

void installJapaneseUiFont(QApplication& app) {
    const QString family = japaneseFamily();
    if (family.isEmpty())
        return;
    QFont font = QApplication::font();
    font.setFamilies({family, font.family()});
    app.setFont(font);
}

QFont bannerFont(int pointSize) {
    QFont font;
    if (installed(QStringLiteral("Impact"))) {
        font.setFamily(QStringLiteral("Impact"));
    } else {
        font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
        font.setStyleHint(QFont::SansSerif);
        font.setWeight(QFont::Black);
    }
    font.setPointSize(pointSize);
    return font;
}

} // namespace tw::ui
