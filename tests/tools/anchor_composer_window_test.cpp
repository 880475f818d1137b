// The anchor text composer as a Qt window: compose, copy and paste.
#include <QPushButton>
#include <QtTest/QtTest>

#include "engine/lists.h"
#include "platform/charset.h"
#include "tools/anchor_composer_window.h"

namespace lct {

class AnchorComposerWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void composesCopiesAndPastes() {
        AnchorComposerWindow window(nullptr);
        window.show();
        QCOMPARE(
            window.windowTitle(),
            QString::fromUtf8("锚文本合成器 - 在“合成模板”中引用“*1”代表关键词，“*2”代表网址"));
        QtForm& form = window.form();
        QTest::mouseClick(form.widgetAs<QPushButton>("按钮合成"), Qt::LeftButton);
        const std::string result = textOf(form, "编辑框合成列表");
        QCOMPARE(splitList(result, "\r\n").size(), std::size_t{3});
        QVERIFY(result.ends_with("</a>\r\n"));
        QCOMPARE(textOf(form, "按钮合成"), utf8ToGbk("合成"));
        form.widgetAs<QPushButton>("按钮复制合成")->click();
        QCOMPARE(form.clipboardText(), result);

        form.setClipboardText("https://example.edu/");
        form.widgetAs<QPushButton>("按钮粘贴网址")->click();
        form.setClipboardText("edu");
        form.widgetAs<QPushButton>("按钮粘贴关键词")->click();
        form.find("编辑框合成模板")->setText("*1 *2");
        QTest::mouseClick(form.widgetAs<QPushButton>("按钮合成"), Qt::LeftButton);
        QCOMPARE(textOf(form, "编辑框合成列表"), std::string("edu https://example.edu/\r\n"));
        window.close();
        QVERIFY(!window.isVisible());
    }
};

}  // namespace lct

QTEST_MAIN(lct::AnchorComposerWindowTest)
#include "anchor_composer_window_test.moc"
