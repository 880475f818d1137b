// 青禾·澜词通: the desktop program.
//
//   lancitong [--ini FILE]
//
// --ini names the settings file; without it the file is found as
// platform/settings_location.h describes.
#include <QApplication>
#include <QIcon>
#include <string>

#include "app/qt_main_window.h"
#include "form/qt_form.h"
#include "form/qt_translations.h"

namespace {

// The settings file given with --ini FILE or --ini=FILE; empty for none.
std::string iniArgument(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QStringLiteral("--ini") && i + 1 < arguments.size())
            return arguments[i + 1].toStdString();
        if (arg.startsWith(QStringLiteral("--ini="))) return arg.mid(6).toStdString();
    }
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("cn.qinghe.lancitong"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("cn.qinghe.lancitong"),
                                                 QIcon(QStringLiteral(":/lancitong.png"))));
    lct::installQtTranslations(application, lct::programLocale(QLocale::system()));
    lct::installQtPendingMessagesHandler();
    lct::MainWindow window(iniArgument(QApplication::arguments()));
    window.show();
    return QApplication::exec();
}
