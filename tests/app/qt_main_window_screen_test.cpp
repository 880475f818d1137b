// The main window on a laptop screen of 1366×768 (the offscreen platform with
// that one screen, see screen_1366x768.json): it opens inside the screen, keeps
// its width when controls show and hide, shows its captions and its filter
// whole, remembers where it was, and opens tool windows centred over itself.
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest/QtTest>
#include <string>

#include "app/qt_main_window.h"
#include "form/qt_form.h"
#include "platform/charset.h"
#include "tools/keyword_combiner_window.h"

namespace lct {

class QtMainWindowScreenTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::string settings() const { return (dir_.path() + QStringLiteral("/s.ini")).toStdString(); }

    static QRect available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    // Every control that must stay reachable: the batch buttons, preview,
    // encodings and the links lie inside the window.
    static void verifyBottomRowInside(MainWindow& window) {
        for (const char* name :
             {"按钮批量处理", "按钮批量处理文件夹", "按钮批量处理路径列表", "按钮预览",
              "组合框输出编码", "编辑框过滤", "链接锚文本合成器", "编辑框结果内容"}) {
            QWidget* w = window.form().widget(name);
            const QRect inWindow(w->mapTo(&window, QPoint(0, 0)), w->size());
            QVERIFY2(window.rect().contains(inWindow), name);
            QVERIFY2(w->height() > 0 && w->width() > 0, name);
        }
    }

  private slots:
    void theScreenIsTheLaptops() {
        QCOMPARE(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 1366, 768));
    }

    void opensInsideTheScreenWithEverythingReachable() {
        MainWindow window(settings());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(available().contains(window.frameGeometry()));
        QVERIFY(window.minimumSizeHint().width() <= available().width());
        QVERIFY(window.minimumSizeHint().height() <= available().height());
        verifyBottomRowInside(window);
        window.close();
    }

    void keepsItsWidthWhenControlsShowAndHide() {
        MainWindow window(settings());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QSize before = window.size();
        auto* type = window.form().widgetAs<QComboBox>("组合框内容插入类型");
        for (int index : {8, 14, 9, 0}) {
            type->setCurrentIndex(index);
            emit type->activated(index);
            QCoreApplication::processEvents();
            QCOMPARE(window.size(), before);
        }
        QWidget* link = window.form().widget("链接文章打乱替换器");
        for (int i = 0; i < 2; ++i) {
            QTest::mousePress(link, Qt::LeftButton);
            QTest::mouseRelease(link, Qt::LeftButton);
            QTRY_COMPARE(window.form().find("分组框文章打乱替换器")->visible(), i == 0);
            QCoreApplication::processEvents();
            QCOMPARE(window.size(), before);
            verifyBottomRowInside(window);
        }
        window.close();
    }

    // Whatever the content type shows, every control of the insert panel is
    // within the window's width: nothing needs a horizontal scroll bar.
    void noInsertControlLiesOffTheRightForAnyContentType() {
        MainWindow window(settings());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* type = window.form().widgetAs<QComboBox>("组合框内容插入类型");
        QWidget* panel = window.form().widget("分组框1");
        for (int index = 0; index < type->count(); ++index) {
            type->setCurrentIndex(index);
            emit type->activated(index);
            QCoreApplication::processEvents();
            for (QWidget* control : panel->findChildren<QWidget*>()) {
                if (control->objectName().isEmpty() || !control->isVisible()) continue;
                const int left = control->mapTo(&window, QPoint(0, 0)).x();
                QVERIFY2(left >= 0 && left + control->width() <= window.width(),
                         qPrintable(control->objectName() + QString::number(index)));
            }
        }
        window.close();
    }

    void modeRadiosAndFilterCarryTheirCaptions() {
        MainWindow window(settings());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QtForm& form = window.form();
        QCOMPARE(form.widgetAs<QRadioButton>("单选框插入")->text(), QStringLiteral("插入新关键词"));
        QCOMPARE(form.widgetAs<QRadioButton>("单选框替换")->text(), QStringLiteral("替换原关键词"));
        auto* label = form.widgetAs<QLabel>("标签文件过滤");
        QVERIFY(label && label->isVisible());
        QCOMPARE(label->text(), QStringLiteral("文件过滤："));
        auto* filter = form.widgetAs<QLineEdit>("编辑框过滤");
        filter->setText(QStringLiteral("*.txt|*.htm"));
        const QMargins margins = filter->textMargins() + filter->contentsMargins();
        const int room = filter->width() - margins.left() - margins.right();
        QVERIFY(filter->fontMetrics().horizontalAdvance(filter->text()) < room);
        window.close();
    }

    void remembersItsSizeAndPlace() {
        QRect placed;
        {
            MainWindow first(settings());
            first.show();
            QVERIFY(QTest::qWaitForWindowExposed(&first));
            // A size within the screen and above the window's smallest.
            first.setGeometry(QRect(40, 30, 1100, 680));
            QCoreApplication::processEvents();
            placed = first.geometry();
            first.close();
        }
        QCOMPARE(placed.size(), QSize(1100, 680));
        MainWindow second(settings());
        second.show();
        QVERIFY(QTest::qWaitForWindowExposed(&second));
        QCOMPARE(second.geometry(), placed);
        second.close();
    }

    void aStoredPlaceLargerThanTheScreenIsCut() {
        {
            MainWindow first(settings());
            first.show();
            QVERIFY(QTest::qWaitForWindowExposed(&first));
            first.setGeometry(QRect(900, 500, 1100, 860));  // as on a larger screen
            QCoreApplication::processEvents();
            first.close();
        }
        MainWindow second(settings());
        second.show();
        QVERIFY(QTest::qWaitForWindowExposed(&second));
        QTRY_VERIFY(available().contains(second.frameGeometry()));
        second.close();
    }

    // Text dropped on the keyword list replaces it, as a copy: the box it was
    // dragged from keeps it even when the drag proposed a move.
    void theKeywordListTakesADropAsACopy() {
        MainWindow window(settings());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* keywords = window.form().widgetAs<QPlainTextEdit>("编辑框关键词列表");
        QMimeData mime;
        mime.setText(QStringLiteral("拖来的词1\n拖来的词2"));
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        // The enter makes the list the drag's target, to which the drop goes.
        QDragEnterEvent enter(QPoint(4, 4), actions, &mime, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(keywords->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(enter.dropAction(), Qt::CopyAction);
        QDropEvent drop(QPointF(4, 4), actions, &mime, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(drop.proposedAction(), Qt::MoveAction);
        QCoreApplication::sendEvent(keywords->viewport(), &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(drop.dropAction(), Qt::CopyAction);
        QCOMPARE(keywords->toPlainText(), mime.text());
        window.close();
    }

    void toolWindowsOpenCentredOverTheWindow() {
        MainWindow window(settings());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.setGeometry(QRect(100, 80, 1000, 640));
        QCoreApplication::processEvents();
        QWidget* link = window.form().widget("链接关键词遍历组合");
        QTest::mousePress(link, Qt::LeftButton);
        QTest::mouseRelease(link, Qt::LeftButton);
        QTRY_COMPARE(window.findChildren<KeywordCombinerWindow*>().size(), 1);
        auto* tool = window.findChildren<KeywordCombinerWindow*>().front();
        QVERIFY(QTest::qWaitForWindowExposed(tool));
        const QPoint offset = tool->frameGeometry().center() - window.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 4,
                 qPrintable(QStringLiteral("off by %1,%2").arg(offset.x()).arg(offset.y())));
        window.close();
    }
};

}  // namespace lct

QTEST_MAIN(lct::QtMainWindowScreenTest)
#include "qt_main_window_screen_test.moc"
