// lancitong-cli tool: the five tool windows run headless, over the worked
// examples of each tool, their limits, their output files and usage errors.

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "cli/cli_runner.h"
#include "platform/charset.h"

namespace {

namespace fs = std::filesystem;

using lct::test::CliTest;
using lct::test::Result;
using lct::test::run;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find('\n', from)) != std::string::npos; from = at + 1)
        out.push_back(text.substr(from, at - from));
    if (from < text.size()) out.push_back(text.substr(from));
    return out;
}

class ToolCommand : public CliTest {
  protected:
    // A run that reads no settings file of the user's.
    Result tool(const std::string& name, std::vector<std::string> args = {}) {
        args.insert(args.begin(), {"tool", name, "--ini", (dir / "none.ini").string()});
        return run(args);
    }
};

TEST_F(ToolCommand, CombineCrossesTheDefaultGroupsInto81Lines) {
    const Result r = tool("combine");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto got = lines(r.out);
    ASSERT_EQ(got.size(), 81u);
    EXPECT_EQ(got[0], "我很爱甲");
    EXPECT_EQ(got[1], "我很爱乙");
    EXPECT_EQ(got[2], "我很爱丙");
    EXPECT_EQ(got[3], "我很恨甲");
    EXPECT_EQ(got[80], "她超想丙");
    EXPECT_TRUE(r.out.ends_with("她超想丙\n"));
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
}

TEST_F(ToolCommand, CombineTakesItsSectionFromTheIniFile) {
    write("tools.ini", lct::utf8ToGbk("[关键词遍历组合器]\r\n组合符号=-\r\n"));
    const Result r = run({"tool", "combine", "--ini", (dir / "tools.ini").string(), "--set",
                          "编辑框词3=", "--set", "编辑框词4="});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "我-很\n我-甚\n我-超\n你-很\n你-甚\n你-超\n她-很\n她-甚\n她-超\n");
}

TEST_F(ToolCommand, SequenceDefaultsGive0001To0100) {
    const Result r = tool("sequence");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto got = lines(r.out);
    ASSERT_EQ(got.size(), 100u);
    EXPECT_EQ(got.front(), "0001");
    EXPECT_EQ(got[9], "0010");
    EXPECT_EQ(got.back(), "0100");
    EXPECT_FALSE(r.out.ends_with("\n"));
}

struct SequenceCase {
    const char* name;
    std::vector<std::string> sets;
    const char* expected;
};

TEST_F(ToolCommand, SequenceWorkedExamples) {
    const SequenceCase cases[] = {
        {"Numerals", {"选择框转为大写=真", "编辑框终止值=3"}, "一\n二\n三"},
        {"Capital", {"选择框转为大写=真", "选择框到繁体=真", "编辑框终止值=3"}, "壹\n贰\n叁"},
        {"Money",
         {"选择框转为大写=真", "选择框到繁体=真", "选择框到金额=真", "编辑框终止值=3"},
         "壹元整\n贰元整\n叁元整"},
        {"Readings",
         {"选择框转为大写=真", "编辑框起始值=100000", "编辑框终止值=1000001",
          "编辑框间隔值=900001"},
         "一十万\n一百万零一"},
        {"TwelveDigits",
         {"选择框转为大写=真", "编辑框起始值=１０００００００００００",
          "编辑框终止值=100000000000"},
         "一千亿"},
        {"Letters", {"单选框字母=真", "编辑框起始值=25", "编辑框终止值=28"}, "y\nz\naa\nab"},
        {"UpperLetters",
         {"单选框字母=1", "选择框转为大写=true", "编辑框起始值=25", "编辑框终止值=28"},
         "Y\nZ\nAA\nAB"},
        {"Template",
         {"选择框扩展组合=真", "编辑框终止值=2", "编辑框分隔符=|"},
         "【关键词0001】|【关键词0002】"},
        {"BackslashN", {"编辑框终止值=2", "编辑框分隔符=\\n"}, "0001\n0002"},
        {"Cut",
         {"编辑框起始值=8", "编辑框终止值=12", "编辑框间隔值=2", "编辑框零位数=0"},
         "8\n0\n2"},
        {"Down", {"编辑框起始值=5", "编辑框终止值=1", "编辑框间隔值=-2"}, "0005\n0003\n0001"},
        {"Blanks", {"编辑框起始值= 3", "编辑框终止值=　４"}, "0003\n0004"},
    };
    for (const SequenceCase& c : cases) {
        std::vector<std::string> args;
        for (const std::string& set : c.sets)
            args.insert(args.end(), {"--set", set});
        const Result r = tool("sequence", args);
        EXPECT_EQ(r.status, 0) << c.name << ": " << r.err;
        EXPECT_EQ(r.out, c.expected) << c.name;
    }
}

TEST_F(ToolCommand, RandomIsReproducibleWithASeed) {
    const Result a = tool("random", {"--seed", "11"});
    const Result b = tool("random", {"--seed", "11"});
    ASSERT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(a.out, b.out);
    EXPECT_EQ(lines(a.out).size(), 100u);
    const Result other = tool("random", {"--seed", "12"});
    EXPECT_NE(a.out, other.out);
}

TEST_F(ToolCommand, RandomPressesTheDigitsAndLettersButton) {
    const Result r = tool(
        "random", {"--press", "按钮生成数母", "--seed", "3", "--set", "选择框有小字母=假", "--set",
                   "选择框有大字母=假", "--set", "选择框有数字=真", "--set", "编辑框组数=5"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto got = lines(r.out);
    ASSERT_EQ(got.size(), 5u);
    for (const std::string& group : got) {
        EXPECT_GE(group.size(), 3u);
        EXPECT_LE(group.size(), 5u);
        EXPECT_TRUE(std::all_of(group.begin(), group.end(), ::isdigit)) << group;
    }
}

TEST_F(ToolCommand, MergePairsListsInOrder) {
    const Result r = tool("merge", {"--set", "单选框顺序=真", "--set", "编辑框列表1=a\nb\nc",
                                    "--set", "编辑框列表2=x\ny"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "a,x\nb,y\nc,\n");
    // Ticking 单选框词组1 unticks 单选框词组1和词组2, as a click does.
    const Result single =
        tool("merge", {"--set", "单选框顺序=真", "--set", "单选框词组1=真", "--set",
                       "编辑框列表1=w1\nw2\nw3\nw4\nw5", "--set", "编辑框词数=2"});
    ASSERT_EQ(single.status, 0) << single.err;
    EXPECT_EQ(single.out, "w1,w2\nw3,w4\nw5\n");
}

TEST_F(ToolCommand, AnchorFillsTheTemplatePerPair) {
    const Result r = tool("anchor", {"--set", "编辑框关键词列表=甲\n乙", "--set",
                                     "编辑框网址列表=http://a/\nhttp://b/\nhttp://c/", "--set",
                                     "编辑框合成模板=[*1](*2)"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "[甲](http://a/)\n[乙](http://b/)\n");
    const Result defaults = tool("anchor");
    EXPECT_EQ(lines(defaults.out).size(), 3u);
}

TEST_F(ToolCommand, SequenceAtTheLimitIsSilentAndPastItIsAnnounced) {
    const Result at =
        tool("sequence", {"--set", "编辑框终止值=1000000", "--set", "编辑框零位数=0"});
    ASSERT_EQ(at.status, 0) << at.err;
    EXPECT_EQ(at.err, "");
    EXPECT_EQ(std::count(at.out.begin(), at.out.end(), '\n'), 999999);
    const Result past =
        tool("sequence", {"--set", "编辑框终止值=1000001", "--set", "编辑框零位数=0"});
    ASSERT_EQ(past.status, 0) << past.err;
    EXPECT_EQ(past.out, at.out);
    EXPECT_NE(past.err.find("共生成 1000000 项"), std::string::npos) << past.err;
}

TEST_F(ToolCommand, AnchorPastTheByteLimitIsCutAndAnnounced) {
    // 40 addresses of a 2 MiB template: 64 MiB hold 31 lines.
    std::string addresses;
    for (int i = 0; i < 40; ++i)
        addresses += "u\n";
    write("addresses.txt", addresses);
    write("template.txt", std::string(2 << 20, 't'));
    const Result r =
        tool("anchor", {"--set", "编辑框关键词列表=@" + (dir / "addresses.txt").string(), "--set",
                        "编辑框网址列表=@" + (dir / "addresses.txt").string(), "--set",
                        "编辑框合成模板=@" + (dir / "template.txt").string(), "--output",
                        (dir / "out.txt").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("共生成 31 行"), std::string::npos) << r.err;
    EXPECT_LE(fs::file_size(dir / "out.txt"), std::size_t{64} << 20);
}

TEST_F(ToolCommand, OutputIsWrittenInTheChosenEncoding) {
    const std::vector<std::string> sets = {"--set", "选择框转为大写=真", "--set", "编辑框终止值=2"};
    struct Row {
        const char* encoding;
        std::string bytes;
    };
    const Row rows[] = {
        {"utf-8", "一\n二"},
        {"GBK", lct::utf8ToGbk("一\n二")},
        {"utf-16le", std::string("\x00\x4E\x0A\x00\x8C\x4E", 6)},
    };
    for (const Row& row : rows) {
        std::vector<std::string> args = sets;
        args.insert(args.end(),
                    {"--output", (dir / "out.txt").string(), "--encoding", row.encoding});
        const Result r = tool("sequence", args);
        ASSERT_EQ(r.status, 0) << row.encoding << ": " << r.err;
        EXPECT_EQ(r.out, "") << row.encoding;
        EXPECT_EQ(slurp(dir / "out.txt"), row.bytes) << row.encoding;
    }
    // Only the result is left in the folder: no temporary file.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(ToolCommand, OutputIntoAPipeOrADeviceIsWrittenThereNotReplaced) {
    const std::vector<std::string> sets = {"--set", "选择框转为大写=真", "--set", "编辑框终止值=2"};
    auto withOutput = [&](const std::string& output) {
        std::vector<std::string> args = sets;
        args.insert(args.end(), {"--output", output, "--encoding", "gbk"});
        return tool("sequence", args);
    };
    EXPECT_EQ(withOutput("-").out, lct::utf8ToGbk("一\n二"));
    const fs::path fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string got;
    std::thread reader([&] { got = slurp(fifo); });
    const Result r = withOutput(fifo.string());
    reader.join();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(got, lct::utf8ToGbk("一\n二"));
    // A node of /dev/null's device, where this machine lets root make one.
    const fs::path null = dir / "null";
    if (::mknod(null.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0)
        GTEST_SKIP() << "no device node can be made here (root only)";
    EXPECT_EQ(withOutput(null.string()).status, 0);
    EXPECT_TRUE(fs::is_character_file(null));
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    const char* named;  // what the message names
};

TEST_F(ToolCommand, UsageErrorsNameWhatIsWrong) {
    const std::string ini = (dir / "none.ini").string();
    const UsageCase cases[] = {
        {"UnknownTool", {"tool", "dice", "--ini", ini}, "dice"},
        {"NoTool", {"tool"}, "tool"},
        {"UnknownControl", {"tool", "random", "--ini", ini, "--set", "编辑框没有=1"}, "编辑框没有"},
        {"MainWindowControl",
         {"tool", "sequence", "--ini", ini, "--set", "编辑框关键词列表=1"},
         "编辑框关键词列表"},
        {"BadTick", {"tool", "sequence", "--ini", ini, "--set", "选择框转为大写=maybe"}, "maybe"},
        {"BadIndex",
         {"tool", "combine", "--ini", ini, "--set", "组合框调用方式=7"},
         "组合框调用方式"},
        {"UnknownButton", {"tool", "random", "--ini", ini, "--press", "按钮飞"}, "按钮飞"},
        {"NotARunButton",
         {"tool", "random", "--ini", ini, "--press", "按钮复制结果"},
         "按钮复制结果"},
        {"Mode", {"tool", "random", "--ini", ini, "--mode", "insert"}, "--mode"},
        {"Encoding",
         {"tool", "random", "--ini", ini, "--output", "x", "--encoding", "latin1"},
         "latin1"},
        {"OutOfRange",
         {"tool", "random", "--ini", ini, "--set", "编辑框字数2=2000000"},
         "每组字数"},
    };
    for (const UsageCase& c : cases) {
        const Result r = run(c.args);
        EXPECT_EQ(r.status, 2) << c.name;
        EXPECT_EQ(r.out, "") << c.name;
        EXPECT_NE(r.err.find(c.named), std::string::npos) << c.name << ": " << r.err;
    }
}

TEST_F(ToolCommand, HelpDescribesTheToolCommand) {
    const Result r = run({"--help"});
    EXPECT_NE(r.out.find("lancitong-cli tool"), std::string::npos);
    EXPECT_NE(r.out.find("--press"), std::string::npos);
    EXPECT_NE(r.out.find("utf-16le"), std::string::npos);
}

}  // namespace
