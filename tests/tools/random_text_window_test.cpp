// The random text generator's Qt window, offscreen: built from its table,
// generating on a click, keeping its radio boxes exclusive, saving on close,
// and closing safely in the middle of a run.

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QtTest>

#include "form/pending_messages.h"
#include "form/qt_result_box.h"
#include "gbk.h"
#include "settings/settings_support.h"
#include "tools/random_text_window.h"

namespace lct {

class RandomTextWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void generatesAndSavesOnClose() {
        test::TempFolder folder;
        const std::string path = folder / "settings.ini";
        SettingsStore store;
        QVERIFY(store.open(path));
        QPointer<RandomTextWindow> window = new RandomTextWindow(store, nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose);
        QCOMPARE(window->windowTitle(), QString::fromUtf8("随机文本生成器"));
        QVERIFY(window->windowFlags() & Qt::Window);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));

        QtForm& form = window->form();
        form.widgetAs<QLineEdit>("编辑框组数")->setText(QStringLiteral("5"));
        form.widgetAs<QRadioButton>("单选框次要常用")->click();
        QVERIFY(!form.widgetAs<QRadioButton>("单选框最常用")->isChecked());
        QVERIFY(form.widgetAs<QRadioButton>("单选框次要常用")->isChecked());
        QTest::mouseClick(form.widgetAs<QPushButton>("按钮生成汉字"), Qt::LeftButton);
        const QStringList groups =
            form.widgetAs<ResultBox>("编辑框结果")->fullText().split(QChar('\n'));
        QCOMPARE(groups.size(), 5);
        for (const QString& group : groups)
            QVERIFY2(group.size() >= 3 && group.size() <= 5, qPrintable(group));
        QCOMPARE(form.widgetAs<QPushButton>("按钮生成汉字")->text(),
                 QString::fromUtf8("生成随机汉字"));

        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.isNull());
        const std::string file = test::U(test::readFile(path));
        QVERIFY2(file.find("组数=5") != std::string::npos, file.c_str());
        QVERIFY2(file.find("单选框次要常用=真") != std::string::npos, file.c_str());
    }

    void closingDuringARunWaitsForIt() {
        test::TempFolder folder;
        SettingsStore store;
        QVERIFY(store.open(folder / "settings.ini"));
        QPointer<RandomTextWindow> window = new RandomTextWindow(store, nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        bool stillOpenInside = false;
        const auto previous = setPendingMessagesHandler([&] {
            if (!window || !window->isVisible()) return;
            window->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            stillOpenInside = window && window->isVisible();
        });
        window->form().widgetAs<QPushButton>("按钮生成数母")->click();
        setPendingMessagesHandler(previous);
        QVERIFY(stillOpenInside);
        QVERIFY(window);
        QVERIFY(!window->isVisible());
        // The run stopped after its first group and showed it.
        QCOMPARE(window->form().widgetAs<ResultBox>("编辑框结果")->fullText().count('\n'), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.isNull());
        QVERIFY(test::U(test::readFile(folder / "settings.ini")).find("[随机文本生成器]") !=
                std::string::npos);
    }
};

}  // namespace lct

QTEST_MAIN(lct::RandomTextWindowTest)
#include "random_text_window_test.moc"
