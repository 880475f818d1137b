// The keyword merger as a Qt window: exclusive choices, the enable rule, a
// merge and the settings written on closing.
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include "form/form.h"
#include "form/pending_messages.h"
#include "form/qt_result_box.h"
#include "platform/charset.h"
#include "tools/keyword_merger_window.h"

namespace lct {

class KeywordMergerWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void mergesAndSavesOnClose() {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("lct.ini"));
        SettingsStore store;
        QVERIFY(store.open(ini.toStdString()));
        KeywordMergerWindow window(store, nullptr);
        window.show();
        QCOMPARE(window.windowTitle(), QString::fromUtf8("关键词合并器"));
        QtForm& form = window.form();
        QVERIFY(!form.widget("编辑框词数")->isEnabled());

        form.widgetAs<QRadioButton>("单选框词组2")->click();
        QVERIFY(form.widget("编辑框词数")->isEnabled());
        QVERIFY(!tickedOf(form, "单选框词组1和词组2"));
        form.widgetAs<QRadioButton>("单选框顺序")->click();
        QVERIFY(!tickedOf(form, "单选框随机"));

        form.setClipboardText(utf8ToGbk("甲\r\n乙\r\n丙"));
        form.widgetAs<QPushButton>("按钮粘贴2")->click();
        form.find("编辑框词数")->setText("2");
        QTest::mouseClick(form.widgetAs<QPushButton>("按钮合并"), Qt::LeftButton);
        QCOMPARE(textOf(form, "编辑框结果"), utf8ToGbk("甲,乙\r\n丙\r\n"));
        form.widgetAs<QPushButton>("按钮复制")->click();
        QCOMPARE(form.clipboardText(), utf8ToGbk("甲,乙\r\n丙\r\n"));

        window.close();
        QFile file(ini);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().toStdString(),
                 utf8ToGbk("[关键词合并器]\r\n单选框词组1=假\r\n单选框词组2=真\r\n"
                           "单选框词组1和词组2=假\r\n词数=2\r\n符号=,"));
        QFile list2(dir.filePath(QString::fromUtf8("inibin/关键词合并器-词组2.ibn")));
        QVERIFY(list2.open(QIODevice::ReadOnly));
        QCOMPARE(list2.readAll().toStdString(), utf8ToGbk("甲\r\n乙\r\n丙"));

        // A new window comes back with the choice and the rule applied.
        KeywordMergerWindow again(store, nullptr);
        QVERIFY(tickedOf(again.form(), "单选框词组2"));
        QVERIFY(!tickedOf(again.form(), "单选框词组1和词组2"));
        QVERIFY(again.form().widget("编辑框词数")->isEnabled());
    }

    void closeDuringMergeStopsItAndWaits() {
        QTemporaryDir dir;
        SettingsStore store;
        QVERIFY(store.open(dir.filePath(QStringLiteral("lct.ini")).toStdString()));
        auto* window = new KeywordMergerWindow(store, nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<KeywordMergerWindow> alive(window);
        window->show();
        int calls = 0;
        bool visibleAfterClose = false;
        auto previous = setPendingMessagesHandler([&] {
            if (++calls != 50) return;
            window->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            visibleAfterClose = alive && window->isVisible();
            QTest::mouseClick(window->form().widgetAs<QPushButton>("按钮合并"), Qt::LeftButton);
        });
        QTest::mouseClick(window->form().widgetAs<QPushButton>("按钮合并"), Qt::LeftButton);
        setPendingMessagesHandler(previous);
        QVERIFY(visibleAfterClose);
        // The merge of 100 pairs stopped after the pair in progress; the click
        // inside it was ignored: a second merge would have cleared the stop
        // and made all 100 lines.
        QVERIFY(alive);
        const QString result = window->form().widgetAs<ResultBox>("编辑框结果")->fullText();
        QCOMPARE(result.count(QLatin1Char('\n')), 25);
        QTRY_VERIFY(!alive);
    }
};

}  // namespace lct

QTEST_MAIN(lct::KeywordMergerWindowTest)
#include "keyword_merger_window_test.moc"
