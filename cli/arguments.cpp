#include "cli/arguments.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace lct::cli {
namespace {

constexpr std::string_view kUsage =
    "用法:\n"
    "  lancitong-cli preview  [选项] [--title 标题] [--content-file 文件]\n"
    "  lancitong-cli batch    [选项] [--recursive] 路径...\n"
    "  lancitong-cli linkmap  [--base-url 网址] [--from title|h1] [--recursive] [选项] 路径...\n"
    "  lancitong-cli settings [选项]\n"
    "  lancitong-cli tool 工具名 [--press 按钮] [--output 文件|- [--encoding 编码]] [选项]\n"
    "  lancitong-cli --help | --version\n"
    "\n"
    "preview   按主界面“预览”的方式处理一篇文章，把结果标题和结果内容写到标准输出\n"
    "batch     批量处理文件或文件夹（按“编辑框过滤”列出文件夹里的文件），\n"
    "          结果写到（全部路径的）第一个文件旁边的“关键词插入结果”文件夹\n"
    "linkmap   按 batch 的方式列出文章，为每篇输出一行“关键词<TAB>网址”（UTF-8）：关键词是\n"
    "          网页的标题（去掉“ - 网站名”等后缀），网址是 --base-url 加上文章的相对路径；\n"
    "          输出可作为 batch --mode replace 的关键词列表\n"
    "settings  读取配置、应用 --mode 和 --set，再按主界面关闭时的方式保存配置\n"
    "tool      不显示窗口运行一个工具：random 随机文本生成器、sequence 序列文本生成器、\n"
    "          combine 关键词遍历组合器、merge 关键词合并器、anchor 锚文本合成器\n"
    "\n"
    "选项（所有子命令）:\n"
    "  --ini 文件               配置文件（默认：程序目录下的“青禾·澜词通.ini”，\n"
    "                           该文件不存在且程序目录不可写时，用 ~/.config/lancitong/ 下的）；\n"
    "                           文件不存在时用默认值，存在但无法读取（或是文件夹）是用法错误\n"
    "  --set 控件名=值          设置主界面的一个控件，可重复，后者优先：\n"
    "                           编辑框取文本（以 @ 开头表示读取该文件的内容），\n"
    "                           选择框/单选框取 真/假、1/0、true/false，组合框取从 0 "
    "开始的项目序号\n"
    "  --mode insert|replace|shuffle\n"
    "                           insert 插入新关键词，replace 替换原关键词，shuffle 文章打乱替换器\n"
    "  --seed N                 固定随机种子：相同的输入、选项和种子得到相同的结果\n"
    "\n"
    "batch 的选项:\n"
    "  --jobs N                 同时使用的线程数（默认：处理器核数，1 到 64）：读取解码、处理、\n"
    "                           编码写入并行进行，处理按输入顺序，结果与 --jobs 1 相同\n"
    "  --shard K/N              只处理文件列表的第 K 部分（共 N 部分，1 ≤ K ≤ N），按路径的\n"
    "                           哈希划分，各部分互不重叠、合起来就是全部；与 --seed 一起\n"
    "                           每部分各自可重现，可在 N 台机器上分担同一批文件\n"
    "  --report 文件            处理完后写出报告，每个输入一行：输入文件、结果文件、成功/失败、\n"
    "                           失败原因、写入数量、各关键词数量（如“软件包×3；图层×1”）；\n"
    "                           文件名以 .jsonl 结尾时为 JSON Lines，否则为带 BOM 的 UTF-8 CSV；\n"
    "                           先写临时文件再改名，不会覆盖本次的输入或结果；报告无法写入时\n"
    "                           退出状态为 3。多个 --shard 部分应各写各的报告\n"
    "  --recursive              也列出文件夹的各级子文件夹里的文件（不进入结果文件夹，\n"
    "                           不跟随指向文件夹的符号链接），结果按原相对路径和原文件名\n"
    "                           （不按处理后的标题）写到结果文件夹里，\n"
    "                           如“关键词插入结果/docs/index.html”；文件夹是第一个路径时，\n"
    "                           结果文件夹在这个文件夹里\n"
    "\n"
    "linkmap 的选项（另可用 --recursive、--ini 和 --set 编辑框过滤、组合框输入编码）:\n"
    "  --base-url 网址          网址的前缀（默认为空：网址就是相对路径）；不以 / 结尾时补上 /；\n"
    "                           相对路径里网址不能直接包含的字符（控制字符、空格、\" # < > ? ` { "
    "}）\n"
    "                           写作 %XX，中文等其他字符保持原样\n"
    "  --from title|h1          关键词取自 <title>（默认）或第一个 <h1>\n"
    "  没有标题的文章、关键词与前面的文章重复的文章不输出，写到标准错误；\n"
    "  无法读取的文章也写到标准错误，退出状态 3\n"
    "\n"
    "batch 的规则:\n"
    "  无法读取的路径（不存在、失效或循环的符号链接、管道、设备、文件夹、没有权限）\n"
    "  不写结果、不建文件夹，计为失败；文件夹里符合过滤条件却无法读取的项目、无法列出的\n"
    "  文件夹（每个 --shard 部分都计）也计为失败；结果无法写入（磁盘已满、只读、名称太长、\n"
    "  结果文件夹是符号链接）也计为失败，\n"
    "  每个失败的路径及原因写到标准错误，处理继续进行下一篇。\n"
    "  结果文件夹在写第一个结果时才创建；同名的结果依次命名为“标题 (2)”等，\n"
    "  结果不会覆盖本次的输入文件，结果文件夹里的符号链接被替换而不是跟随。\n"
    "\n"
    "tool 的选项（--ini 读取该工具自己的配置节，--set 按该工具的控件名设置，--mode 不适用）:\n"
    "  --press 按钮             按下的按钮（默认：该工具的生成按钮，random 为“按钮生成汉字”，\n"
    "                           另有“按钮生成数母”）；结果框的文本以 UTF-8、LF 换行写到标准输出\n"
    "  --output 文件            把结果写到文件（普通文件先写临时文件再改名；设备、管道直接写入，\n"
    "                           不替换），不写标准输出；- 表示标准输出\n"
    "  --encoding 编码          --output 的编码：utf-8（默认）、gbk 或 utf-16le（均不带 BOM）\n"
    "  结果达到上限（1000000 行/组/项或 64 MB）时停止生成，并在标准错误说明生成了多少；\n"
    "  组合超过 100000 行时不询问；数字框的值超出工具能处理的范围时给出说明，退出状态 2\n"
    "\n"
    "退出状态: 0 完成；1 运行被拒绝（如“请先输入关键词列表！”）；2 用法错误；\n"
    "          3 批量处理已结束，但有文件无法读取或结果无法写入（或报告无法写入）；\n"
    "            或标准输出、--output 无法写入\n";

std::optional<std::uint64_t> parseSeed(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

ParseResult fail(std::string error) {
    return {std::nullopt, std::move(error)};
}

// An option that takes a value: the subcommands it belongs to (empty: all),
// and what it does with the value; an error text when the value is wrong.
struct OptionRule {
    std::string_view name;
    std::vector<Command> commands;
    std::string (*apply)(Arguments& a, const std::string& value);
};

const std::vector<OptionRule>& optionRules() {
    static const std::vector<OptionRule> rules = {
        {"--ini",
         {},
         [](Arguments& a, const std::string& value) {
             a.ini = value;
             return std::string();
         }},
        {"--set",
         {},
         [](Arguments& a, const std::string& value) {
             const auto eq = value.find('=');
             if (eq == std::string::npos || eq == 0) return "--set 的格式应为 控件名=值：" + value;
             a.sets.emplace_back(value.substr(0, eq), value.substr(eq + 1));
             return std::string();
         }},
        {"--mode",
         {Command::Preview, Command::Batch, Command::Linkmap, Command::Settings},
         [](Arguments& a, const std::string& value) {
             if (value != "insert" && value != "replace" && value != "shuffle")
                 return "--mode 只能是 insert、replace 或 shuffle：" + value;
             a.mode = value;
             return std::string();
         }},
        {"--seed",
         {},
         [](Arguments& a, const std::string& value) {
             a.seed = parseSeed(value);
             return a.seed ? std::string() : "--seed 需要一个非负整数：" + value;
         }},
        {"--shard",
         {Command::Batch},
         [](Arguments& a, const std::string& value) {
             a.shard = parseShard(value);
             return a.shard ? std::string() : "--shard 的格式应为 K/N（1 ≤ K ≤ N）：" + value;
         }},
        {"--jobs",
         {Command::Batch},
         [](Arguments& a, const std::string& value) {
             const std::optional<std::uint64_t> n = parseSeed(value);
             if (!n || *n < 1 || *n > 64) return "--jobs 需要 1 到 64 之间的整数：" + value;
             a.jobs = static_cast<unsigned>(*n);
             return std::string();
         }},
        {"--report",
         {Command::Batch},
         [](Arguments& a, const std::string& value) {
             if (value.empty()) return std::string("--report 需要一个文件名");
             a.report = value;
             return std::string();
         }},
        {"--press",
         {Command::Tool},
         [](Arguments& a, const std::string& value) {
             a.press = value;
             return std::string();
         }},
        {"--output",
         {Command::Tool},
         [](Arguments& a, const std::string& value) {
             if (value.empty()) return std::string("--output 需要一个文件名");
             a.output = value;
             return std::string();
         }},
        {"--encoding",
         {Command::Tool},
         [](Arguments& a, const std::string& value) {
             a.encoding = value;
             return std::string();
         }},
        {"--base-url",
         {Command::Linkmap},
         [](Arguments& a, const std::string& value) {
             a.baseUrl = value;
             return std::string();
         }},
        {"--from",
         {Command::Linkmap},
         [](Arguments& a, const std::string& value) {
             if (value != "title" && value != "h1") return "--from 只能是 title 或 h1：" + value;
             a.fromHeading = value == "h1";
             return std::string();
         }},
        {"--title",
         {Command::Preview},
         [](Arguments& a, const std::string& value) {
             a.title = value;
             return std::string();
         }},
        {"--content-file",
         {Command::Preview},
         [](Arguments& a, const std::string& value) {
             a.contentFile = value;
             return std::string();
         }},
    };
    return rules;
}

// An option that takes no value: the subcommands it belongs to and the
// field it sets.
struct FlagRule {
    std::string_view name;
    std::vector<Command> commands;
    bool Arguments::*field;
};

const std::vector<FlagRule>& flagRules() {
    static const std::vector<FlagRule> rules = {
        {"--recursive", {Command::Batch, Command::Linkmap}, &Arguments::recursive},
    };
    return rules;
}

const OptionRule* ruleFor(std::string_view option) {
    for (const OptionRule& rule : optionRules()) {
        if (rule.name == option) return &rule;
    }
    return nullptr;
}

constexpr std::pair<std::string_view, Command> kCommands[] = {
    {"preview", Command::Preview},   {"batch", Command::Batch}, {"linkmap", Command::Linkmap},
    {"settings", Command::Settings}, {"tool", Command::Tool},
};

std::optional<Command> commandNamed(std::string_view name) {
    for (const auto& [text, command] : kCommands) {
        if (text == name) return command;
    }
    return std::nullopt;
}

// "preview" or "preview、batch": the subcommands an option belongs to.
std::string namesOf(const std::vector<Command>& commands) {
    std::string names;
    for (const auto& [text, command] : kCommands) {
        if (std::find(commands.begin(), commands.end(), command) == commands.end()) continue;
        if (!names.empty()) names += "、";
        names += text;
    }
    return names;
}

// Splits "--name=value" into its two parts; other arguments have no value.
std::pair<std::string, std::optional<std::string>> splitOption(const std::string& arg) {
    const auto eq = arg.find('=');
    if (eq == std::string::npos || !arg.starts_with("--")) return {arg, std::nullopt};
    return {arg.substr(0, eq), arg.substr(eq + 1)};
}

// Adds an argument that is no option: the tool's name, or a path of a batch.
// An error text when the subcommand takes no such argument.
std::string addOperand(Arguments& a, const std::string& arg) {
    if (a.command == Command::Tool && a.tool.empty() && !arg.empty()) {
        a.tool = arg;
        return {};
    }
    if (a.command != Command::Batch && a.command != Command::Linkmap) return "多余的参数：" + arg;
    a.paths.push_back(arg);
    return {};
}

// Applies the option at args[i]. Without a value after "=", the next argument
// is its value, and `i` steps over it. An error text when it cannot apply.
std::string applyOption(Arguments& a, const std::vector<std::string>& args, std::size_t& i) {
    auto [option, value] = splitOption(args[i]);
    const auto belongs = [&a](const std::vector<Command>& commands) {
        return commands.empty() ||
               std::find(commands.begin(), commands.end(), a.command) != commands.end();
    };
    for (const FlagRule& flag : flagRules()) {
        if (flag.name != option) continue;
        if (!belongs(flag.commands)) return option + " 只能用于 " + namesOf(flag.commands);
        if (value) return option + " 不带值";
        a.*flag.field = true;
        return {};
    }
    const OptionRule* rule = ruleFor(option);
    if (!rule) return "未知的选项：" + option;
    if (!belongs(rule->commands)) return option + " 只能用于 " + namesOf(rule->commands);
    if (!value) {
        if (i + 1 >= args.size()) return "选项 " + option + " 缺少值";
        value = args[++i];
    }
    return rule->apply(a, *value);
}

// What the parsed command line lacks; empty when it is complete.
std::string missingParts(const Arguments& a) {
    if (a.command == Command::Batch && a.paths.empty()) return "batch 需要至少一个文件或文件夹";
    if (a.command == Command::Linkmap && a.paths.empty()) return "linkmap 需要至少一个文件或文件夹";
    if (a.command == Command::Tool && a.tool.empty())
        return "tool 需要工具名：random、sequence、combine、merge 或 anchor";
    if (a.encoding && !a.output) return "--encoding 只能和 --output 一起使用";
    return {};
}

}  // namespace

std::string_view usageText() {
    return kUsage;
}

ParseResult parseArguments(const std::vector<std::string>& args) {
    Arguments a;
    if (args.empty()) return fail("缺少子命令（preview、batch、linkmap、settings 或 tool）");
    const std::string& first = args.front();
    if (first == "--help" || first == "-h" || first == "help") return {a, {}};
    if (first == "--version") {
        a.command = Command::Version;
        return {a, {}};
    }
    const std::optional<Command> command = commandNamed(first);
    if (!command) return fail("未知的子命令：" + first);
    a.command = *command;

    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string error;
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            error = addOperand(a, arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            a.command = Command::Help;
            return {a, {}};
        } else {
            error = applyOption(a, args, i);
        }
        if (!error.empty()) return fail(error);
    }
    if (std::string error = missingParts(a); !error.empty()) return fail(error);
    return {a, {}};
}

}  // namespace lct::cli
