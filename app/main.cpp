// 青禾·澜词通: the desktop program.
//
//   lancitong [--ini FILE] [Qt options]
//   lancitong --help | --version
//
// --ini names the settings file; without it the file is found as
// platform/settings_location.h describes. --help and --version print and
// exit before Qt is started, so they need no display.
#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <string>
#include <vector>

#include "app/program_arguments.h"
#include "app/qt_main_window.h"
#include "app/qt_program_font.h"
#include "form/qt_form.h"
#include "form/qt_translations.h"
#include "platform/memory.h"
#include "platform/version.h"

namespace {

// Writes `text` whole to standard output; false when it could not.
bool printOut(std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
           std::fflush(stdout) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const lct::ProgramArguments arguments =
        lct::parseProgramArguments(std::vector<std::string>(argv + 1, argv + argc));
    switch (arguments.action) {
        case lct::ProgramAction::Help:
            return printOut(lct::programUsage()) ? 0 : 1;
        case lct::ProgramAction::Version:
            return printOut("lancitong " + std::string(lct::kVersion) + "\n") ? 0 : 1;
        case lct::ProgramAction::UsageError:
            std::fprintf(stderr, "lancitong: %s\n用 lancitong --help 查看用法\n",
                         arguments.error.c_str());
            return 2;
        case lct::ProgramAction::OpenWindow:
            break;
    }

    lct::returnBigBuffersWhenFreed();
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("cn.qinghe.lancitong"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("cn.qinghe.lancitong"),
                                                 QIcon(QStringLiteral(":/lancitong.png"))));
    QApplication::setFont(lct::withSimplifiedChineseFamilies(QApplication::font()));
    lct::installQtTranslations(application, lct::programLocale(QLocale::system()));
    lct::installQtPendingMessagesHandler();
    lct::MainWindow window(arguments.settingsPath);
    window.show();
    return QApplication::exec();
}
