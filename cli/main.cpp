// lancitong-cli: the command-line driver over the engine.
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

constexpr std::string_view kVersion = "1.5.3.0";

constexpr std::string_view kUsage =
    "用法:\n"
    "  lancitong-cli preview [选项] [--title 标题] [--content-file 文件]\n"
    "  lancitong-cli batch   [选项] 路径...\n"
    "  lancitong-cli settings [选项]\n"
    "  lancitong-cli --help | --version\n"
    "\n"
    "选项:\n"
    "  --ini 文件              读取主界面选项的配置文件\n"
    "  --set 名称=值           设置主界面的一个控件（可重复）\n"
    "  --mode insert|replace|shuffle\n"
    "  --seed N                固定随机种子，结果可重现\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("lancitong-cli %.*s\n", static_cast<int>(kVersion.size()), kVersion.data());
        return 0;
    }
    std::fwrite(kUsage.data(), 1, kUsage.size(), stderr);
    return 2;
}
