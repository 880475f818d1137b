#include "files/batch_report.h"

#include <cstdio>
#include <unordered_map>

#include "files/text_encoding.h"
#include "platform/bytes.h"
#include "platform/charset.h"

namespace lct {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kCsvHeader = "输入文件,结果文件,状态,失败原因,写入数量,各关键词数量\r\n";

// A path or a reason as UTF-8: the bytes of a name made under GBK would
// otherwise make the whole file unreadable to a strict reader.
std::string utf8Of(std::string_view text) {
    return isValidUtf8(text) ? std::string(text) : gbkToUtf8(text);
}

std::string_view statusOf(const InputOutcome& outcome) {
    return outcome.reason.empty() ? "成功" : "失败";
}

// The keywords as UTF-8 with their items, each once, in first-use order.
std::vector<std::pair<std::string, long long>> mergedKeywordItems(
    const std::vector<std::pair<std::string, int>>& keywordItems) {
    std::vector<std::pair<std::string, long long>> merged;
    std::unordered_map<std::string, std::size_t> placeOf;
    for (const auto& [keyword, items] : keywordItems) {
        std::string text = gbkToUtf8(keyword);
        const auto [it, added] = placeOf.try_emplace(text, merged.size());
        if (added) {
            merged.emplace_back(std::move(text), items);
        } else {
            merged[it->second].second += items;
        }
    }
    return merged;
}

// A spreadsheet runs a cell that begins with one of these as a formula.
bool startsLikeAFormula(std::string_view text) {
    return !text.empty() &&
           std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

void appendCsvText(std::string_view text, std::string& out) {
    std::string field;
    if (startsLikeAFormula(text)) field += '\'';
    field += text;
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void appendCsvRow(const InputOutcome& outcome, std::string& out) {
    appendCsvText(utf8Of(outcome.path), out);
    out += ',';
    appendCsvText(utf8Of(outcome.resultPath), out);
    out += ',';
    out += statusOf(outcome);
    out += ',';
    appendCsvText(utf8Of(outcome.reason), out);
    out += ',';
    out += std::to_string(outcome.items);
    out += ',';
    appendCsvText(keywordItemsText(outcome.keywordItems), out);
    out += "\r\n";
}

// `text` (valid UTF-8) as a JSON string.
void appendJsonString(std::string_view text, std::string& out) {
    out += '"';
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

void appendJsonLine(const InputOutcome& outcome, std::string& out) {
    out += "{\"input\":";
    appendJsonString(utf8Of(outcome.path), out);
    out += ",\"result\":";
    appendJsonString(utf8Of(outcome.resultPath), out);
    out += ",\"status\":";
    appendJsonString(statusOf(outcome), out);
    out += ",\"reason\":";
    appendJsonString(utf8Of(outcome.reason), out);
    out += ",\"items\":" + std::to_string(outcome.items) + ",\"keywords\":{";
    bool first = true;
    for (const auto& [keyword, items] : mergedKeywordItems(outcome.keywordItems)) {
        if (!first) out += ',';
        first = false;
        appendJsonString(keyword, out);
        out += ':' + std::to_string(items);
    }
    out += "}}\n";
}

}  // namespace

ReportFormat reportFormatOf(std::string_view path) {
    constexpr std::string_view kJsonLines = ".jsonl";
    const bool jsonLines =
        path.size() >= kJsonLines.size() &&
        equalsIgnoringAsciiCase(path.substr(path.size() - kJsonLines.size()), kJsonLines);
    return jsonLines ? ReportFormat::JsonLines : ReportFormat::Csv;
}

std::string keywordItemsText(const std::vector<std::pair<std::string, int>>& keywordItems) {
    std::string text;
    for (const auto& [keyword, items] : mergedKeywordItems(keywordItems)) {
        if (!text.empty()) text += "；";
        text += keyword + "×" + std::to_string(items);
    }
    return text;
}

std::string batchReportText(const std::vector<InputOutcome>& outcomes, ReportFormat format) {
    std::string out;
    if (format == ReportFormat::Csv) {
        out += kByteOrderMark;
        out += kCsvHeader;
    }
    for (const InputOutcome& outcome : outcomes) {
        if (format == ReportFormat::Csv) {
            appendCsvRow(outcome, out);
        } else {
            appendJsonLine(outcome, out);
        }
    }
    return out;
}

}  // namespace lct
