// The sequence text generator over a headless form: numeral readings, letter
// sequences, generation with its edge cases and limits, the enable rules and
// the window's settings.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

#include "form/headless_form.h"
#include "gbk.h"
#include "settings/settings_support.h"
#include "tools/result_limit.h"
#include "tools/sequence_text.h"

namespace lct {
namespace {

using test::G;
using test::U;

TEST(ChineseNumeral, Readings) {
    struct Row {
        std::int64_t n;
        const char* simple;
        const char* capital;
    };
    constexpr Row kRows[] = {
        {0, "零", "零"},
        {1, "一", "壹"},
        {10, "一十", "壹拾"},
        {15, "一十五", "壹拾伍"},
        {20, "二十", "贰拾"},
        {105, "一百零五", "壹佰零伍"},
        {1010, "一千零一十", "壹仟零壹拾"},
        {10001, "一万零一", "壹万零壹"},
        {100000, "一十万", "壹拾万"},
        {110000, "一十一万", "壹拾壹万"},
        {1000001, "一百万零一", "壹佰万零壹"},
        {100001000, "一亿零一千", "壹亿零壹仟"},
        {100010000, "一亿零一万", "壹亿零壹万"},
        {1000000000, "一十亿", "壹拾亿"},
        {-3, "负三", "负叁"},
        {INT_MAX, "二十一亿四千七百四十八万三千六百四十七", nullptr},
        {INT_MIN, "负二十一亿四千七百四十八万三千六百四十八", nullptr},
        {999999999999, "九千九百九十九亿九千九百九十九万九千九百九十九", nullptr},
        {1000000000000, "", ""},
    };
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.n);
        EXPECT_EQ(U(chineseNumeral(row.n, false)), row.simple);
        if (row.capital) {
            EXPECT_EQ(U(chineseNumeral(row.n, true)), row.capital);
        }
    }
}

TEST(ChineseMoney, ZeroNegativeAndCapital) {
    EXPECT_EQ(U(chineseMoney(0, false)), "零");
    EXPECT_EQ(U(chineseMoney(0, true)), "零");
    EXPECT_EQ(U(chineseMoney(105, false)), "一百零五元整");
    EXPECT_EQ(U(chineseMoney(105, true)), "壹佰零伍元整");
    EXPECT_EQ(U(chineseMoney(-5, false)), "负五元整");
}

TEST(LetterSequence, BijectiveBase26) {
    struct Row {
        std::int64_t n;
        const char* letters;
    };
    constexpr Row kRows[] = {{-1, ""},   {0, ""},    {1, "a"},    {26, "z"},    {27, "aa"},
                             {52, "az"}, {53, "ba"}, {702, "zz"}, {703, "aaa"}, {18278, "zzz"}};
    for (const Row& row : kRows)
        EXPECT_EQ(letterSequence(row.n, false), row.letters) << row.n;
    EXPECT_EQ(letterSequence(703, true), "AAA");
}

class SequenceFormTest : public ::testing::Test {
  protected:
    void set(const char* name, const char* text) { form.find(name)->setText(G(text)); }
    void tick(const char* name, bool ticked = true) { form.find(name)->setTicked(ticked); }
    void range(const char* start, const char* stop, const char* step) {
        set("编辑框起始值", start);
        set("编辑框终止值", stop);
        set("编辑框间隔值", step);
    }
    std::string generate() {
        generateSequenceInto(form);
        return U(form.find("编辑框结果")->text());
    }

    HeadlessForm form{sequenceTextTable()};
};

TEST_F(SequenceFormTest, InitialOptionsGiveZeroPaddedLines) {
    std::string expected;
    for (int i = 1; i <= 100; ++i) {
        char item[8];
        std::snprintf(item, sizeof item, "%04d", i);
        expected += (i > 1 ? "\r\n" : "") + std::string(item);
    }
    EXPECT_EQ(generate(), expected);
}

TEST_F(SequenceFormTest, Cases) {
    struct Row {
        const char* what;
        const char* start;
        const char* stop;
        const char* step;
        const char* zeros;
        bool sameWidth;
        const char* expected;  // items joined by "|"
    };
    constexpr Row kRows[] = {
        {"cut to one character", "8", "12", "2", "0", true, "8|0|2"},
        {"counting down", "5", "1", "-2", "3", true, "0005|0003|0001"},
        {"step away from stop", "5", "1", "1", "3", true, ""},
        {"step away downwards", "1", "5", "-1", "3", true, ""},
        {"step 0 gives one item", "7", "9", "0", "3", true, "0007"},
        {"step 0 past the stop", "9", "7", "0", "3", true, ""},
        {"fractions cut toward zero", "1.9", "-2.5", "-1.7", "1", false, "01|00|-01|-02"},
        {"negative loses its sign", "-5", "-5", "1", "3", true, "0005"},
        {"negative zeros count as 0", "7", "12", "5", "-2", true, "7|2"},
        {"empty boxes", "", "", "", "", false, "0"},
    };
    set("编辑框分隔符", "|");
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.what);
        range(row.start, row.stop, row.step);
        set("编辑框零位数", row.zeros);
        tick("选择框数位相同", row.sameWidth);
        EXPECT_EQ(generate(), row.expected);
    }
}

TEST_F(SequenceFormTest, ChineseNumeralsAndLetters) {
    set("编辑框分隔符", "|");
    range("1", "3", "1");
    tick("选择框转为大写");
    EXPECT_EQ(generate(), "一|二|三");
    tick("选择框到繁体");
    EXPECT_EQ(generate(), "壹|贰|叁");
    tick("选择框到金额");
    EXPECT_EQ(generate(), "壹元整|贰元整|叁元整");
    selectSequenceKind(form, "单选框字母");
    range("25", "28", "1");
    EXPECT_EQ(generate(), "Y|Z|AA|AB");
    tick("选择框转为大写", false);
    EXPECT_EQ(generate(), "y|z|aa|ab");
    // An empty first item leaves the output empty, so no separator follows it.
    range("0", "2", "1");
    EXPECT_EQ(generate(), "a|b");
}

TEST_F(SequenceFormTest, TemplateAndSeparator) {
    tick("选择框扩展组合");
    set("编辑框分隔符", "|");
    range("1", "2", "1");
    EXPECT_EQ(generate(), "【关键词0001】|【关键词0002】");
    set("编辑框扩展组合", "<序列>-<序列>");
    set("编辑框分隔符", "\\n");
    EXPECT_EQ(generate(), "0001-0001\r\n0002-0002");
    set("编辑框扩展组合", "<序列");  // no marker: the template alone, every time
    EXPECT_EQ(generate(), "<序列\r\n<序列");
    tick("选择框扩展组合", false);
    EXPECT_EQ(generate(), "0001\r\n0002");
}

TEST(SequenceLimits, ItemCountIsCapped) {
    SequenceOptions o;
    o.start = 0;
    o.stop = INT_MAX;
    o.zeros = 0;
    o.separator = "|";
    o.itemTemplate = G("<序列>");
    const std::string out = generateSequence(o);
    EXPECT_EQ(std::count(out.begin(), out.end(), '|'), kMaxToolResultItems - 1);
}

TEST(SequenceLimits, TextNeverPassesTheResultLimit) {
    SequenceOptions o;
    o.start = 0;
    o.stop = INT_MAX;
    o.zeros = 0;
    o.itemTemplate = std::string(std::size_t{1} << 20, 'x') + G("<序列>");
    o.separator = "";
    EXPECT_EQ(generateSequence(o).size(), 63 * ((std::size_t{1} << 20) + 1));
    // One item larger than the limit on its own gives nothing rather than
    // exhausting memory.
    o.itemTemplate = G("<序列>");
    o.zeros = INT_MAX;
    o.sameWidth = false;
    EXPECT_EQ(generateSequence(o), "");
}

TEST_F(SequenceFormTest, EnableRules) {
    struct Row {
        bool letters, upper, extended;
        bool money, zeros, templ;  // 到金额/到繁体, 零位数/数位相同, template box/按钮问号
    };
    constexpr Row kRows[] = {
        {false, false, false, false, true, false},
        {false, true, false, true, false, false},
        {true, false, true, false, false, true},
        {true, true, false, false, false, false},
    };
    for (const Row& row : kRows) {
        SCOPED_TRACE(testing::Message() << row.letters << row.upper << row.extended);
        tick("选择框转为大写", row.upper);
        tick("选择框扩展组合", row.extended);
        selectSequenceKind(form, row.letters ? "单选框字母" : "单选框数字");
        EXPECT_EQ(form.find("单选框数字")->ticked(), !row.letters);
        EXPECT_EQ(form.find("选择框到金额")->enabled(), row.money);
        EXPECT_EQ(form.find("选择框到繁体")->enabled(), row.money);
        EXPECT_EQ(form.find("编辑框零位数")->enabled(), row.zeros);
        EXPECT_EQ(form.find("选择框数位相同")->enabled(), row.zeros);
        EXPECT_EQ(form.find("编辑框扩展组合")->enabled(), row.templ);
        EXPECT_EQ(form.find("按钮问号")->enabled(), row.templ);
    }
}

TEST_F(SequenceFormTest, HintMessage) {
    showTemplateHint(form);
    ASSERT_EQ(form.messages().size(), 1u);
    EXPECT_EQ(U(form.messages()[0].text),
              "扩展组合的话， <序列>  代表生成的序列值，你可以在左右添加其他内容！");
    EXPECT_EQ(form.messages()[0].icon, MessageIcon::Information);
}

TEST(SequenceSettings, WholeWindowSavedButTheResult) {
    test::TempFolder folder;
    const std::string path = folder / "settings.ini";
    {
        SettingsStore store;
        ASSERT_TRUE(store.open(path));
        HeadlessForm form(sequenceTextTable());
        form.find("编辑框起始值")->setText("5");
        form.find("选择框转为大写")->setTicked(true);
        form.find("编辑框结果")->setText("result");
        ASSERT_TRUE(saveSequenceSettings(store, form).ok());
    }
    const std::string file = U(test::readFile(path));
    EXPECT_NE(file.find("[序列文本生成器]"), std::string::npos) << file;
    EXPECT_NE(file.find("编辑框分隔符=┊*┊"), std::string::npos) << file;
    EXPECT_NE(file.find("按钮问号.标记="), std::string::npos) << file;
    EXPECT_EQ(file.find("编辑框结果"), std::string::npos) << file;
    EXPECT_EQ(file.find("标签"), std::string::npos) << file;

    SettingsStore store;
    ASSERT_TRUE(store.open(path));
    HeadlessForm form(sequenceTextTable());
    restoreSequenceSettings(store, form);
    EXPECT_EQ(form.find("编辑框起始值")->text(), "5");
    EXPECT_EQ(form.find("编辑框分隔符")->text(), "\r\n");
    EXPECT_TRUE(form.find("选择框到金额")->enabled());  // the rules follow the restore
    EXPECT_FALSE(form.find("编辑框零位数")->enabled());
}

}  // namespace
}  // namespace lct
