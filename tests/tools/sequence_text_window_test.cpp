// The sequence text generator's Qt window, offscreen: restoring its settings
// and then its enable rules, generating on a click, and saving on close.

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QtTest>

#include "form/qt_result_box.h"
#include "gbk.h"
#include "settings/settings_support.h"
#include "tools/sequence_text_window.h"

namespace lct {

class SequenceTextWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void restoresGeneratesAndSaves() {
        test::TempFolder folder;
        const std::string path = folder / "settings.ini";
        test::writeFile(path, test::G("[序列文本生成器]\r\n选择框转为大写=真\r\n"
                                      "编辑框终止值=3\r\n"));
        SettingsStore store;
        QVERIFY(store.open(path));
        QPointer<SequenceTextWindow> window = new SequenceTextWindow(store, nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose);
        QCOMPARE(window->windowTitle(), QString::fromUtf8("序列文本生成器"));
        QVERIFY(window->windowFlags() & Qt::Window);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));

        QtForm& form = window->form();
        QVERIFY(form.widgetAs<QCheckBox>("选择框转为大写")->isChecked());
        QVERIFY(form.widget("选择框到金额")->isEnabled());
        QVERIFY(!form.widget("编辑框零位数")->isEnabled());
        QTest::mouseClick(form.widgetAs<QPushButton>("按钮生成"), Qt::LeftButton);
        QCOMPARE(form.widgetAs<ResultBox>("编辑框结果")->fullText(),
                 QString::fromUtf8("一\n二\n三"));

        form.widgetAs<QRadioButton>("单选框字母")->click();
        QVERIFY(!form.widgetAs<QRadioButton>("单选框数字")->isChecked());
        QVERIFY(!form.widget("选择框到金额")->isEnabled());
        form.widgetAs<QCheckBox>("选择框扩展组合")->click();
        QVERIFY(form.widget("编辑框扩展组合")->isEnabled());
        QVERIFY(form.widget("按钮问号")->isEnabled());
        form.widgetAs<QPushButton>("按钮生成")->click();
        QCOMPARE(form.widgetAs<ResultBox>("编辑框结果")->fullText(),
                 QString::fromUtf8("【关键词A】\n【关键词B】\n【关键词C】"));

        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.isNull());
        const std::string file = test::U(test::readFile(path));
        QVERIFY2(file.find("单选框字母=真") != std::string::npos, file.c_str());
        QVERIFY2(file.find("选择框扩展组合=真") != std::string::npos, file.c_str());
        QVERIFY2(file.find("编辑框结果") == std::string::npos, file.c_str());
    }
};

}  // namespace lct

QTEST_MAIN(lct::SequenceTextWindowTest)
#include "sequence_text_window_test.moc"
