// lancitong-screenshots: renders the pictures of the README (docs/*.png) from
// the real main window: insert mode, the shuffle panel, a preview in replace
// mode and a tool window. scripts/screenshot runs it under Xvfb.
//
//   lancitong-screenshots OUTPUT_FOLDER SETTINGS_FILE
#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/main_window_names.h"
#include "app/qt_main_window.h"
#include "form/qt_form.h"
#include "form/qt_translations.h"
#include "platform/charset.h"
#include "tools/keyword_combiner_names.h"
#include "tools/tool_window.h"

namespace lct {
namespace {

using namespace main_window;

// Lets the window lay itself out and paint.
void settle() {
    QEventLoop loop;
    QTimer::singleShot(400, &loop, &QEventLoop::quit);
    loop.exec();
}

bool save(QWidget& widget, const QString& folder, const char* name) {
    const QString path = folder + QLatin1Char('/') + QLatin1String(name);
    const bool saved = widget.grab().save(path, "PNG");
    std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

// Links react to the press of the mouse button.
void press(MainWindow& window, std::string_view link) {
    emit window.form().widgetAs<QAbstractButton>(link)->pressed();
    settle();
}

void click(MainWindow& window, std::string_view button) {
    window.form().widgetAs<QAbstractButton>(button)->click();
    settle();
}

// Replace mode, keywords that the sample article holds, and its preview.
void showReplacePreview(MainWindow& window) {
    click(window, kReplaceRadio);
    window.form().find(kKeywordList)->setText(utf8ToGbk("青禾农场\r\n节水灌溉\r\n农业大学"));
    window.form()
        .find(kTemplates)
        ->setText(utf8ToGbk("<a href=\"https://www.example.com/\">*</a>"));
    click(window, kPreviewButton);
}

int render(const QString& folder, const std::string& settingsPath) {
    MainWindow window(settingsPath);
    window.show();
    settle();
    bool ok = save(window, folder, "main-window-insert.png");
    press(window, kShufflePanelLink);
    ok = save(window, folder, "main-window-shuffle.png") && ok;
    press(window, kShufflePanelLink);
    showReplacePreview(window);
    ok = save(window, folder, "main-window-replace-preview.png") && ok;
    press(window, kKeywordCombinerLink);
    const QList<ToolWindow*> tools = window.findChildren<ToolWindow*>();
    if (tools.isEmpty()) return 1;
    // The combinations of its sample word groups.
    tools.front()->form().widgetAs<QAbstractButton>(keyword_combiner::kStart)->click();
    settle();
    ok = save(*tools.front(), folder, "tool-keyword-combiner.png") && ok;
    window.close();
    return ok ? 0 : 1;
}

}  // namespace
}  // namespace lct

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: lancitong-screenshots OUTPUT_FOLDER SETTINGS_FILE\n");
        return 2;
    }
    lct::installQtTranslations(application, lct::programLocale(QLocale::system()));
    lct::installQtPendingMessagesHandler();
    return lct::render(QString::fromLocal8Bit(argv[1]), argv[2]);
}
