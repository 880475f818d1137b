#include "app/program_arguments.h"

#include <utility>

namespace lct {
namespace {

constexpr std::string_view kUsage =
    "用法:\n"
    "  lancitong [--ini 文件] [Qt 的选项]\n"
    "  lancitong --help | --version\n"
    "\n"
    "青禾·澜词通：批量把关键词插入到网页文章的标题和内容，把原有关键词替换为加链接的形式，\n"
    "或者打乱句子、查找替换来改写文章。\n"
    "\n"
    "  --ini 文件     配置文件（默认：程序目录下的“青禾·澜词通.ini”，\n"
    "                 该文件不存在且程序目录不可写时，用 ~/.config/lancitong/ 下的）\n"
    "  --help, -h     显示本说明并退出\n"
    "  --version      显示版本并退出\n"
    "\n"
    "其余参数交给 Qt（如 -platform 名称、-style 名称）。\n"
    "不显示窗口的批量处理见 lancitong-cli --help。\n";

constexpr std::string_view kIni = "--ini";

}  // namespace

ProgramArguments parseProgramArguments(const std::vector<std::string>& args) {
    ProgramArguments result;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") return {ProgramAction::Help, {}, {}};
        if (arg == "--version") return {ProgramAction::Version, {}, {}};
        std::string value;
        if (arg == kIni) {
            if (i + 1 == args.size()) return {ProgramAction::UsageError, {}, "选项 --ini 缺少值"};
            value = args[++i];
        } else if (arg.starts_with(std::string(kIni) + "=")) {
            value = arg.substr(kIni.size() + 1);
        } else {
            continue;
        }
        if (value.empty()) return {ProgramAction::UsageError, {}, "选项 --ini 的值为空"};
        result.settingsPath = std::move(value);
    }
    return result;
}

std::string_view programUsage() {
    return kUsage;
}

}  // namespace lct
