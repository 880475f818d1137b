// The anchor text composer: filling the template per pair, and the window's
// run over a headless form.
#include "tools/anchor_composer.h"

#include <gtest/gtest.h>

#include <string>

#include "form/headless_form.h"
#include "form/pending_messages.h"
#include "gbk.h"

namespace lct {
namespace {

using test::G;
using test::U;

struct ComposeCase {
    const char* name;
    const char* keywords;
    const char* addresses;
    const char* templateText;
    const char* expected;
};

TEST(ComposeAnchors, OneLinePerValidPair) {
    const ComposeCase cases[] = {
        {"MoreAddressesThanKeywords", "k1\r\nk2", "u1\r\nu2\r\nu3\r\nu4", "*1=*2",
         "k1=u1\r\nk2=u2\r\n"},
        {"MoreKeywordsThanAddresses", "k1\r\nk2\r\nk3\r\nk4", "u1\r\nu2", "*1=*2",
         "k1=u1\r\nk2=u2\r\n"},
        {"EmptyKeywordSkipsItsAddress", "k1\r\n\r\nk3", "u1\r\nu2\r\nu3", "*1=*2",
         "k1=u1\r\nk3=u3\r\n"},
        {"EmptyAddressSkipsItsKeyword", "k1\r\nk2", "\r\nu2", "*1=*2", "k2=u2\r\n"},
        {"KeywordWithBarIsCut", "left|right", "u1", "*1=*2", "left=right\r\n"},
        {"StarTwoInsideAKeywordBecomesTheAddress", "a*2b", "u1", "[*1]", "[au1b]\r\n"},
        {"TemplateWithoutMarkersRepeats", "k1\r\n\r\nk3", "u1\r\nu2\r\nu3", "<hr>",
         "<hr>\r\n<hr>\r\n"},
        {"EveryOccurrenceIsFilled", "k", "u", "*1*1*2*2", "kkuu\r\n"},
        {"NoAddressesNoLines", "k1", "", "*1=*2", ""},
    };
    for (const ComposeCase& c : cases)
        EXPECT_EQ(composeAnchors(c.keywords, c.addresses, c.templateText, false), c.expected)
            << c.name;
}

TEST(AnchorComposerForm, DefaultsGiveThreeLinks) {
    HeadlessForm form(anchorComposerTable());
    std::string captionDuringRun;
    auto previous = setPendingMessagesHandler([&] { captionDuringRun = textOf(form, "按钮合成"); });
    bool stop = true;  // the run clears it
    pressAnchorComposer(form, stop);
    setPendingMessagesHandler(previous);

    EXPECT_EQ(captionDuringRun, G("正在合成.."));
    EXPECT_EQ(textOf(form, "按钮合成"), G("合成"));
    EXPECT_EQ(U(textOf(form, "编辑框合成列表")),
              "<a href=\"https://www.example.com/\" title=\"青禾示例站\" "
              "target=\"_blank\">青禾示例站</a>\r\n"
              "<a href=\"https://www.example.org/\" title=\"澜词通演示站\" "
              "target=\"_blank\">澜词通演示站</a>\r\n"
              "<a href=\"https://www.example.net/\" title=\"示例资讯网\" "
              "target=\"_blank\">示例资讯网</a>\r\n");
}

TEST(AnchorComposerForm, StopEndsAfterTheLineInProgress) {
    HeadlessForm form(anchorComposerTable());
    bool stop = false;
    auto previous = setPendingMessagesHandler([&] { stop = true; });
    pressAnchorComposer(form, stop);
    setPendingMessagesHandler(previous);
    EXPECT_EQ(U(textOf(form, "编辑框合成列表")),
              "<a href=\"https://www.example.com/\" title=\"青禾示例站\" "
              "target=\"_blank\">青禾示例站</a>\r\n");
    EXPECT_EQ(textOf(form, "按钮合成"), G("合成"));
}

}  // namespace
}  // namespace lct
