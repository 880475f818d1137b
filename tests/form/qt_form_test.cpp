// The Qt form over real widgets: what window logic reads and writes through
// Control must be what the widgets show.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest/QtTest>

#include "app/main_window_table.h"
#include "form/qt_form.h"
#include "platform/charset.h"
#include "tools/keyword_combiner.h"
#include "tools/keyword_merger.h"

namespace lct {

class QtFormTest : public QObject {
    Q_OBJECT

  private slots:
    void controlsAreBuiltFromTheTable() {
        QWidget window;
        QtForm form(window, mainWindowTable());
        QCOMPARE(form.controls().size(), mainWindowTable().size());
        auto* box = form.widgetAs<QCheckBox>("选择框避免单词");
        QVERIFY(box);
        QVERIFY(box->isChecked());
        QCOMPARE(box->text(), QString::fromUtf8("自动避开单词"));
        QCOMPARE(box->parentWidget(), form.widget("分组框1"));
        QCOMPARE(form.find("选择框避免单词")->parent(), form.find("分组框1"));
        QCOMPARE(form.widgetAs<QComboBox>("组合框内容插入类型")->count(), 15);
        QVERIFY(form.widget("分组框文章打乱替换器")->isHidden());
        QCOMPARE(form.find("编辑框标题间隔符")->text(), utf8ToGbk(" |，"));
    }

    void textsCrossAsGbkWithCrLf() {
        QWidget window;
        QtForm form(window, mainWindowTable());
        Control* keywords = form.find("编辑框关键词列表");
        keywords->setText(utf8ToGbk("甲\r\n乙"));
        QCOMPARE(form.widgetAs<QPlainTextEdit>("编辑框关键词列表")->toPlainText(),
                 QString::fromUtf8("甲\n乙"));
        form.widgetAs<QPlainTextEdit>("编辑框关键词列表")
            ->setPlainText(QString::fromUtf8("丙\n丁"));
        QCOMPARE(keywords->text(), utf8ToGbk("丙\r\n丁"));
        form.find("编辑框次数1")->setText("7");
        QCOMPARE(form.widgetAs<QLineEdit>("编辑框次数1")->text(), QStringLiteral("7"));
        QCOMPARE(integerOf(form, "编辑框次数1"), 7);
    }

    void statesAreTheControlsOwn() {
        QWidget window;
        QtForm form(window, mainWindowTable());
        form.find("分组框1")->setEnabled(false);
        QVERIFY(form.find("选择框插入标题")->enabled());  // the panel's state is not its child's
        form.find("选择框插入标题")->setEnabled(false);
        QVERIFY(!form.find("选择框插入标题")->enabled());
        form.find("分组框1")->setEnabled(true);
        QVERIFY(!form.find("选择框插入标题")->enabled());
        QVERIFY(form.find("选择框插入标题")->visible());
        form.find("选择框插入标题")->setVisible(false);
        QVERIFY(!form.find("选择框插入标题")->visible());
        form.find("编辑框每隔最少")->setTicked(true);
        QVERIFY(!form.find("编辑框每隔最少")->ticked());
    }

    void combosTagsAndProgress() {
        QWidget window;
        QtForm form(window, mainWindowTable());
        Control* combo = form.find("组合框内容插入类型");
        combo->setSelectedIndex(14);
        QCOMPARE(form.widgetAs<QComboBox>("组合框内容插入类型")->currentIndex(), 14);
        QCOMPARE(combo->text(), utf8ToGbk("符号处全文随机"));
        combo->setSelectedIndex(99);
        QCOMPARE(combo->selectedIndex(), -1);
        QCOMPARE(combo->comboStyle(), kComboDropDownList);
        combo->setItems({{"a", 3, false}, {"b", 4, false}});
        QCOMPARE(combo->items().size(), std::size_t{2});
        QCOMPARE(combo->items()[1].value, std::int64_t{4});
        Control* button = form.find("按钮批量处理");
        button->setTag(utf8ToGbk("/文章"));
        QCOMPARE(button->tag(), utf8ToGbk("/文章"));
        Control* bar = form.find("进度条");
        bar->setProgress(20, 3);
        QCOMPARE(form.widgetAs<QProgressBar>("进度条")->value(), 3);
        QCOMPARE(bar->progressRange(), 20);
    }

    void silencedMessagesShowNothing() {
        QWidget window;
        QtForm form(window, mainWindowTable());
        window.show();
        QString shown;
        // A box that shows anyway is recorded and answered, so the test ends.
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->done(QMessageBox::Yes);
            }
        });
        watch.start(10);
        form.silenceMessages(true);
        QCOMPARE(form.messageBox("a", "t", MessageButtons::YesNo, MessageIcon::Information),
                 MessageAnswer::No);
        QCOMPARE(form.messageBox("b", "t", MessageButtons::Ok, MessageIcon::Warning),
                 MessageAnswer::Ok);
        QCOMPARE(shown, QString());
        form.silenceMessages(false);
        QCOMPARE(form.messageBox("c", "t", MessageButtons::YesNo, MessageIcon::Information),
                 MessageAnswer::Yes);
        QCOMPARE(shown, QStringLiteral("c"));
    }

    void clipboardRoundTrip() {
        QWidget window;
        QtForm form(window, mainWindowTable());
        form.setClipboardText(utf8ToGbk("剪贴\r\n板"));
        QCOMPARE(form.clipboardText(), utf8ToGbk("剪贴\r\n板"));
    }

    // Drops of text dragged from another box (proposed as a move, as Qt
    // proposes for a drag out of a text box) are taken as copies, so the box
    // the text came from keeps it; the text still lands in the target.
    void dropsFromAnotherBoxAreCopies_data() {
        QTest::addColumn<int>("table");
        QTest::addColumn<QString>("box");
        QTest::newRow("template line") << 0 << QStringLiteral("编辑框再组合关键词");
        QTest::newRow("preview article") << 0 << QStringLiteral("编辑框预览内容");
        QTest::newRow("word group") << 1 << QStringLiteral("编辑框词1");
        QTest::newRow("merger list") << 2 << QStringLiteral("编辑框列表1");
    }

    void dropsFromAnotherBoxAreCopies() {
        QFETCH(int, table);
        QFETCH(QString, box);
        const ControlTable* tables[] = {&mainWindowTable(), &keywordCombinerTable(),
                                        &keywordMergerTable()};
        QWidget window;
        QtForm form(window, *tables[table]);
        window.show();
        QWidget* target = form.widget(box.toStdString());
        if (auto* edit = qobject_cast<QPlainTextEdit*>(target)) target = edit->viewport();
        QMimeData mime;
        mime.setText(QStringLiteral("拖来的词"));
        const QPoint at(4, 4);
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, actions, &mime, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(enter.proposedAction(), Qt::MoveAction);
        QCoreApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(enter.dropAction(), Qt::CopyAction);
        QDragMoveEvent move(at, actions, &mime, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(target, &move);
        QCOMPARE(move.dropAction(), Qt::CopyAction);
        QDropEvent drop(QPointF(at), actions, &mime, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(target, &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(drop.dropAction(), Qt::CopyAction);
        QVERIFY(toQString(form.find(box.toStdString())->text()).contains(mime.text()));
    }

    // Tab leaves the boxes that hold one item per line and types a tab in the
    // article boxes.
    void tabLeavesItemListsAndTypesInArticles() {
        QWidget window;
        QtForm form(window, mainWindowTable());
        auto* column = new QVBoxLayout(&window);
        for (const char* name : {"编辑框关键词列表", "编辑框预览内容", "编辑框结果标题"})
            column->addWidget(form.widget(name));
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* keywords = form.widgetAs<QPlainTextEdit>("编辑框关键词列表");
        const QString before = keywords->toPlainText();
        keywords->setFocus();
        QTest::keyClick(keywords, Qt::Key_Tab);
        QCOMPARE(keywords->toPlainText(), before);
        QTRY_VERIFY(!keywords->hasFocus());
        auto* article = form.widgetAs<QPlainTextEdit>("编辑框预览内容");
        article->setFocus();
        article->moveCursor(QTextCursor::End);
        QTest::keyClick(article, Qt::Key_Tab);
        QVERIFY(article->toPlainText().endsWith(QLatin1Char('\t')));
        QVERIFY(article->hasFocus());
    }
};

}  // namespace lct

QTEST_MAIN(lct::QtFormTest)
#include "qt_form_test.moc"
