#include "cli/host.h"

#include <cstdio>

#include "platform/charset.h"

namespace lct::cli {

void printError(std::string_view utf8) {
    // One write per line: standard error is unbuffered.
    std::string line;
    line.reserve(utf8.size() + 1);
    line.append(utf8).push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stderr);
}

int usageError(std::string_view message) {
    printError("lancitong-cli: " + std::string(message));
    printError("用 lancitong-cli --help 查看用法");
    return kUsageStatus;
}

std::string terminalSafe(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    auto escape = [&](unsigned char byte) {
        out += "\\x";
        out.push_back(kHex[byte >> 4]);
        out.push_back(kHex[byte & 0xF]);
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x20 || lead == 0x7F) {
            escape(lead);
            ++i;
            continue;
        }
        if (lead < 0x80) {
            out.push_back(static_cast<char>(lead));
            ++i;
            continue;
        }
        const std::size_t size = lead >= 0xF0 && lead <= 0xF4   ? 4
                                 : lead >= 0xE0                 ? (lead <= 0xEF ? 3 : 0)
                                 : lead >= 0xC2 && lead <= 0xDF ? 2
                                                                : 0;
        bool valid = size > 0 && i + size <= text.size();
        for (std::size_t k = 1; valid && k < size; ++k)
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (valid && size == 3) {
            const auto second = static_cast<unsigned char>(text[i + 1]);
            valid = !(lead == 0xE0 && second < 0xA0) && !(lead == 0xED && second >= 0xA0);
        }
        if (valid && size == 4) {
            const auto second = static_cast<unsigned char>(text[i + 1]);
            valid = !(lead == 0xF0 && second < 0x90) && !(lead == 0xF4 && second >= 0x90);
        }
        // C1 controls (U+0080..U+009F) are C2 80..C2 9F.
        if (valid && size == 2 && lead == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0)
            valid = false;
        if (!valid) {
            escape(lead);
            ++i;
            continue;
        }
        out.append(text.substr(i, size));
        i += size;
    }
    return out;
}

void CliHost::tell(std::string_view text) {
    finishProgress();
    printError(terminalSafe(gbkToUtf8(text)));
}

bool CliHost::ask(std::string_view question) {
    tell(question);
    return false;
}

void CliHost::status(std::string_view text) {
    const std::string line = terminalSafe(gbkToUtf8(text));
    if (!terminal_) {
        printError(line);
        return;
    }
    constexpr int kWidth = 30;
    const int filled = range_ > 0 ? kWidth * position_ / range_ : 0;
    std::fprintf(stderr, "\r\x1b[2K[%s%s] %s",
                 std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(kWidth - filled), ' ').c_str(), line.c_str());
    std::fflush(stderr);
    barDrawn_ = true;
}

void CliHost::progress(int range, int position) {
    range_ = range;
    position_ = position;
    if (range == 0) finishProgress();
}

void CliHost::problem(std::string_view text) {
    finishProgress();
    printError("警告：" + terminalSafe(text));
}

void CliHost::failed(std::string_view path, std::string_view reason) {
    finishProgress();
    printError("失败：" + terminalSafe(path) + "：" + terminalSafe(reason));
}

void CliHost::finishProgress() {
    if (!barDrawn_) return;
    std::fputc('\n', stderr);
    barDrawn_ = false;
}

}  // namespace lct::cli
