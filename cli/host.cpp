#include "cli/host.h"

#include <cstdio>

#include "platform/charset.h"
#include "platform/utf8.h"

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

namespace {

// Bytes of the printable character at `i`; 0 for a control character (C0,
// DEL, C1) and for a byte that starts no well-formed UTF-8 sequence.
std::size_t printableSize(std::string_view text, std::size_t i) {
    const Utf8Char c = readUtf8(text, i);
    const bool control = c.cp < 0x20 || (c.cp >= 0x7F && c.cp < 0xA0);
    return control ? 0 : c.size;
}

}  // namespace

std::string terminalSafe(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t size = printableSize(text, i);
        if (size > 0) {
            out.append(text.substr(i, size));
            i += size;
            continue;
        }
        const unsigned byte = byteAt(text, i++);
        out += "\\x";
        out.push_back(kHex[byte >> 4]);
        out.push_back(kHex[byte & 0xF]);
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
        // A line per article, but not a system call per article: a line is
        // held while the last write is less than a quarter of a second old and
        // less than a few kilobytes wait; anything else written to standard
        // error comes after the lines held.
        constexpr std::size_t kHeldBytes = 8192;
        constexpr auto kHeldTime = std::chrono::milliseconds(250);
        const auto now = std::chrono::steady_clock::now();
        heldLines_.append(line).push_back('\n');
        if (heldLines_.size() >= kHeldBytes || now - lastWrite_ >= kHeldTime) {
            writeHeldLines();
            lastWrite_ = now;
        }
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

void CliHost::writeHeldLines() {
    if (heldLines_.empty()) return;
    std::fwrite(heldLines_.data(), 1, heldLines_.size(), stderr);
    heldLines_.clear();
}

void CliHost::finishProgress() {
    writeHeldLines();
    if (!barDrawn_) return;
    std::fputc('\n', stderr);
    barDrawn_ = false;
}

}  // namespace lct::cli
