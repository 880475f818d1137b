// Closing the main window ends the program, also while a batch or a tool's run
// is on the stack: the application's event loop returns, the settings are
// saved and the settings file is released, and no message box shows.
//
// Each row runs the application's event loop; the run starts from a timer
// inside it, and the close arrives from inside the run, as a user's click on
// the window's close button would (the pending-messages hook lets the events
// through, as the program's own handler does). Rows without a run close the
// idle window, a tool window open or not.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest/QtTest>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "app/qt_main_window.h"
#include "form/pending_messages.h"
#include "form/qt_form.h"
#include "platform/charset.h"
#include "tools/tool_window.h"

namespace lct {
namespace {

// The batch buttons' dialogs: the files button gets `files`.
class ChosenFiles final : public BatchDialogs {
  public:
    explicit ChosenFiles(std::vector<std::string> files) : files_(std::move(files)) {}
    std::vector<std::string> chooseFiles(std::string_view, std::string_view,
                                         std::string_view) override {
        return files_;
    }
    std::string chooseFolder(std::string_view, std::string_view) override { return {}; }

  private:
    std::vector<std::string> files_;
};

// Every dialog that shows (a message box, the run report), however briefly.
class DialogSpy final : public QObject {
  public:
    DialogSpy() { qApp->installEventFilter(this); }
    ~DialogSpy() override { qApp->removeEventFilter(this); }
    QStringList shown;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && qobject_cast<QDialog*>(watched)) {
            auto* box = qobject_cast<QMessageBox*>(watched);
            shown << (box ? box->text() : static_cast<QWidget*>(watched)->windowTitle());
        }
        return false;
    }
};

struct Ending {
    bool quit = false;    // the application quit, within the time allowed
    QStringList dialogs;  // dialogs that showed meanwhile
};

// Runs the application's event loop until it quits or `ms` milliseconds have
// passed. A modal dialog that stays up is dismissed, so the loop goes on.
Ending runUntilQuit(int ms) {
    DialogSpy spy;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    QTimer dismiss;
    QObject::connect(&dismiss, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->done(QDialog::Rejected);
    });
    watchdog.start(ms);
    dismiss.start(20);
    Ending ending;
    ending.quit = QApplication::exec() == 0;
    ending.dialogs = spy.shown;
    return ending;
}

// Closes `window` from inside the run, on the `at`-th pass that lets pending
// messages through, the way a click on its close button would arrive.
class CloseInsideTheRun {
  public:
    CloseInsideTheRun(QWidget& window, int at) {
        previous_ = setPendingMessagesHandler([&window, at, calls = 0]() mutable {
            if (++calls == at) QTimer::singleShot(0, &window, [&window] { window.close(); });
            QCoreApplication::processEvents();
        });
    }
    ~CloseInsideTheRun() { setPendingMessagesHandler(previous_); }

  private:
    std::function<void()> previous_;
};

std::string readFile(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// True when nobody holds the file's lock any more.
bool unlocked(const QString& path) {
    const int fd = ::open(path.toStdString().c_str(), O_RDWR);
    if (fd < 0) return false;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return locked;
}

// The settings file holds `line` (UTF-8, converted to the file's GBK).
bool holds(const QString& path, std::string_view line) {
    return readFile(path).find(utf8ToGbk(line)) != std::string::npos;
}

void pressLink(MainWindow& window, std::string_view link) {
    QTest::mousePress(window.form().widget(link), Qt::LeftButton);
    QTest::mouseRelease(window.form().widget(link), Qt::LeftButton);
}

// Opens the tool window of `link`: the window's only tool window.
ToolWindow& openTool(MainWindow& window, std::string_view link) {
    pressLink(window, link);
    ToolWindow* tool = nullptr;
    for (int i = 0; i < 100 && !tool; ++i) {
        QTest::qWait(10);
        tool = window.findChild<ToolWindow*>();
    }
    if (!tool) qFatal("no tool window opened");
    return *tool;
}

std::string lines(std::string_view prefix, int n) {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += std::string(prefix) + std::to_string(i) + "\r\n";
    return text;
}

void set(QtForm& form, std::string_view name, const std::string& text) {
    form.find(name)->setText(text);
}

void clickLater(QtForm& form, std::string_view button) {
    QTimer::singleShot(0, form.widgetAs<QPushButton>(button), &QPushButton::click);
}

// Something that goes on in the window when the close arrives. `start` sets
// it up and starts it from inside the event loop; it returns the tool window
// it opened, if any.
struct Scenario {
    const char* name;
    int closeAt;  // the pass of pending messages that closes the window; 0: none, it closes idle
    bool batch;   // a batch over the 400 articles
    std::vector<std::string_view> held;  // lines the settings file holds afterwards
    QWidget* (*start)(MainWindow& window);
};

// A tool window with its options set, started with a click once the loop runs.
QWidget* startTool(MainWindow& window, std::string_view link,
                   std::initializer_list<std::pair<std::string_view, std::string>> options,
                   std::string_view button) {
    ToolWindow& tool = openTool(window, link);
    for (const auto& [name, text] : options)
        set(tool.form(), name, text);
    if (!button.empty()) clickLater(tool.form(), button);
    return &tool;
}

QWidget* idle(MainWindow& window) {
    set(window.form(), "编辑框新文件扩展名", "idle");
    return nullptr;
}

QWidget* batch(MainWindow& window) {
    set(window.form(), "编辑框新文件扩展名", "out");
    clickLater(window.form(), "按钮批量处理");
    return nullptr;
}

QWidget* randomText(MainWindow& window) {
    return startTool(window, "链接随机文本生成器", {{"编辑框组数", "1000000"}}, "按钮生成汉字");
}

// The sequence is written at once, with no pass: the close comes with the
// window open.
QWidget* sequenceText(MainWindow& window) {
    return startTool(window, "链序列文本生成器", {{"编辑框起始值", "7"}}, {});
}

// 17^4 = 83,521 lines: long enough to close inside, and below the count that
// asks before it starts.
QWidget* combination(MainWindow& window) {
    return startTool(window, "链接关键词遍历组合",
                     {{"编辑框词1", lines("w1-", 17)},
                      {"编辑框词2", lines("w2-", 17)},
                      {"编辑框词3", lines("w3-", 17)},
                      {"编辑框词4", lines("w4-", 17)},
                      {"编辑框符号", "+"}},
                     "按钮开始组合");
}

QWidget* merge(MainWindow& window) {
    return startTool(window, "链接关键词合并",
                     {{"编辑框列表1", lines("a", 20000)},
                      {"编辑框列表2", lines("b", 20000)},
                      {"编辑框符号", "="}},
                     "按钮合并");
}

// The anchor text composer keeps no settings of its own.
QWidget* anchorTexts(MainWindow& window) {
    return startTool(window, "链接锚文本合成器",
                     {{"编辑框关键词列表", lines("k", 20000)},
                      {"编辑框网址列表", lines("https://example.com/", 20000)}},
                     "按钮合成");
}

const Scenario kScenarios[] = {
    {"nothing", 0, false, {"新文件扩展名=idle"}, idle},
    {"a batch", 20, true, {"新文件扩展名=out"}, batch},
    {"random text", 20, false, {"[随机文本生成器]", "组数=1000000"}, randomText},
    {"sequence text", 0, false, {"[序列文本生成器]", "编辑框起始值=7"}, sequenceText},
    {"a combination", 50, false, {"[关键词遍历组合器]", "组合符号=+"}, combination},
    {"a merge", 50, false, {"[关键词合并器]", "符号=="}, merge},
    {"anchor texts", 50, false, {"[主界面]"}, anchorTexts},
};

}  // namespace

class QtMainWindowClosingTest : public QObject {
    Q_OBJECT

  private slots:
    // Whatever is on the stack, the close ends the program silently, saves
    // the settings and releases them.
    void closingEndsTheProgram_data() {
        QTest::addColumn<int>("scenario");
        for (int i = 0; i < static_cast<int>(std::size(kScenarios)); ++i)
            QTest::newRow(kScenarios[i].name) << i;
    }

    void closingEndsTheProgram() {
        QFETCH(int, scenario);
        const Scenario& s = kScenarios[scenario];
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("s.ini"));
        const std::string folder = dir.filePath(QStringLiteral("articles")).toStdString();
        std::filesystem::create_directory(folder);
        std::vector<std::string> articles;
        for (int i = 0; i < 400; ++i) {
            articles.push_back(folder + "/" + std::to_string(i) + ".txt");
            std::ofstream(articles.back()) << "first line\nsecond line\n";
        }
        MainWindow window(ini.toStdString(), std::make_unique<ChosenFiles>(articles));
        window.show();
        QVERIFY(!unlocked(ini));
        const QPointer<QWidget> tool = s.start(window);
        Ending ending;
        if (s.closeAt == 0) {
            QTimer::singleShot(0, &window, [&window] { window.close(); });
            ending = runUntilQuit(10000);
        } else {
            CloseInsideTheRun close(window, s.closeAt);
            ending = runUntilQuit(10000);
        }
        QVERIFY(ending.quit);
        QCOMPARE(ending.dialogs, QStringList());
        QVERIFY(!window.isVisible());
        QVERIFY(!tool || !tool->isVisible());
        QVERIFY(unlocked(ini));
        for (std::string_view line : s.held)
            QVERIFY2(holds(ini, line), line.data());
        if (!s.batch) return;
        // Stopped half-way: some results, and the button idle again.
        const auto written =
            std::distance(std::filesystem::directory_iterator(folder + "/关键词插入结果"), {});
        QVERIFY2(written > 0 && written < 400, std::to_string(written).c_str());
        QCOMPARE(textOf(window.form(), "按钮批量处理"), utf8ToGbk("批量处理(文件)"));
    }
};

}  // namespace lct

QTEST_MAIN(lct::QtMainWindowClosingTest)
#include "qt_main_window_closing_test.moc"
