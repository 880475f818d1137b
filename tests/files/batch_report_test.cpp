// A batch's report read back field for field by strict CSV and JSON readers,
// hostile names included.
#include "files/batch_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <optional>

#include "gbk.h"

namespace lct {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// RFC 4180 rows, each ending in CR LF; nullopt for a stray quote or line break.
std::optional<Rows> readCsv(std::string_view s) {
    Rows rows;
    bool rowEnded = true;
    while (!s.empty()) {
        if (rowEnded) rows.emplace_back();
        std::string& field = rows.back().emplace_back();
        const bool quoted = s.starts_with('"');
        std::size_t end = quoted ? 1 : std::min(s.find_first_of(",\"\r\n"), s.size());
        for (; quoted && end < s.size() && (s[end] != '"' || s.substr(end, 2) == "\"\"");
             end += s[end] == '"' ? 2u : 1u)
            field += s[end];
        if (quoted && end++ == s.size()) return std::nullopt;
        if (!quoted) field = s.substr(0, end);
        s.remove_prefix(end);
        rowEnded = s.starts_with("\r\n");
        if (!rowEnded && !s.starts_with(',')) return std::nullopt;
        s.remove_prefix(rowEnded ? 2 : 1);
    }
    return rowEnded ? std::optional(rows) : std::nullopt;
}

// A JSON object of strings, integers and objects at the front of `s`, taken
// off it, as "key" → value and "key.member" → value; false for anything else.
bool readJson(std::string_view& s, std::map<std::string, std::string>& out,
              const std::string& prefix = "") {
    const auto eat = [&s](char c) { return s.starts_with(c) && (s.remove_prefix(1), true); };
    const auto string = [&](std::string& text) {
        if (!eat('"')) return false;
        while (!eat('"')) {
            if (s.size() < 2 || static_cast<unsigned char>(s[0]) < 0x20) return false;
            const std::size_t k = eat('\\') ? std::string_view("\"\\nrtu").find(s[0]) : 9;
            if ((k > 5 && k != 9) || (k == 5 && s.size() < 5)) return false;
            text += k == 5 ? static_cast<char>(std::stoi(std::string(s.substr(1, 4)), nullptr, 16))
                    : k == 9 ? s[0]
                             : "\"\\\n\r\t"[k];
            s.remove_prefix(k == 5 ? 5 : 1);
        }
        return true;
    };
    if (!eat('{')) return false;
    if (eat('}')) return true;
    do {
        std::string key;
        if (!string(key) || !eat(':')) return false;
        std::string& value = out[prefix + key];
        if (s.starts_with('{') || s.starts_with('"')) {
            if (s[0] == '{' ? !readJson(s, out, prefix + key + ".") : !string(value)) return false;
            continue;
        }
        const std::size_t digits = std::min(s.find_first_not_of("0123456789"), s.size());
        if (digits == 0) return false;
        value = s.substr(0, digits);
        s.remove_prefix(digits);
    } while (eat(','));
    return eat('}');
}

TEST(BatchReport, BothFormatsReadBackFieldForField) {
    const std::vector<std::pair<std::string, int>> items = {
        {test::G("软件包"), 2}, {test::G("图层"), 1}, {test::G("软件包"), 1}};
    const std::vector<InputOutcome> outcomes = {
        {"/站/a,\"b\"\n.html", "/站/结果/a.html", "", 4, items},
        {"=cmd|' /C calc'!A0", "", "无法读取", 0, {}},
        {"/tmp/\xC4\xE3\xBA\xC3.txt", "", "原因\t\x01", 0, {}},  // a name made under GBK
    };
    const Rows rows = {
        {"输入文件", "结果文件", "状态", "失败原因", "写入数量", "各关键词数量"},
        {"/站/a,\"b\"\n.html", "/站/结果/a.html", "成功", "", "4", "软件包×3；图层×1"},
        {"'=cmd|' /C calc'!A0", "", "失败", "无法读取", "0", ""},
        {"/tmp/你好.txt", "", "失败", "原因\t\x01", "0", ""},
    };
    const std::string csv = batchReportText(outcomes, reportFormatOf("r.CSV"));
    EXPECT_TRUE(csv.starts_with("\xEF\xBB\xBF"));
    EXPECT_EQ(readCsv(std::string_view(csv).substr(3)), rows);

    const std::string jsonLines = batchReportText(outcomes, reportFormatOf("/x/r.JSONL"));
    std::string_view rest = jsonLines;
    for (std::size_t row = 1; row < rows.size(); ++row) {
        std::map<std::string, std::string> object, expected = {{"keywords", ""}};
        for (std::size_t i = 0; i < 5; ++i)
            expected[std::array{"input", "result", "status", "reason", "items"}[i]] = rows[row][i];
        if (expected["input"].starts_with('\'')) expected["input"].erase(0, 1);
        if (row == 1) expected.insert({{"keywords.软件包", "3"}, {"keywords.图层", "1"}});
        ASSERT_TRUE(readJson(rest, object) && rest.starts_with('\n')) << rest;
        rest.remove_prefix(1);
        EXPECT_EQ(object, expected);
    }
    EXPECT_EQ(rest, "");
}

}  // namespace
}  // namespace lct
