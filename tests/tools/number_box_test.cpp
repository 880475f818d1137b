// Number boxes of the tool windows: how a typed text reads, and the message
// for a value a tool cannot handle.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "form/headless_form.h"
#include "gbk.h"
#include "tools/number_box.h"

namespace lct {
namespace {

using test::G;
using test::U;

struct ReadCase {
    const char* text;  // UTF-8
    std::int64_t value;
    bool tooLarge;
};

TEST(NumberText, ReadsAsTyped) {
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    const ReadCase cases[] = {
        {"", 0, false},
        {"abc", 0, false},
        {"42", 42, false},
        {" 3", 3, false},
        {"\t 7x", 7, false},
        {"　　5", 5, false},
        {"３", 3, false},
        {"１２３", 123, false},
        {"1２3", 123, false},
        {"－４", -4, false},
        {"＋９", 9, false},
        {" -12", -12, false},
        {"+8", 8, false},
        {"- 8", 0, false},
        {"12.9", 12, false},
        {"-0.5", 0, false},
        {"100 200", 100, false},
        {"2147483648", 2147483648LL, false},
        {"999999999999", 999999999999LL, false},
        {"9223372036854775807", kMax, false},
        {"-9223372036854775808", kMin, false},
        {"9223372036854775808", 0, true},
        {"-9223372036854775809", 0, true},
        {"99999999999999999999999", 0, true},
        {"中3", 0, false},
    };
    for (const ReadCase& c : cases) {
        const NumberText n = readNumberText(G(c.text));
        EXPECT_EQ(n.value, c.value) << c.text;
        EXPECT_EQ(n.tooLarge, c.tooLarge) << c.text;
    }
}

TEST(NumberText, LoneLeadByteAtEndReadsTheDigitsBefore) {
    EXPECT_EQ(readNumberText("12\xA3").value, 12);
    EXPECT_EQ(readNumberText("\xA3").value, 0);
}

class NumberBoxRange : public ::testing::Test {
  protected:
    HeadlessForm form{ControlTable{{.name = "编辑框数", .kind = ControlKind::EditBox}}};
    const NumberBox box{"编辑框数", "生成组数", -5, 1000};

    std::optional<std::int64_t> read(const char* text, std::string& error) {
        form.find("编辑框数")->setText(G(text));
        return readNumberBox(form, box, error);
    }
};

TEST_F(NumberBoxRange, ValuesInsideTheRangeRead) {
    for (const char* text : {"-5", "0", "1000", "　１０００", ""}) {
        std::string error;
        EXPECT_TRUE(read(text, error).has_value()) << text;
        EXPECT_TRUE(error.empty()) << text;
    }
}

TEST_F(NumberBoxRange, ValuesOutsideItAreNamedInTheMessage) {
    for (const char* text : {"-6", "1001", "99999999999999999999"}) {
        std::string error;
        EXPECT_FALSE(read(text, error).has_value()) << text;
        const std::string message = U(error);
        EXPECT_NE(message.find("生成组数"), std::string::npos) << message;
        EXPECT_NE(message.find(text), std::string::npos) << message;
        EXPECT_NE(message.find("-5 到 1000"), std::string::npos) << message;
    }
}

TEST_F(NumberBoxRange, WarnShowsTheMessageOnce) {
    form.find("编辑框数")->setText("5000");
    EXPECT_FALSE(readNumberBoxOrWarn(form, box, "工具").has_value());
    ASSERT_EQ(form.messages().size(), 1u);
    EXPECT_EQ(form.messages()[0].icon, MessageIcon::Warning);
    EXPECT_EQ(U(form.messages()[0].caption), "工具");
    form.find("编辑框数")->setText("50");
    EXPECT_EQ(readNumberBoxOrWarn(form, box, "工具"), 50);
    EXPECT_EQ(form.messages().size(), 1u);
}

}  // namespace
}  // namespace lct
