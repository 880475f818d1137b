// Closing the main window ends the program, also while a batch or a tool's run
// is on the stack: the application's event loop returns, the settings are
// saved and the settings file is released, and no message box shows.
//
// Each test runs the application's event loop; the run starts from a timer
// inside it, and the close arrives from inside the run, as a user's click on
// the window's close button would (the pending-messages hook lets the events
// through, as the program's own handler does).
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
#include <memory>

#include "app/qt_main_window.h"
#include "form/pending_messages.h"
#include "form/qt_form.h"
#include "platform/charset.h"
#include "tools/keyword_combiner_window.h"
#include "tools/keyword_merger_window.h"
#include "tools/random_text_window.h"

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

template <typename Tool>
Tool* openTool(MainWindow& window, std::string_view link) {
    pressLink(window, link);
    Tool* tool = nullptr;
    for (int i = 0; i < 100 && !tool; ++i) {
        QTest::qWait(10);
        tool = window.findChild<Tool*>();
    }
    return tool;
}

std::string lines(std::string_view prefix, int n) {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += std::string(prefix) + std::to_string(i) + "\r\n";
    return text;
}

void clickLater(QtForm& form, std::string_view button) {
    QTimer::singleShot(0, form.widgetAs<QPushButton>(button), &QPushButton::click);
}

}  // namespace

class QtMainWindowClosingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    QString ini() const { return dir_->filePath(QStringLiteral("s.ini")); }

  private slots:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }

    void closingWithoutARunReleasesTheSettings() {
        MainWindow window(ini().toStdString());
        window.show();
        window.form().find("编辑框新文件扩展名")->setText("idle");
        QVERIFY(!unlocked(ini()));
        QTimer::singleShot(0, &window, [&window] { window.close(); });
        const Ending ending = runUntilQuit(10000);
        QVERIFY(ending.quit);
        QVERIFY(unlocked(ini()));
        QVERIFY(holds(ini(), "新文件扩展名=idle"));
    }

    void closingDuringABatchEndsTheProgram() {
        const QString folder = dir_->filePath(QStringLiteral("articles"));
        std::filesystem::create_directory(folder.toStdString());
        std::vector<std::string> paths;
        for (int i = 0; i < 400; ++i) {
            paths.push_back(folder.toStdString() + "/" + std::to_string(i) + ".txt");
            std::ofstream(paths.back()) << "first line\nsecond line\n";
        }
        MainWindow window(ini().toStdString(), std::make_unique<ChosenFiles>(paths));
        window.show();
        window.form().find("编辑框新文件扩展名")->setText("out");
        clickLater(window.form(), "按钮批量处理");
        Ending ending;
        {
            CloseInsideTheRun close(window, 20);
            ending = runUntilQuit(10000);
        }
        QVERIFY(ending.quit);
        QCOMPARE(ending.dialogs, QStringList());
        QVERIFY(!window.isVisible());
        std::size_t results = 0;
        for (const auto& entry :
             std::filesystem::directory_iterator(folder.toStdString() + "/关键词插入结果")) {
            (void)entry;
            ++results;
        }
        QVERIFY2(results > 0 && results < paths.size(), std::to_string(results).c_str());
        QVERIFY(unlocked(ini()));
        QVERIFY(holds(ini(), "新文件扩展名=out"));
        QCOMPARE(textOf(window.form(), "按钮批量处理"), utf8ToGbk("批量处理(文件)"));
    }

    void closingDuringARandomTextRunEndsTheProgram() {
        MainWindow window(ini().toStdString());
        window.show();
        QPointer<RandomTextWindow> tool = openTool<RandomTextWindow>(window, "链接随机文本生成器");
        QVERIFY(tool);
        tool->form().find("编辑框组数")->setText("1000000");
        clickLater(tool->form(), "按钮生成汉字");
        Ending ending;
        {
            CloseInsideTheRun close(window, 20);
            ending = runUntilQuit(10000);
        }
        QVERIFY(ending.quit);
        QCOMPARE(ending.dialogs, QStringList());
        QVERIFY(!tool || !tool->isVisible());
        QVERIFY(unlocked(ini()));
        QVERIFY(holds(ini(), "[随机文本生成器]"));
        QVERIFY(holds(ini(), "组数=1000000"));
    }

    void closingDuringACombinationEndsTheProgram() {
        MainWindow window(ini().toStdString());
        window.show();
        QPointer<KeywordCombinerWindow> tool =
            openTool<KeywordCombinerWindow>(window, "链接关键词遍历组合");
        QVERIFY(tool);
        // 17^4 = 83,521 lines: long enough to close inside, and below the
        // count that asks before it starts.
        for (int group = 1; group <= 4; ++group)
            tool->form()
                .find("编辑框词" + std::to_string(group))
                ->setText(lines("w" + std::to_string(group) + "-", 17));
        tool->form().find("编辑框符号")->setText("+");
        clickLater(tool->form(), "按钮开始组合");
        Ending ending;
        {
            CloseInsideTheRun close(window, 50);
            ending = runUntilQuit(10000);
        }
        QVERIFY(ending.quit);
        QCOMPARE(ending.dialogs, QStringList());
        QVERIFY(!tool || !tool->isVisible());
        QVERIFY(unlocked(ini()));
        QVERIFY(holds(ini(), "[关键词遍历组合器]"));
        QVERIFY(holds(ini(), "组合符号=+"));
    }

    void closingDuringAMergeEndsTheProgram() {
        MainWindow window(ini().toStdString());
        window.show();
        QPointer<KeywordMergerWindow> tool =
            openTool<KeywordMergerWindow>(window, "链接关键词合并");
        QVERIFY(tool);
        tool->form().find("编辑框列表1")->setText(lines("a", 20000));
        tool->form().find("编辑框列表2")->setText(lines("b", 20000));
        tool->form().find("编辑框符号")->setText("=");
        clickLater(tool->form(), "按钮合并");
        Ending ending;
        {
            CloseInsideTheRun close(window, 50);
            ending = runUntilQuit(10000);
        }
        QVERIFY(ending.quit);
        QCOMPARE(ending.dialogs, QStringList());
        QVERIFY(!tool || !tool->isVisible());
        QVERIFY(unlocked(ini()));
        QVERIFY(holds(ini(), "[关键词合并器]"));
        QVERIFY(holds(ini(), "符号=="));
    }
};

}  // namespace lct

QTEST_MAIN(lct::QtMainWindowClosingTest)
#include "qt_main_window_closing_test.moc"
