// The keyword traversal combiner as a Qt window: settings in and out, a run,
// a close during a run, the help dialog.
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QtTest>

#include "engine/lists.h"
#include "form/form.h"
#include "form/pending_messages.h"
#include "platform/charset.h"
#include "tools/keyword_combiner.h"
#include "tools/keyword_combiner_window.h"

namespace lct {
namespace {

std::string readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::size_t lineCount(Form& form) {
    return splitList(textOf(form, "编辑框结果"), "\r\n").size();
}

}  // namespace

class KeywordCombinerWindowTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir;
    QString ini() const { return dir.filePath(QStringLiteral("lct.ini")); }

    QPushButton* button(KeywordCombinerWindow& window, std::string_view name) {
        return window.form().widgetAs<QPushButton>(name);
    }

  private slots:
    void init() { QFile::remove(ini()); }

    void restoresRunsAndSavesOnClose() {
        {
            QFile file(ini());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(utf8ToGbk("[关键词遍历组合器]\r\n横向组合方式=1\r\n组合符号=~").c_str());
        }
        SettingsStore store;
        QVERIFY(store.open(ini().toStdString()));
        KeywordCombinerWindow window(store, nullptr);
        window.show();
        QCOMPARE(window.windowTitle(), QString::fromUtf8("关键词遍历组合器"));
        Form& form = window.form();
        QCOMPARE(indexOf(form, "组合框组合方式"), 1);
        QCOMPARE(textOf(form, "编辑框符号"), std::string("~"));

        form.find("组合框组合方式")->setSelectedIndex(0);
        form.find("编辑框符号")->setText("");
        QTest::mouseClick(button(window, "按钮开始组合"), Qt::LeftButton);
        QCOMPARE(lineCount(form), std::size_t{81});
        QCOMPARE(textOf(form, "编辑框结果").substr(0, 10), utf8ToGbk("我很爱甲\r\n"));

        form.setClipboardText(utf8ToGbk("春\r\n夏"));
        QTest::mouseClick(button(window, "按钮粘贴2"), Qt::LeftButton);
        QTest::mouseClick(button(window, "按钮清空3"), Qt::LeftButton);
        QCOMPARE(textOf(form, "编辑框词2"), utf8ToGbk("春\r\n夏"));
        QCOMPARE(textOf(form, "编辑框词3"), std::string());
        QTest::mouseClick(button(window, "按钮复制"), Qt::LeftButton);
        QCOMPARE(form.clipboardText(), textOf(form, "编辑框结果"));

        window.close();
        QVERIFY(!window.isVisible());
        QCOMPARE(readAll(ini()),
                 utf8ToGbk("[关键词遍历组合器]\r\n横向组合方式=0\r\n组合符号=\r\n纵向调用方式=0"));
        QCOMPARE(readAll(dir.filePath(QString::fromUtf8("inibin/关键词遍历组合器-词组2.ibn"))),
                 utf8ToGbk("春\r\n夏"));
    }

    void closeDuringRunWaitsForIt() {
        SettingsStore store;
        QVERIFY(store.open(ini().toStdString()));
        auto* window = new KeywordCombinerWindow(store, nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<KeywordCombinerWindow> alive(window);
        window->show();
        std::string words;
        for (int i = 0; i < 100; ++i)
            words += "w" + std::to_string(i) + "\r\n";
        window->form().find("编辑框词1")->setText(words);
        window->form().find("编辑框词2")->setText(words);
        int calls = 0;
        bool visibleAfterClose = false;
        auto previous = setPendingMessagesHandler([&] {
            if (++calls != 500) return;
            window->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            visibleAfterClose = alive && window->isVisible();
        });
        QTest::mouseClick(button(*window, "按钮开始组合"), Qt::LeftButton);
        setPendingMessagesHandler(previous);
        QVERIFY(visibleAfterClose);
        QVERIFY(calls < 1000);  // stopped: all 10,000 lines would take 50,000 calls
        QVERIFY(!alive || !alive->isVisible());
        QTRY_VERIFY(!alive);
        QVERIFY(readAll(ini()).find(utf8ToGbk("[关键词遍历组合器]")) != std::string::npos);
    }

    void stopForClosingStopsTheRunAndKeepsTheWindowQuiet() {
        SettingsStore store;
        QVERIFY(store.open(ini().toStdString()));
        KeywordCombinerWindow window(store, nullptr);
        window.show();
        std::string words;
        for (int i = 0; i < 100; ++i)
            words += "w" + std::to_string(i) + "\r\n";
        window.form().find("编辑框词1")->setText(words);
        window.form().find("编辑框词2")->setText(words);
        int calls = 0;
        bool runningInside = false;
        auto previous = setPendingMessagesHandler([&] {
            if (++calls != 500) return;
            runningInside = window.running();
            window.stopForClosing();
        });
        QTest::mouseClick(button(window, "按钮开始组合"), Qt::LeftButton);
        setPendingMessagesHandler(previous);
        QVERIFY(runningInside);
        QVERIFY(!window.running());
        QVERIFY(calls < 1000);        // stopped: all 10,000 lines would take 50,000 calls
        QVERIFY(window.isVisible());  // the owner closes it
        QCOMPARE(textOf(window.form(), "按钮开始组合"), utf8ToGbk("开始组合"));

        // No new run, no message box, until the window has closed.
        const std::string stopped = textOf(window.form(), "编辑框结果");
        QTest::mouseClick(button(window, "按钮开始组合"), Qt::LeftButton);
        QCOMPARE(textOf(window.form(), "编辑框结果"), stopped);
        QTimer answer;
        bool shown = false;
        connect(&answer, &QTimer::timeout, [&] {
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                shown = true;
                modal->done(QDialog::Rejected);
            }
        });
        answer.start(10);
        window.form().messageBox("x", "", MessageButtons::Ok, MessageIcon::Warning);
        QVERIFY(!shown);
        window.close();
        QVERIFY(!window.isVisible());
        QVERIFY(readAll(ini()).find(utf8ToGbk("[关键词遍历组合器]")) != std::string::npos);
    }

    void helpShowsTheHelpText() {
        SettingsStore store;
        QVERIFY(store.open(ini().toStdString()));
        KeywordCombinerWindow window(store, nullptr);
        QString title;
        QString text;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog) return;
            title = dialog->windowTitle();
            if (auto* body = dialog->findChild<QPlainTextEdit*>(QString::fromUtf8("编辑框正文")))
                text = body->toPlainText();
            dialog->close();
        });
        button(window, "按钮帮助")->click();
        QCOMPARE(title, QString::fromUtf8("帮助"));
        QCOMPARE(text, toQString(keywordCombinerHelp()));
    }
};

}  // namespace lct

QTEST_MAIN(lct::KeywordCombinerWindowTest)
#include "keyword_combiner_window_test.moc"
