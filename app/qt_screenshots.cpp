// lancitong-screenshots: renders the pictures of the README (docs/*.png) from
// the real main window: insert mode, the shuffle panel, two previews in
// replace mode and a tool window, each with the frame its window manager
// draws. scripts/screenshot runs it under Xvfb with a small window manager.
//
//   lancitong-screenshots OUTPUT_FOLDER SETTINGS_FILE
#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/main_window_names.h"
#include "app/qt_main_window.h"
#include "app/qt_program_font.h"
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

// The window as the screen shows it, with its title bar and borders.
bool save(QWidget& widget, const QString& folder, const char* name) {
    const QString path = folder + QLatin1Char('/') + QLatin1String(name);
    widget.raise();
    settle();
    const QRect frame = widget.frameGeometry();
    const QPixmap picture =
        widget.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    const bool saved = picture.save(path, "PNG");
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

// A page with a heading, an image's alt text and a link that hold the
// keywords: replace mode leaves those alone and links the others.
void showReplaceRules(MainWindow& window) {
    window.form().find(kReplaceAvoidHeadings)->setTicked(true);
    window.form()
        .find(kPreviewContent)
        ->setText(utf8ToGbk(
            "<h2>青禾农场的节水灌溉</h2>\r\n"
            "<p>城郊的青禾农场迎来了丰收。<img alt=\"青禾农场的稻田\" src=\"field.jpg\"></p>\r\n"
            "<p>新引进的节水灌溉设备功不可没，<a href=\"/news/1\">青禾农场</a>"
            "还请农业大学的专家定期指导。</p>\r\n"
            "<p>专家表示，青禾农场的节水灌溉值得在周边地区推广。</p>"));
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
    showReplaceRules(window);
    ok = save(window, folder, "replace-preview.png") && ok;
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
    QApplication::setFont(lct::withSimplifiedChineseFamilies(QApplication::font()));
    if (argc != 3) {
        std::fprintf(stderr, "usage: lancitong-screenshots OUTPUT_FOLDER SETTINGS_FILE\n");
        return 2;
    }
    lct::installQtTranslations(application, lct::programLocale(QLocale::system()));
    lct::installQtPendingMessagesHandler();
    return lct::render(QString::fromLocal8Bit(argv[1]), argv[2]);
}
