// Entry point: the command line, the application object with its Japanese font
// and Qt catalogue, and the start-up; everything else lives in TallowindApp and
// the windows it opens.
#include "app/gui/startup.h"
#include "app/start_args.h"
#include "printing/gui/printer_offsets.h"
#include "tallowind_version.h"
#include "ui/fonts.h"
#include "ui/translations.h"

#include <QApplication>
#include <QSettings>

#include <cstdlib>
#include <iostream>

namespace {

std::vector<std::string> argsOf(int argc, char* argv[]) {
    return {argv + (argc > 0 ? 1 : 0), argv + argc};
}

} // namespace

int main(int argc, char* argv[]) {
    // --version and --help answer before the application object, which needs a display.
    if (const tw::app::StartArgs early = tw::app::parseStartArgs(argsOf(argc, argv)); early.version || early.help) {
        std::cout << (early.version ? std::string("tallowind ") + tw::kVersion + "\n" : tw::app::startUsage());
        return 0;
    }

    QApplication app(argc, argv); // takes Qt's own options out of argv
    const tw::app::StartArgs args = tw::app::parseStartArgs(argsOf(argc, argv));
    if (!args.error.empty()) {
        std::cerr << "tallowind: " << args.error << "\n";
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("Tallowind"));
    QApplication::setApplicationVersion(QString::fromLatin1(tw::kVersion));
    tw::ui::installJapaneseUiFont(app);
    tw::ui::installQtJapanese(app);
    // The print offsets of each printer are kept in the user's settings file;
    // set here, not in the windows, so that tests never reach that file.
    tw::printing::setOffsetSettingsFile(
        QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tallowind"), QStringLiteral("Tallowind"))
            .fileName());

    tw::app::StartupOptions options;
    options.workingDir = args.workdir;
    options.userData = args.userData;
    if (const char* env = std::getenv(tw::app::kWorkdirEnvVar))
        options.envWorkingDir = env;

    tw::app::TallowindApp tallowind(std::move(options));
    switch (tallowind.Main()) {
    case tw::app::TallowindApp::Outcome::AlreadyRunning:
        return 0;
    case tw::app::TallowindApp::Outcome::FolderFailed:
    case tw::app::TallowindApp::Outcome::LoadFailed:
        return 1;
    case tw::app::TallowindApp::Outcome::Running:
        break;
    }
    return QApplication::exec();
}
