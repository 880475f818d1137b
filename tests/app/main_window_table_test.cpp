#include "app/main_window_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "form/headless_form.h"
#include "gbk.h"

namespace lct {
namespace {

using test::G;

TEST(MainWindowTable, NamesAreUniqueAndAnnounceTheirKind) {
    std::set<std::string_view> names;
    for (const ControlRow& row : mainWindowTable()) {
        EXPECT_TRUE(names.insert(row.name).second) << row.name;
        EXPECT_EQ(kindFromName(row.name), row.kind) << row.name;
    }
}

TEST(MainWindowTable, PanelsHoldTheirControls) {
    HeadlessForm form(mainWindowTable());
    auto childrenOf = [&](std::string_view panel) {
        int n = 0;
        for (Control* c : form.controls())
            n += c->parent() == form.find(panel);
        return n;
    };
    EXPECT_EQ(childrenOf("分组框文章打乱替换器"), 32);
    EXPECT_EQ(childrenOf("分组框2"), 11);
    EXPECT_EQ(form.find("单选框插入")->parent(), form.find("分组框1"));
    EXPECT_FALSE(form.find("分组框文章打乱替换器")->visible());
    EXPECT_FALSE(form.find("进度条")->visible());
    EXPECT_FALSE(form.find("透明标签")->visible());
}

TEST(MainWindowTable, Defaults) {
    HeadlessForm form(mainWindowTable());
    EXPECT_EQ(textOf(form, "编辑框标题间隔符"), G(" |，"));
    EXPECT_EQ(textOf(form, "编辑框句子结尾符"), G("。|\\n|，|,|!|?|！|？"));
    EXPECT_EQ(textOf(form, "编辑框标题打乱符号"), G("。|！|!|，|,| |？|?"));
    EXPECT_EQ(textOf(form, "编辑框内容打乱符号"), G("。|！|!|，|,|？|?|\\n"));
    EXPECT_EQ(textOf(form, "编辑框预览标题"), G("这是测试的标题 這是測試的標題,ok"));
    EXPECT_EQ(textOf(form, "编辑框过滤"), "*.*");
    EXPECT_EQ(textOf(form, "编辑框每隔最少"), "100");
    EXPECT_EQ(textOf(form, "按钮批量处理文件夹"), G("   批量处理(文件夹)"));
    EXPECT_EQ(form.find("组合框内容插入类型")->items().size(), 15u);
    EXPECT_EQ(form.find("组合框内容插入类型")->items()[14].text, G("符号处全文随机"));
    EXPECT_EQ(form.find("组合框输出编码")->items()[4].text, G("Unicode be"));
    for (const char* ticked :
         {"单选框插入", "选择框插入标题", "选择框标题插一次", "选择框插入内容", "选择框插入次数",
          "选择框每次不同", "选择框避免标签", "选择框避免单词", "选择框打乱标题", "选择框打乱内容",
          "选择框原标题", "选择框标题忽视大小写", "选择框内容忽视大小写", "选择框替换避开标签",
          "选择框替换整词"}) {
        EXPECT_TRUE(tickedOf(form, ticked)) << ticked;
    }
    for (const char* unticked :
         {"单选框替换", "选择框更新关键词", "选择框标题插入首行", "选择框文章一句",
          "选择框标题插入", "选择框替换标题", "选择框替换内容", "选择框标题启用正则",
          "选择框内容启用正则", "选择框替换避开小标题"}) {
        EXPECT_FALSE(tickedOf(form, unticked)) << unticked;
    }
    EXPECT_EQ(textOf(form, "编辑框替换次数上限"), "0");
    EXPECT_EQ(textOf(form, "编辑框链接总数上限"), "0");
    EXPECT_EQ(textOf(form, "选择框替换避开标签"), G("避开标签、已有链接和脚本"));
    EXPECT_EQ(textOf(form, "标签30"), G("每个关键词最多替换："));
    EXPECT_EQ(textOf(form, "标签31"), G("每篇最多替换："));
    EXPECT_EQ(textOf(form, "标签33"), G("每个网址最多链接："));
    EXPECT_EQ(textOf(form, "编辑框每个网址最多链接"), "0");
    EXPECT_EQ(textOf(form, "标签34"), G("本站网址："));
    EXPECT_EQ(textOf(form, "编辑框本站网址"), "");
    EXPECT_EQ(form.find("选择框替换整词")->parent(), form.find("分组框2"));
    const std::string keywords = textOf(form, "编辑框关键词列表");
    EXPECT_EQ(keywords.find(G("【关键词1】\r\n【关键词2】")), 0u);
    const std::string templates = textOf(form, "编辑框再组合关键词");
    EXPECT_EQ(std::count(templates.begin(), templates.end(), '|'), 2);
}

}  // namespace
}  // namespace lct
