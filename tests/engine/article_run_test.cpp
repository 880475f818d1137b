#include "engine/article_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/form_options.h"
#include "app/main_window_table.h"
#include "engine/chars.h"
#include "engine/output_budget.h"
#include "engine/tag_guard.h"
#include "form/headless_form.h"
#include "gbk.h"

namespace lct {
namespace {

using test::G;

// The main window with its defaults; each test sets what it needs, as a user
// would in the window, and runs one article.
class PipelineTest : public ::testing::Test {
  protected:
    HeadlessForm form{mainWindowTable()};

    void set(std::string_view name, std::string_view utf8) { form.find(name)->setText(G(utf8)); }
    void tick(std::string_view name, bool ticked) { form.find(name)->setTicked(ticked); }
    void select(std::string_view name, int index) { form.find(name)->setSelectedIndex(index); }

    std::pair<std::string, std::string> run(std::string_view title, std::string_view content,
                                            ArticleReport* report = nullptr, std::uint64_t seed = 1,
                                            std::optional<std::string_view> page = {}) {
        const ArticleOptions options = readArticleOptions(form);
        ArticleRun articleRun(seed);
        articleRun.prepare(options, loadKeywords(options.keywordList));
        std::string t = G(title);
        std::string c = G(content);
        processArticle(options, articleRun, t, c, report, page);
        return {test::U(t), test::U(c)};
    }
    // The article's content as bytes, as a damaged file gives them.
    std::string runBytes(std::string content, std::uint64_t seed) {
        const ArticleOptions options = readArticleOptions(form);
        ArticleRun articleRun(seed);
        articleRun.prepare(options, loadKeywords(options.keywordList));
        std::string title = "T";
        processArticle(options, articleRun, title, content, nullptr);
        return content;
    }
};

TEST_F(PipelineTest, ReadsEveryOptionFromTheForm) {
    const ArticleOptions o = readArticleOptions(form);
    EXPECT_EQ(o.mode, PipelineMode::Insert);
    EXPECT_TRUE(o.insert.insertTitle);
    EXPECT_EQ(o.insert.everyMin, 100);
    EXPECT_EQ(o.insert.titleSeparators, G(" |，"));
    EXPECT_TRUE(o.insert.items.differentEachTime);
    EXPECT_TRUE(o.shuffle.shuffleTitle);
    EXPECT_TRUE(o.shuffle.useSourceTitle);
    EXPECT_EQ(o.shuffle.titleMatches, G("原标题1|原标题2|原标题3"));
    EXPECT_EQ(o.scriptConversion, ScriptConversion::None);

    tick("单选框插入", false);
    tick("单选框替换", true);
    EXPECT_EQ(pipelineModeOf(form), PipelineMode::ReplaceExisting);
    form.find("分组框文章打乱替换器")->setVisible(true);
    EXPECT_EQ(pipelineModeOf(form), PipelineMode::ShuffleReplace);
    set("编辑框次数2", "7x");
    select("组合框内容插入类型", 14);
    const ArticleOptions changed = readArticleOptions(form);
    EXPECT_EQ(changed.insert.items.countTo, 7);
    EXPECT_EQ(changed.insert.contentType, ContentType::NextToSymbols);
}

TEST_F(PipelineTest, InsertModeTitleTypeFourReplacesTheTitle) {
    set("编辑框关键词列表", "甲\r\n乙\r\n丙");
    set("编辑框再组合关键词", "*");
    select("组合框调用方式", 2);
    select("组合框标题插入类型", 4);
    tick("选择框标题插一次", false);
    set("编辑框次数1", "2");
    set("编辑框次数2", "2");
    set("编辑框标题间隔符", "-");
    tick("选择框插入内容", false);
    EXPECT_EQ(run("原标题", "正文").first, "甲-乙");
}

TEST_F(PipelineTest, InsertModeKeepsTagsWholeAndFinishesTheTitle) {
    set("编辑框关键词列表", "KW");
    set("编辑框再组合关键词", "<b>*</b>");
    select("组合框标题插入类型", 1);
    set("编辑框标题间隔符", "");
    set("编辑框次数1", "3");
    set("编辑框次数2", "3");
    const std::string page =
        "<p class=\"a\">第一段正文内容。</p>\r\n<p><a href=\"x\">链接</a>第二段。</p>";
    for (std::uint64_t seed = 1; seed <= 30; ++seed) {
        const auto [title, content] = run("a/b", page, nullptr, seed);
        ASSERT_EQ(title, "KWa／b");  // tags removed from the title, "/" made safe
        std::string rest = content;
        for (auto at = rest.find("<b>KW</b>"); at != std::string::npos; at = rest.find("<b>KW</b>"))
            rest.erase(at, 9);
        ASSERT_EQ(rest, page) << content;
    }
}

// No GBK text holds a 0xFF byte, which the tag guard's placeholders are made
// of; a damaged file may, and its tags must still come back where they stood.
const std::vector<std::string> kPagesWithByteFF = {
    "ine oo\xFF\xFF\xFF\xFF"
    "a*</b>",
    "<p>\xFF\xFF</p>",
    "<p>\xFFx</p>\xFF",
    "\x81\xFF<i>y</i>\xFF",
    "a\xFF<b>c</b>\xFF\xFF\xFF",
};

TEST_F(PipelineTest, InsertModeKeepsTagsInPlaceInTextHoldingByteFF) {
    set("编辑框关键词列表", "KW");
    set("编辑框再组合关键词", "<b>*</b>");
    set("编辑框次数1", "3");
    set("编辑框次数2", "3");
    tick("选择框避免单词", false);  // which would add spaces beside letters
    for (const std::string& page : kPagesWithByteFF) {
        for (std::uint64_t seed = 1; seed <= 20; ++seed) {
            std::string rest = runBytes(page, seed);
            for (auto at = rest.find("<b>KW</b>"); at != std::string::npos;
                 at = rest.find("<b>KW</b>"))
                rest.erase(at, 9);
            ASSERT_EQ(rest, page) << "seed " << seed;
        }
    }
}

TEST_F(PipelineTest, ShuffleModeKeepsTagsInPlaceInTextHoldingByteFF) {
    form.find("分组框文章打乱替换器")->setVisible(true);
    set("编辑框关键词列表", "");
    tick("选择框打乱标题", false);
    // Without a sentence end there is one sentence, and nothing moves.
    for (const std::string& page : kPagesWithByteFF)
        EXPECT_EQ(runBytes(page, 1), page);
}

TEST_F(PipelineTest, InsertModeTitleAsFirstLineIsTagFree) {
    set("编辑框关键词列表", "KW");
    set("编辑框再组合关键词", "<i>*</i>");
    select("组合框标题插入类型", 2);
    set("编辑框标题间隔符", " ");
    tick("选择框插入内容", false);
    tick("选择框标题插入首行", true);
    const auto [title, content] = run("标题:一", "正文");
    EXPECT_EQ(title, "标题：一 KW");
    EXPECT_EQ(content, "标题:一 KW\r\n正文");
}

// Every content type leaves links, comments, scripts, text areas and a page's
// opening (up to <body>) as they stood.
TEST_F(PipelineTest, InsertModeKeepsItemsOutOfLinksAndTheHead) {
    set("编辑框关键词列表", "K");
    set("编辑框再组合关键词", "[*]");
    tick("选择框插入标题", false);
    tick("选择框避免单词", false);
    set("编辑框次数1", "3");
    set("编辑框次数2", "3");
    set("编辑框每隔最少", "3");
    set("编辑框每隔最多", "3");
    const std::string opening =
        "<!DOCTYPE html>\r\n<html><head><title>标题，一。</title>\r\n"
        "<style>p{}</style></head>\r\n<body>\r\n";
    const std::vector<std::string> kept = {
        "<a href=\"/x\">链接，文字。\r\n</a>", "<!-- 注释，内容。 -->",
        "<script>s=\"脚本，内容。\";</script>", "<textarea>文本，内容。</textarea>"};
    const std::string page = opening + "<p>第一段，正文。" + kept[0] + "后文，</p>\r\n" + kept[1] +
                             "\r\n" + kept[2] + "\r\n<p>第二段，" + kept[3] +
                             "结尾。</p>\r\n</body>";
    for (int type = 0; type <= 14; ++type) {
        select("组合框内容插入类型", type);
        for (std::uint64_t seed = 1; seed <= 12; ++seed) {
            const std::string content = run("T", page, nullptr, seed).second;
            ASSERT_NE(content, page) << "type " << type;
            ASSERT_TRUE(content.starts_with(opening)) << type << content;
            for (const std::string& part : kept)
                ASSERT_NE(content.find(part), std::string::npos) << type << content;
        }
    }
}

TEST_F(PipelineTest, EveryNCountsTheCharactersItWalks) {
    set("编辑框关键词列表", "K");
    set("编辑框再组合关键词", "*");
    tick("选择框插入标题", false);
    select("组合框内容插入类型", 8);
    set("编辑框每隔最少", "5");
    set("编辑框每隔最多", "5");
    tick("选择框避免单词", false);
    // Twenty characters of text between long tags: four steps fit, so four
    // items, none of them piled up at the end.
    const std::string page =
        "<div class=\"a-very-long-class-name\">一二三四五六七八九十</div>"
        "<p class=\"another-long-class\">一二三四五六七八九十</p>";
    const auto [title, content] = run("T", page);
    EXPECT_EQ(std::count(content.begin(), content.end(), 'K'), 4);
    EXPECT_EQ(content.find("十</p>K"), std::string::npos) << content;
}

TEST_F(PipelineTest, ChunkTypeGivesTheTitleOneSingleItem) {
    set("编辑框关键词列表", "K");
    set("编辑框再组合关键词", "[*]");
    select("组合框内容插入类型", 9);
    select("组合框标题插入类型", 2);
    set("编辑框标题间隔符", "");
    tick("选择框插入内容", false);
    EXPECT_EQ(run("T", "x").first, "T[K]");
}

TEST_F(PipelineTest, ReplaceExistingNumbersOnlyFoundKeywordsAndKeepsThem) {
    tick("单选框插入", false);
    tick("单选框替换", true);
    set("编辑框关键词列表", "苹果\r\n1\r\n#\r\n香蕉");
    set("编辑框再组合关键词", "[*]");
    const auto [title, content] = run("标题", "苹果和香蕉，1 个 #");
    EXPECT_EQ(title, "标题");
    EXPECT_EQ(content, "[苹果]和[香蕉]，[1] 个 [#]");
}

TEST_F(PipelineTest, ReplaceExistingEarlierKeywordWinsAndEmptyTemplateRemoves) {
    tick("单选框插入", false);
    tick("单选框替换", true);
    set("编辑框关键词列表", "果\r\n苹果");
    set("编辑框再组合关键词", "<*>");
    EXPECT_EQ(run("T", "苹果").second, "苹<果>");
    set("编辑框再组合关键词", "");
    EXPECT_EQ(run("T", "苹果").second, "苹");
}

TEST_F(PipelineTest, ShuffleReplaceKeepsEveryPiece) {
    form.find("分组框文章打乱替换器")->setVisible(true);
    set("编辑框关键词列表", "");  // no keywords needed
    tick("选择框打乱标题", false);
    const auto [title, content] = run("标题", "<p>一。</p>二。三。");
    EXPECT_EQ(title, "标题");
    std::multiset<char32_t> before, after;
    for (const std::string& piece : {std::string("一"), std::string("二"), std::string("三")})
        EXPECT_NE(content.find(piece), std::string::npos) << content;
    EXPECT_NE(content.find("<p>"), std::string::npos);
    EXPECT_NE(content.find("</p>"), std::string::npos);
}

TEST_F(PipelineTest, ShuffleReplaceSentenceIntoTitleAndReplacements) {
    form.find("分组框文章打乱替换器")->setVisible(true);
    tick("选择框打乱标题", false);
    tick("选择框打乱内容", false);
    tick("选择框文章一句", true);
    select("组合框插入类型", 4);
    set("编辑框最少字数", "3");
    tick("选择框替换标题", true);
    set("编辑框标题匹配式", "今天|好");
    set("编辑框标题替换式", "明天");
    tick("选择框替换内容", true);
    set("编辑框内容匹配式", "a");
    set("编辑框内容替换式", "b");
    EXPECT_EQ(run("旧", "今天天气很好。嗯。A", nullptr).first, "明天天气很");
    EXPECT_EQ(run("旧", "今天天气很好。嗯。A").second, "今天天气很好。嗯。b");
}

TEST_F(PipelineTest, AFailingUserPatternLeavesTheTextAndIsReported) {
    form.find("分组框文章打乱替换器")->setVisible(true);
    tick("选择框打乱标题", false);
    tick("选择框打乱内容", false);
    tick("选择框替换内容", true);
    tick("选择框内容启用正则", true);
    set("编辑框内容匹配式", "(unclosed");
    ArticleReport report;
    EXPECT_EQ(run("T", "正文 unclosed", &report).second, "正文 unclosed");
    EXPECT_EQ(report.failures.size(), 1u);
    EXPECT_TRUE(report.problems.empty());
}

// A search that is quadratic over a page without whitespace stops at the time
// budget of the replacement: the content stays as it was and the run says why.
TEST_F(PipelineTest, AQuadraticUserPatternStopsLeavesTheTextAndIsReported) {
    form.find("分组框文章打乱替换器")->setVisible(true);
    tick("选择框打乱标题", false);
    tick("选择框打乱内容", false);
    tick("选择框替换内容", true);
    tick("选择框内容启用正则", true);
    set("编辑框内容匹配式", R"((?:\S\S)+\s|<[^>]*>)");
    set("编辑框内容替换式", "x");
    std::string page;
    while (page.size() < 600 * 1024)  // 400 KB of GBK
        page += "今天的天气很好我们一起去公园散步";
    ArticleReport report;
    const auto [title, content] = run("T", page, &report);
    EXPECT_TRUE(content == page);
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_NE(report.failures[0].find("“替换内容”"), std::string::npos) << report.failures[0];
    EXPECT_NE(report.failures[0].find("time budget"), std::string::npos) << report.failures[0];
}

struct CountCase {
    int variant;  // the content type in insert mode, the round in shuffle-replace mode
    std::string title;
    std::string content;
};

const std::string& countsPage() {
    static const std::string page =
        "<p>第一段 text here，还有。</p>\r\n短\r\n\r\n第三段English words。最后\r\n";
    return page;
}

// Ordinary counts, results pinned for every content type (the title type,
// once and new sets vary with it): limits on counts must never change them.
TEST_F(PipelineTest, OrdinaryCountsKeepTheirResultsInInsertMode) {
    set("编辑框关键词列表", "甲\r\n乙\r\n丙\r\nkw");
    set("编辑框再组合关键词", "[*]");
    set("编辑框次数1", "2");
    set("编辑框次数2", "4");
    set("编辑框每隔最少", "5");
    set("编辑框每隔最多", "9");
    const std::vector<CountCase> cases = {
        {0, "标题[乙] Title",
         "<p>第一段 text [乙] here，还有。</p>[甲]\r\n短\r\n[丙]\r\n第三段English "
         "words。最后\r\n[kw]"},
        {1, "[乙]，[甲] 标题Title",
         "<p>[甲]第一段 [乙] text here，还有。</p>\r\n短[甲][乙]\r\n\r\n第[甲]三段English [乙] "
         "words。最后\r\n"},
        {2, "标题Title，[kw]",
         "<p>[kw]第一段 [乙] text [丙] "
         "here，还[kw]有[乙][丙]。</p>[kw][乙][丙]\r\n短[kw][乙][丙]\r\n\r\n第[kw]三[乙]段English "
         "[丙] words。最[kw]后[乙][丙]\r\n"},
        {3, "[丙]，标题Title [乙] [甲]",
         "[乙][丙][甲]<p>第一段 text "
         "here，还有。</p>\r\n[kw][丙][kw]短\r\n\r\n[乙][甲][kw][丙]第三段English words。最后\r\n"},
        {4, "[甲]",
         "<p>第一段 text "
         "here，还有。</p>[甲][kw][丙][乙]\r\n短[甲][kw][丙][乙]\r\n\r\n第三段English "
         "words。最后[甲][kw][丙][乙]\r\n"},
        {5, "标[丙]题[甲] [乙]Title",
         "<p>第一段 text "
         "here，还有。</p>[丙][甲][乙]\r\n[丙][甲][乙]短\r\n\r\n[丙][甲][乙]第三段English "
         "words。最后\r\n"},
        {6, "[kw] 标题Title",
         "[kw][甲][丙]<p>第一段 text "
         "here，还有。</"
         "p>[kw][甲][丙]\r\n[乙][丙][kw]短[乙][丙][kw]\r\n\r\n[甲][乙][kw]第三段English "
         "words。最后[甲][乙][kw]\r\n"},
        {7, "标题Title [甲]，[kw]",
         "[甲][kw]<p>第一段 text "
         "here，还有。</"
         "p>[丙][乙][乙][丙]\r\n[丙][乙][乙][丙]短[kw][甲][甲]\r\n\r\n[kw][甲][甲]第三段English "
         "words。最后[kw][乙]\r\n"},
        {8, "[甲] 标题Title",
         "<p>第一段 text [甲] here，还[甲]有。</p>\r\n短\r\n\r\n第[甲]三段English [甲] "
         "words。[甲]最后\r\n"},
        {9, "[乙]",
         "<p>第一段 [甲]text he[丙]re，还有。</p>\r\n短[kw]\r\n\r\n第三段Eng[丙]lish "
         "w[乙]ords。最后\r\n"},
        {10, "标题[丙] Title",
         "[丙] [乙]\r\n<p>第一段 text here，还有。</p>\r\n短\r\n\r\n第三段English words。最后\r\n"},
        {11, "[乙]，[丙]，[kw] 标题Title",
         "[kw]，[丙] [乙]<p>第一段 text here，还有。</p>\r\n短\r\n\r\n第三段English "
         "words。最后\r\n"},
        {12, "标题Title，[kw]",
         "<p>第一段 text here，还有。</p>\r\n短\r\n\r\n第三段English words。最后\r\n[kw] "
         "[丙]，[甲]"},
        {13, "[kw] [甲] 标题Title，[丙]",
         "<p>第一段 text here，还有。</p>\r\n短\r\n\r\n第三段English words。最后\r\n\r\n[丙]，[甲] "
         "[kw]"},
        {14, "[丙]",
         "<p>第一段 text here，还有。</p>[丙]\r\n短\r\n\r\n第三段English words [乙]。最后[kw]\r\n"},
    };
    for (const CountCase& c : cases) {
        select("组合框内容插入类型", c.variant);
        select("组合框标题插入类型", c.variant % 5);
        tick("选择框标题插一次", c.variant % 2 == 0);
        tick("选择框更新关键词", c.variant % 3 == 0);
        ArticleReport report;
        const auto [title, content] =
            run("标题Title", countsPage(), &report, 100 + static_cast<std::uint64_t>(c.variant));
        EXPECT_EQ(title, c.title) << c.variant;
        EXPECT_EQ(content, c.content) << c.variant;
        EXPECT_TRUE(report.problems.empty()) << c.variant;
    }
}

TEST_F(PipelineTest, OrdinaryCountsKeepTheirResultsInShuffleMode) {
    form.find("分组框文章打乱替换器")->setVisible(true);
    tick("选择框标题插入", true);
    set("编辑框插入最少", "2");
    set("编辑框插入最多", "3");
    const std::vector<CountCase> cases = {
        {0, "标题Title",
         "<p>，最后。</p>第一段 标题Title text 标题Title here\r\n还有\r\n\r\n第三段English "
         "words。短\r\n"},
        {1, "标题Title",
         "第三段English 标题Title words，最后。还有\r\n<p>\r\n\r\n短。</p>第一段 标题Title "
         "标题Title text here\r\n"},
        {2, "标题Title",
         "<p>第一段 text here，还有。</p>\r\n短\r\n\r\n第三标题Title段English 标题Title "
         "words。最标题Title后\r\n"},
    };
    for (const CountCase& c : cases) {
        tick("选择框原标题", c.variant != 1);
        tick("选择框打乱内容", c.variant != 2);
        ArticleReport report;
        const auto [title, content] =
            run("标题Title", countsPage(), &report, 200 + static_cast<std::uint64_t>(c.variant));
        EXPECT_EQ(title, c.title) << c.variant;
        EXPECT_EQ(content, c.content) << c.variant;
        EXPECT_TRUE(report.problems.empty()) << c.variant;
    }
}

// Forty lines of about fifty characters, with tags, sentences and a blank line.
std::string longPage() {
    std::string page;
    for (int line = 0; line < 40; ++line) {
        page += line == 20
                    ? ""
                    : "<p>第一句话，第二句话。</p>English words here, and more！最后一句话。";
        page += "\r\n";
    }
    return page;
}

int countOf(std::string_view text, char c) {
    return static_cast<int>(std::count(text.begin(), text.end(), c));
}

constexpr std::string_view kCountsCapped = "插入次数过多，已按上限插入：";

// However short the article, a count that no memory bound comes near puts in
// every item it asks for, whatever the type.
TEST_F(PipelineTest, OrdinaryCountsAreNeverCutByTheArticlesLength) {
    set("编辑框关键词列表", "甲\r\n乙");
    set("编辑框再组合关键词", "[*]");
    tick("选择框插入标题", false);
    const std::tuple<int, const char*, const char*, int> cases[] = {
        {0, "6", "文", 6},
        {11, "2", "", 2},
        {13, "2", "", 2},
        {1, "10000", "一\r\n二", 20'000},
        {6, "10000", "甲\r\n乙", 40'000},
        {2, "10000", "一句。二句。", 20'000},
        {7, "10000", "甲\r\n乙", 40'000},
        {3, "10000", "甲\r\n乙\r\n丙", 30'000}};
    for (const auto& [type, count, content, items] : cases) {
        select("组合框内容插入类型", type);
        set("编辑框次数1", count);
        set("编辑框次数2", count);
        ArticleReport report;
        EXPECT_EQ(countOf(run("T", content, &report).second, '['), items) << type;
        EXPECT_TRUE(report.problems.empty()) << type;
    }
}

// A count of two billion stops at the memory bounds, and the run says so once:
// a set at 64 MiB (1,024 items of 64 KiB here, each with its byte), the line,
// sentence and block types at 64 MiB plus 16 times the content.
TEST_F(PipelineTest, HugeItemCountsStopAtTheMemoryBounds) {
    form.find("编辑框关键词列表")->setText(std::string(65'533, 'k'));
    set("编辑框再组合关键词", "[*]");
    set("编辑框次数1", "2147483647");
    set("编辑框次数2", "2147483647");
    tick("选择框插入标题", false);
    const std::string page = longPage();
    for (const int type : {0, 2, 3, 7, 11, 14}) {
        select("组合框内容插入类型", type);
        tick("选择框更新关键词", type == 3);
        ArticleReport report;
        const std::string content = run("T", page, &report, 7).second;
        const int items = countOf(content, '[');
        EXPECT_TRUE(type == 0 || type == 11 ? items == 1024 : items >= 40) << type << " " << items;
        EXPECT_LE(content.size(), page.size() + outputAllowance(G(page).size())) << type;
        ASSERT_EQ(report.problems.size(), 1u) << type;
        EXPECT_EQ(report.problems[0], std::string(kCountsCapped) + "“插入的次数”");
    }
}

// 编辑框插入最少/最多: ordinary counts put every copy of the title into even
// the shortest content; a huge count stops where the copies would pass what
// insertion may add (64 MiB plus 16 times the content: 1,024 copies of a
// 64 KiB title into four bytes).
TEST_F(PipelineTest, TitleCountsInShuffleModeStopOnlyAtTheMemoryBound) {
    form.find("分组框文章打乱替换器")->setVisible(true);
    tick("选择框打乱标题", false);
    tick("选择框打乱内容", false);
    tick("选择框标题插入", true);
    for (const auto& [count, title, copies] :
         {std::tuple{"5", std::string("[T]"), 5},
          {"2147483647", "[" + std::string(65'534, 'T'), 1024}}) {
        set("编辑框插入最少", count);
        set("编辑框插入最多", count);
        ArticleReport report;
        EXPECT_EQ(countOf(run(title, "正文", &report).second, '['), copies);
        EXPECT_EQ(report.problems.size(), copies == 5 ? 0u : 1u);
    }
}

TEST_F(PipelineTest, ScriptConversionByEveryItemOfTheList) {
    set("编辑框关键词列表", "K");
    tick("选择框插入标题", false);
    tick("选择框插入内容", false);
    const std::vector<std::tuple<int, std::string, std::string>> rows = {
        {1, "這是測試", "这是测试"},      {2, "这是测试", "這是測試"},
        {3, "着想里面", "著想裡面"},      {4, "U盘和软件", "隨身碟和軟體"},
        {5, "着想里面", "着想裏面"},      {6, "裡面的軟體", "里面的软体"},
        {7, "隨身碟和軟體", "U盘和软件"}, {8, "裏面", "里面"},
    };
    for (const auto& [index, in, out] : rows) {
        select("组合框转换繁简体", index);
        EXPECT_EQ(run(in, in), std::pair(out, out)) << index;
    }
}

TEST_F(PipelineTest, SameSeedSameArticle) {
    select("组合框内容插入类型", 2);
    const auto a = run("标题", "第一句，第二句。第三句！", nullptr, 42);
    const auto b = run("标题", "第一句，第二句。第三句！", nullptr, 42);
    EXPECT_EQ(a, b);
}

// The items' ranges the preview gets: asking for them changes no result,
// each range holds one item of the result, and the count is the number of
// items put in (the title's first-line copy aside).
TEST_F(PipelineTest, InsertModeReportsWhereEveryItemStands) {
    set("编辑框关键词列表", "甲\r\n乙\r\n丙\r\nkw");
    set("编辑框再组合关键词", "<b>*</b>|[*]");
    set("编辑框次数1", "2");
    set("编辑框次数2", "4");
    set("编辑框每隔最少", "5");
    set("编辑框每隔最多", "9");
    set("编辑框句子结尾符", "。|，|\\n");
    const std::string content =
        "<p>第一段 text here，还有U盘。</p>\r\n短\r\n\r\n<div a=\"1\">第三段English "
        "words。出租车最后</div>\r\n";
    const std::set<std::string> items = {"<b>甲</b>", "<b>乙</b>", "<b>丙</b>", "<b>kw</b>",
                                         "[甲]",      "[乙]",      "[丙]",      "[kw]",
                                         "甲",        "乙",        "丙",        "kw"};
    for (int conversion : {0, 2, 4}) {  // none, s2t, s2twp (which changes lengths)
        for (bool firstLine : {false, true}) {
            for (int titleType = 0; titleType <= 4; ++titleType) {
                for (int type = 0; type <= 14; ++type) {
                    select("组合框转换繁简体", conversion);
                    tick("选择框标题插入首行", firstLine);
                    tick("选择框标题插一次", titleType % 2 == 0);
                    select("组合框标题插入类型", titleType);
                    select("组合框内容插入类型", type);
                    const auto plain = run("标题Title", content);
                    ArticleReport report;
                    report.wantSpans = true;
                    const ArticleOptions options = readArticleOptions(form);
                    ArticleRun articleRun(1);
                    articleRun.prepare(options, loadKeywords(options.keywordList));
                    std::string t = G("标题Title");
                    std::string c = G(content);
                    processArticle(options, articleRun, t, c, &report);
                    const std::string where =
                        std::to_string(conversion) + "/" + std::to_string(firstLine) + "/" +
                        std::to_string(titleType) + "/" + std::to_string(type);
                    ASSERT_EQ(test::U(t), plain.first) << where;
                    ASSERT_EQ(test::U(c), plain.second) << where;
                    std::size_t at = 0;
                    for (const auto& [begin, end] : report.contentSpans) {
                        ASSERT_LE(at, begin) << where;
                        ASSERT_LE(end, c.size()) << where;
                        const std::string item = test::U(c.substr(begin, end - begin));
                        EXPECT_TRUE(items.contains(item)) << where << " " << item;
                        at = end;
                    }
                    for (const auto& [begin, end] : report.titleSpans) {
                        ASSERT_LE(end, t.size()) << where;
                        const std::string item = test::U(t.substr(begin, end - begin));
                        EXPECT_TRUE(items.contains(item)) << where << " " << item;
                    }
                    const std::size_t copies = firstLine ? report.titleSpans.size() : 0;
                    EXPECT_EQ(static_cast<std::size_t>(report.items),
                              report.titleSpans.size() + report.contentSpans.size() - copies)
                        << where;
                    EXPECT_GT(report.items, 0) << where;
                }
            }
        }
    }
}

TEST_F(PipelineTest, ReplaceModeReadsItsRulesAndDefaultsToSoundHtml) {
    const ArticleOptions defaults = readArticleOptions(form);
    EXPECT_EQ(defaults.replace, ReplaceRules::windowDefaults());
    tick("单选框插入", false);
    tick("单选框替换", true);
    set("编辑框关键词列表", "北京\r\ncat");
    set("编辑框再组合关键词", "[*]");
    const std::string content = "<a href=\"/北京\">北京</a>北京 category cat <h2>北京</h2>";
    EXPECT_EQ(run("T", content).second,
              "<a href=\"/北京\">北京</a>[北京] category [cat] <h2>[北京]</h2>");
    tick("选择框替换避开小标题", true);
    set("编辑框替换次数上限", "1");
    EXPECT_EQ(run("T", content).second,
              "<a href=\"/北京\">北京</a>[北京] category [cat] <h2>北京</h2>");
    set("编辑框链接总数上限", "1");
    ArticleReport report;
    EXPECT_EQ(run("T", content, &report).second,
              "<a href=\"/北京\">北京</a>[北京] category cat <h2>北京</h2>");
    EXPECT_EQ(report.items, 1);
    // Everything off: as before the rules, every occurrence anywhere.
    tick("选择框替换避开标签", false);
    tick("选择框替换避开小标题", false);
    tick("选择框替换整词", false);
    set("编辑框替换次数上限", "");
    set("编辑框链接总数上限", "0");
    EXPECT_EQ(run("T", content).second,
              "<a href=\"/[北京]\">[北京]</a>[北京] [cat]egory [cat] <h2>[北京]</h2>");
    // Titles are not replaced, as before.
    EXPECT_EQ(run("北京", content).first, "北京");
}

// With every rule off the pipeline gives what the replacer without rules
// gives, byte for byte, on an HTML page with the window's templates.
TEST_F(PipelineTest, ReplaceModeWithEveryRuleOffIsUnchanged) {
    tick("单选框插入", false);
    tick("单选框替换", true);
    tick("选择框替换避开标签", false);
    tick("选择框替换整词", false);
    set("编辑框关键词列表", "青禾\r\n农场\r\na\r\ndiv\r\n丰收");
    const ArticleOptions options = readArticleOptions(form);
    ASSERT_EQ(options.replace, ReplaceRules{});
    const std::string page = textOf(form, "编辑框预览内容");  // the sample page
    for (std::uint64_t seed : {1u, 2u, 3u}) {
        ArticleRun articleRun(seed);
        articleRun.prepare(options, loadKeywords(options.keywordList));
        std::string t = G("标题");
        std::string c = page;
        processArticle(options, articleRun, t, c);
        Random random(seed);
        KeywordSupply supply(random);
        supply.parseTemplates(options.templates);
        const std::vector<std::string> keywords = loadKeywords(options.keywordList);
        EXPECT_EQ(c, replaceExistingKeywords(page, keywords, keywords, supply, G("标题")));
        EXPECT_NE(c, page);
    }
}

// A link map: keywords with addresses, #网址# in the templates, one link per
// address, and no article linked to its own page, in both modes.
TEST_F(PipelineTest, LinkMapLinksEachKeywordToItsPageButNeverToItself) {
    set("编辑框关键词列表",
        "北京\t/bj.html\r\n上海\thttps://example.com/sh.html#top\r\n首都\t/bj.html\r\n天津");
    set("编辑框再组合关键词", "<a href=\"#网址#\">*</a>");
    set("编辑框本站网址", "https://example.com/");
    tick("单选框插入", false);
    tick("单选框替换", true);
    set("编辑框每个网址最多链接", "1");
    const std::string text = "北京和首都，上海，天津。北京";
    ArticleReport report;
    EXPECT_EQ(run("T", text, &report, 1, "sh.html").second,
              "<a href=\"/bj.html\">北京</a>和首都，上海，<a href=\"\">天津</a>。北京");
    EXPECT_EQ(report.keywordItems,
              (std::vector<std::pair<std::string, int>>{{G("北京"), 1}, {G("天津"), 1}}));
    set("编辑框每个网址最多链接", "0");
    EXPECT_EQ(run("T", text, nullptr, 1, "index.html").second,
              "<a href=\"/bj.html\">北京</a>和<a href=\"/bj.html\">首都</a>，<a "
              "href=\"https://example.com/sh.html#top\">上海</a>，<a href=\"\">天津</a>。<a "
              "href=\"/bj.html\">北京</a>");
    // Insert mode on the page of 北京 and 首都: items of the other two only,
    // counted by keyword; the preview (no page) leaves nobody out.
    tick("单选框插入", true);
    tick("单选框替换", false);
    select("组合框调用方式", 2);
    set("编辑框次数1", "8");
    set("编辑框次数2", "8");
    tick("选择框插入标题", true);
    for (int type = 0; type <= 14; ++type) {
        select("组合框内容插入类型", type);
        ArticleReport inserted;
        const auto [t, content] = run("T", "甲。乙，丙。\r\n丁。\r\n戊", &inserted, 1, "bj.html");
        EXPECT_EQ((t + content).find("bj.html"), std::string::npos) << type << content;
        EXPECT_GT(inserted.items, 0) << type;
        // Type 9 fills no set: its content is shorter than one step.
        if (type != 9) {
            EXPECT_NE(content.find("<a href=\"https://example.com/sh.html#top\">上海</a>"),
                      std::string::npos)
                << type;
        }
        int counted = 0;
        for (const auto& [keyword, n] : inserted.keywordItems) {
            EXPECT_TRUE(keyword == G("上海") || keyword == G("天津")) << test::U(keyword);
            counted += n;
        }
        EXPECT_EQ(counted, inserted.items) << type;
    }
    tick("选择框插入标题", false);
    select("组合框内容插入类型", 0);
    EXPECT_NE(run("T", "。").second.find("/bj.html"), std::string::npos);
    set("编辑框关键词列表", "北京\t/bj.html");
    EXPECT_EQ(run("T", "。", nullptr, 1, "bj.html"),
              std::make_pair(std::string("T"), std::string("。")));
}

}  // namespace
}  // namespace lct
