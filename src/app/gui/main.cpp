// Entry point: the application object and the start-up; everything else lives in
// TallowindApp and the windows it opens.
#include "app/gui/startup.h"
#include "ui/fonts.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tallowind"));
    tw::ui::installJapaneseUiFont(app);

    tw::app::TallowindApp tallowind;
    switch (tallowind.Main()) {
    case tw::app::TallowindApp::Outcome::AlreadyRunning:
        return 0;
    case tw::app::TallowindApp::Outcome::LoadFailed:
        return 1;
    case tw::app::TallowindApp::Outcome::Running:
        break;
    }
    return QApplication::exec();
}
