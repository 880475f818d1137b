// The main window on the offscreen platform: its widgets are wired to the
// window logic, and its settings are saved on closing and loaded on showing.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QtTest>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/qt_main_window.h"
#include "app/qt_run_report.h"
#include "form/pending_messages.h"
#include "form/qt_form.h"
#include "platform/charset.h"
#include "tools/random_text_window.h"

namespace lct {

class QtMainWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::string settings() const { return (dir_.path() + QStringLiteral("/s.ini")).toStdString(); }

  private slots:
    void aSecondCopyMarksItsTitleAndSavesNothing() {
        MainWindow first(settings());
        MainWindow second(settings());
        QVERIFY(!first.windowTitle().contains(QStringLiteral("只读")));
        QVERIFY(second.windowTitle().contains(QStringLiteral("只读")));
    }

    // A copy that cannot save asks before its changes are lost; unchanged it
    // closes without a word.
    void aSecondCopyAsksBeforeItClosesWithChanges() {
        MainWindow first(settings());
        MainWindow second(settings());
        second.show();
        QVERIFY(QTest::qWaitForWindowExposed(&second));
        second.form().find("编辑框过滤")->setText("*.changed");
        QStringList asked;
        auto answer = [&asked](QMessageBox::StandardButton button) {
            QTimer::singleShot(0, [&asked, button] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) return;
                asked << box->text();
                box->button(button)->click();
            });
        };
        answer(QMessageBox::No);
        QVERIFY(!second.close());
        QCOMPARE(asked,
                 QStringList{QStringLiteral(
                     "另一个青禾·澜词通占用着配置文件，本窗口的修改不会保存。仍要关闭吗？")});
        answer(QMessageBox::Yes);
        QVERIFY(second.close());
        MainWindow third(settings());
        third.show();
        QVERIFY(QTest::qWaitForWindowExposed(&third));
        QVERIFY(third.close());  // nothing changed: no question
        QCOMPARE(asked.size(), 2);
    }

    void aLongFailureListScrollsInsideTheScreen() {
        std::vector<RunFailure> failures;
        for (int i = 0; i < 82; ++i)
            failures.push_back({"/home/user/articles/" + std::to_string(i) + ".txt",
                                "无法写入结果文件：磁盘已满"});
        std::unique_ptr<QDialog> dialog(makeRunReportDialog(makeRunReport(failures, {}), nullptr));
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        const QRect screen = dialog->screen()->availableGeometry();
        QVERIFY(dialog->frameGeometry().height() <= screen.height());
        QVERIFY(dialog->frameGeometry().width() <= screen.width());
        auto* list = dialog->findChild<QTableWidget*>(QStringLiteral("列表"));
        QVERIFY(list);
        QCOMPARE(list->rowCount(), 82);
        QCOMPARE(list->item(3, 1)->text(), QStringLiteral("无法写入结果文件：磁盘已满"));
        QVERIFY(list->verticalScrollBar()->maximum() > 0);  // the list scrolls
        // The reason column ends inside the table: no reason is off the right.
        QVERIFY(list->columnViewportPosition(1) + list->columnWidth(1) <=
                list->viewport()->width());
        auto* ok = dialog->findChild<QDialogButtonBox*>();
        QVERIFY(ok && ok->isVisible());
        QVERIFY(dialog->rect().contains(ok->geometry()));
        dialog->findChild<QPushButton*>(QStringLiteral("复制列表"))->click();
        QVERIFY(QGuiApplication::clipboard()->text().startsWith(
            QStringLiteral("/home/user/articles/0.txt：无法写入结果文件：磁盘已满\n")));
    }

    void previewShowsTheProcessedArticle() {
        MainWindow window(settings());
        window.show();
        QtForm& form = window.form();
        form.find("编辑框关键词列表")->setText(utf8ToGbk("青禾"));
        form.find("编辑框再组合关键词")->setText("[*]");
        form.find("组合框标题插入类型")->setSelectedIndex(2);
        form.find("编辑框标题间隔符")->setText("");
        form.find("编辑框预览标题")->setText("T");
        form.widgetAs<QPushButton>("按钮预览")->click();
        QCOMPARE(form.find("编辑框结果标题")->text(), utf8ToGbk("T[青禾]"));
        QVERIFY(form.find("编辑框结果内容")->text().find(utf8ToGbk("[青禾]")) != std::string::npos);
        QCOMPARE(form.find("按钮预览")->text(), utf8ToGbk("预览"));
        window.close();
    }

    // A replace-mode preview paints each replaced item, and only those, and
    // says how many there are; the text stays the plain result.
    void previewPaintsTheReplacedItems() {
        MainWindow window(settings());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QtForm& form = window.form();
        form.widgetAs<QAbstractButton>("单选框替换")->click();
        QVERIFY(form.find("选择框替换整词")->enabled());
        form.find("编辑框关键词列表")->setText(utf8ToGbk("青禾\r\ncat"));
        form.find("编辑框再组合关键词")->setText("[*]");
        // A four-byte character (U+20000, two UTF-16 units) and line breaks
        // before the items move their places in the widget.
        form.find("编辑框预览内容")
            ->setText(utf8ToGbk("<a href=/>青禾</a>\r\n\U00020000青禾 category cat\r\n青禾"));
        form.widgetAs<QPushButton>("按钮预览")->click();
        const std::string result = form.find("编辑框结果内容")->text();
        QCOMPARE(gbkToUtf8(result),
                 std::string("<a href=/>青禾</a>\r\n\U00020000[青禾] category [cat]\r\n[青禾]"));
        QCOMPARE(form.find("标签32")->text(), utf8ToGbk("替换 3 处"));
        auto* edit = form.widgetAs<QPlainTextEdit>("编辑框结果内容");
        QStringList painted;
        for (const QTextEdit::ExtraSelection& s : edit->extraSelections()) {
            QCOMPARE(s.format.background().color(), QColor(0xFF, 0xE8, 0x8C));
            painted << s.cursor.selectedText();
        }
        QCOMPARE(painted, (QStringList{QStringLiteral("[青禾]"), QStringLiteral("[cat]"),
                                       QStringLiteral("[青禾]")}));
        // The document holds the plain result: nothing was written into it.
        QCOMPARE(edit->toPlainText(), toQString(result));
        form.widgetAs<QPushButton>("按钮3")->click();
        QCOMPARE(form.clipboardText(), result);
        // Insert mode paints its items too, in the title as well.
        form.widgetAs<QAbstractButton>("单选框插入")->click();
        form.find("组合框标题插入类型")->setSelectedIndex(2);
        form.find("编辑框标题间隔符")->setText("");
        form.find("编辑框预览标题")->setText("T");
        form.widgetAs<QPushButton>("按钮预览")->click();
        QCOMPARE(form.find("编辑框结果标题")->text().substr(0, 2), std::string("T["));
        QCOMPARE(form.find("标签32")->text().substr(0, 4), utf8ToGbk("插入"));
        QVERIFY(!edit->extraSelections().isEmpty());
        for (const QTextEdit::ExtraSelection& s : edit->extraSelections())
            QVERIFY(s.cursor.selectedText().startsWith(QLatin1Char('[')));
        // The title's line edit shows the mark's colour where the item is.
        auto* title = form.widgetAs<QLineEdit>("编辑框结果标题");
        const QImage image = title->grab().toImage();
        int marked = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                marked += image.pixelColor(x, y) == QColor(0xFF, 0xE8, 0x8C);
        }
        QVERIFY(marked > 20);
        form.find("编辑框结果标题")->setText("T");  // a new text has no marks
        QTest::qWait(1);
        const QImage plain = title->grab().toImage();
        for (int y = 0; y < plain.height(); ++y) {
            for (int x = 0; x < plain.width(); ++x)
                QVERIFY(plain.pixelColor(x, y) != QColor(0xFF, 0xE8, 0x8C));
        }
        // A change of what the preview ran on makes its marks outdated.
        for (const char* input : {"编辑框关键词列表", "编辑框预览内容"}) {
            form.widgetAs<QPushButton>("按钮预览")->click();
            QVERIFY(!edit->extraSelections().isEmpty());
            form.widgetAs<QPlainTextEdit>(input)->insertPlainText(QStringLiteral("新"));
            QVERIFY2(edit->extraSelections().isEmpty(), input);
            QCOMPARE(form.find("标签32")->text(), std::string());
        }
        window.close();
    }

    void contentTypeChoiceAppliesTheRules() {
        MainWindow window(settings());
        window.show();
        auto* combo = window.form().widgetAs<QComboBox>("组合框内容插入类型");
        combo->setCurrentIndex(14);
        emit combo->activated(14);
        QVERIFY(window.form().find("组合框符号插入模式")->visible());
        QVERIFY(window.form().find("编辑框句子结尾符")->enabled());
        window.close();
    }

    void clipboardButtonsPasteAndCopy() {
        MainWindow window(settings());
        window.show();
        QtForm& form = window.form();
        const std::pair<const char*, const char*> pastes[] = {
            {"按钮粘贴", "编辑框关键词列表"},
            {"按钮粘贴1", "编辑框再组合关键词"},
            {"按钮1", "编辑框预览标题"},
            {"按钮2", "编辑框预览内容"},
        };
        for (const auto& [button, box] : pastes) {
            form.setClipboardText(utf8ToGbk(button));
            form.widgetAs<QPushButton>(button)->click();
            QCOMPARE(form.find(box)->text(), utf8ToGbk(button));
        }
        const std::pair<const char*, const char*> copies[] = {
            {"按钮4", "编辑框结果标题"},
            {"按钮3", "编辑框结果内容"},
        };
        for (const auto& [button, box] : copies) {
            form.find(box)->setText(utf8ToGbk(box));
            form.widgetAs<QPushButton>(button)->click();
            QCOMPARE(form.clipboardText(), utf8ToGbk(box));
        }
        window.close();
    }

    void switchesApplyTheirRules() {
        MainWindow window(settings());
        window.show();
        QtForm& form = window.form();
        form.widgetAs<QAbstractButton>("单选框替换")->click();
        QVERIFY(!form.find("单选框插入")->ticked());
        QVERIFY(!form.find("选择框插入标题")->enabled());
        form.widgetAs<QAbstractButton>("单选框插入")->click();
        QVERIFY(!form.find("单选框替换")->ticked());
        QVERIFY(form.find("选择框插入标题")->enabled());
        form.widgetAs<QAbstractButton>("选择框插入次数")->click();
        QVERIFY(!form.find("编辑框次数1")->enabled());
        form.widgetAs<QAbstractButton>("选择框替换内容")->click();
        QVERIFY(form.find("编辑框内容匹配式")->enabled());
        window.close();
    }

    void theFolderButtonAsksForAFolderOnClickAndOnRightRelease() {
        // Records the titles it is asked with and cancels every dialog.
        struct Dialogs final : BatchDialogs {
            std::vector<std::string>* titles;
            explicit Dialogs(std::vector<std::string>* t) : titles(t) {}
            std::vector<std::string> chooseFiles(std::string_view title, std::string_view,
                                                 std::string_view) override {
                titles->emplace_back(title);
                return {};
            }
            std::string chooseFolder(std::string_view title, std::string_view) override {
                titles->emplace_back(title);
                return {};
            }
        };
        std::vector<std::string> titles;
        MainWindow window(settings(), std::make_unique<Dialogs>(&titles));
        window.show();
        QtForm& form = window.form();
        form.widgetAs<QPushButton>("按钮批量处理文件夹")->click();
        QTest::mouseRelease(form.widget("按钮批量处理文件夹"), Qt::RightButton);
        form.widgetAs<QPushButton>("按钮批量处理")->click();
        QCOMPARE(titles.size(), std::size_t{3});
        QCOMPARE(titles[0], utf8ToGbk("+请选择需要处理的文章(*.*)所在文件夹："));
        QCOMPARE(titles[1], utf8ToGbk("请选择需要处理的文章(*.*)所在文件夹："));
        QCOMPARE(titles[2], utf8ToGbk("请选择多个需要处理的文章："));
        window.close();
    }

    void linkTogglesTheShufflePanel() {
        MainWindow window(settings());
        window.show();
        QWidget* link = window.form().widget("链接文章打乱替换器");
        QTest::mousePress(link, Qt::LeftButton);
        QTest::mouseRelease(link, Qt::LeftButton);
        QTRY_VERIFY(window.form().find("分组框文章打乱替换器")->visible());
        QVERIFY(!window.form().find("分组框1")->visible());
        window.close();
    }

    void toolLinksOpenEachToolOnce() {
        MainWindow window(settings());
        window.show();
        auto countTitled = [](const char* title) {
            int n = 0;
            for (QWidget* w : QApplication::topLevelWidgets())
                n += w->isVisible() && w->windowTitle() == QString::fromUtf8(title);
            return n;
        };
        const char* links[] = {"链接随机文本生成器", "链序列文本生成器", "链接关键词遍历组合",
                               "链接关键词合并", "链接锚文本合成器"};
        for (int i = 0; i < 2; ++i) {
            for (const char* link : links) {
                QTest::mousePress(window.form().widget(link), Qt::LeftButton);
                QTest::mouseRelease(window.form().widget(link), Qt::LeftButton);
            }
        }
        QTRY_COMPARE(countTitled("随机文本生成器"), 1);
        QTRY_COMPARE(countTitled("序列文本生成器"), 1);
        QTRY_COMPARE(countTitled("关键词遍历组合器"), 1);
        QTRY_COMPARE(countTitled("关键词合并器"), 1);
        QTRY_COMPARE(countTitled("锚文本合成器 - 在“合成模板”中引用“*1”代表关键词，“*2”代表网址"),
                     1);
        window.close();
    }

    void buildingAToolWindowLetsNoSecondPressIn() {
        MainWindow window(settings());
        window.show();
        QWidget* link = window.form().widget("链接随机文本生成器");
        // Building the window, its settings restored included, never lets
        // pending messages run: no second press can arrive half-way through.
        int breaths = 0;
        const auto previous = setPendingMessagesHandler([&breaths] { ++breaths; });
        QTest::mousePress(link, Qt::LeftButton);
        QTest::mouseRelease(link, Qt::LeftButton);
        QTRY_COMPARE(window.findChildren<RandomTextWindow*>().size(), 1);
        setPendingMessagesHandler(previous);
        QCOMPARE(breaths, 0);
        window.close();
    }

    void settingsSurviveARestart() {
        {
            MainWindow first(settings());
            first.show();
            first.form().find("组合框内容插入类型")->setSelectedIndex(8);
            first.form().find("编辑框关键词列表")->setText(utf8ToGbk("保存的词"));
            first.form().find("单选框插入")->setTicked(false);
            first.form().find("单选框替换")->setTicked(true);
            first.close();
        }
        MainWindow second(settings());
        second.show();
        QCOMPARE(second.form().find("组合框内容插入类型")->selectedIndex(), 8);
        QCOMPARE(second.form().find("编辑框关键词列表")->text(), utf8ToGbk("保存的词"));
        QVERIFY(second.form().find("单选框替换")->ticked());
        QVERIFY(!second.form().find("选择框插入标题")->enabled());  // rules applied after loading
        QVERIFY(second.form().find("编辑框每隔最少")->visible() == false);
        second.close();
    }
};

}  // namespace lct

QTEST_MAIN(lct::QtMainWindowTest)
#include "qt_main_window_test.moc"
