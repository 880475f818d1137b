// Writes generated articles of about 8 KB each into a folder, in turn GBK,
// UTF-8 with a mark, UTF-8 without one (LF line breaks), UTF-16LE and Big5,
// for timing batches: make_articles FOLDER COUNT [SUBFOLDERS]. With
// SUBFOLDERS, article i goes into the subfolder "栏目(i % SUBFOLDERS)", as a
// site's pages sit in its sections.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/charset.h"

namespace {

std::string article(int n) {
    std::string text = "<html><head><title>新闻 " + std::to_string(n) + "</title></head><body>\n";
    while (text.size() < 5600) {
        text +=
            "<p>今天的天气很好，我们一起去公园散步。The quick brown fox jumps over the lazy "
            "dog! 中文与English混排，<a href=\"https://example.com/\">标点符号</a>也要处理？"
            "最后一句话。</p>\n";
    }
    return text + "</body></html>\n";
}

std::string crlf(const std::string& lf) {
    std::string out;
    for (char c : lf) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: make_articles FOLDER COUNT [SUBFOLDERS]\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const int count = std::atoi(argv[2]);
    const int subfolders = argc == 4 ? std::max(1, std::atoi(argv[3])) : 0;
    for (int i = 0; i < count; ++i) {
        const std::string utf8 = article(i);
        std::string bytes;
        switch (i % 5) {
            case 0:
                bytes = lct::utf8ToGbk(crlf(utf8));
                break;
            case 1:
                bytes = "\xEF\xBB\xBF" + crlf(utf8);
                break;
            case 2:
                bytes = utf8;
                break;
            case 3:
                bytes =
                    "\xFF\xFE" + lct::convertCharset(crlf(utf8), "UTF-8", "UTF-16LE").value_or("");
                break;
            default:
                bytes = lct::convertCharset(crlf(utf8), "UTF-8", "Big5").value_or("");
                break;
        }
        const std::filesystem::path folder =
            subfolders > 0 ? root / ("栏目" + std::to_string(i % subfolders)) : root;
        std::filesystem::create_directories(folder);
        std::ofstream(folder / ("新闻" + std::to_string(i) + ".htm"), std::ios::binary) << bytes;
    }
    return 0;
}
