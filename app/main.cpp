// 青禾·澜词通: the desktop program.
#include <QApplication>

#include "form/qt_form.h"
#include "app/qt_main_window.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    lct::installQtPendingMessagesHandler();
    lct::MainWindow window;
    window.show();
    return QApplication::exec();
}
