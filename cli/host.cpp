#include "cli/host.h"

#include <cstdio>

#include "platform/charset.h"

namespace lct::cli {

void printError(std::string_view utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
    std::fputc('\n', stderr);
}

MessageAnswer CliHost::message(std::string_view text, MessageButtons buttons, MessageIcon) {
    finishProgress();
    printError(gbkToUtf8(text));
    // The command line never asks: a question is answered No.
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
}

void CliHost::status(std::string_view text) {
    const std::string line = gbkToUtf8(text);
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
    printError("警告：" + std::string(text));
}

void CliHost::finishProgress() {
    if (!barDrawn_) return;
    std::fputc('\n', stderr);
    barDrawn_ = false;
}

}  // namespace lct::cli
