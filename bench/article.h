#pragma once
// Generated GBK HTML articles for the benchmarks: paragraphs of Chinese text
// with English words and punctuation, tags around and inside them.

#include <string>

#include "platform/charset.h"

namespace lct::bench {

/// About `bytes` of GBK HTML with CR LF line breaks.
inline std::string article(std::size_t bytes) {
    const std::string paragraph = utf8ToGbk(
        "<p class=\"text\">今天的天气很好，我们一起去公园散步。The quick brown fox jumps over "
        "the lazy dog! 中文与English混排，<a href=\"https://example.com/page\">标点符号</a>"
        "也要处理？最后一句话。</p>\r\n");
    std::string out = utf8ToGbk("<html><head><title>标题</title></head><body>\r\n");
    while (out.size() < bytes)
        out += paragraph;
    out += "</body></html>";
    return out;
}

}  // namespace lct::bench
