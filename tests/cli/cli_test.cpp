// Runs the built lancitong-cli as a user would, on files in a temporary folder.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/cli_runner.h"
#include "platform/charset.h"

namespace {

namespace fs = std::filesystem;

using lct::test::Result;
using lct::test::run;

using lct::test::CliTest;

TEST_F(CliTest, HelpAndVersion) {
    const Result help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("lancitong-cli preview"), std::string::npos);
    const Result version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.out.find("1.5.3.0"), std::string::npos);
}

TEST_F(CliTest, AStandardOutputThatCannotBeWrittenIsAFailure) {
    const std::string ini = (dir / "none.ini").string();
    const std::string article = write("a.txt", "正文").string();
    const std::vector<std::vector<std::string>> cases = {
        {"--version"},
        {"preview", "--ini", ini, "--title", "T"},
        {"batch", "--ini", ini, article},
        {"tool", "sequence", "--ini", ini},
    };
    for (const auto& args : cases) {
        std::vector<std::string> all = {"sh", "-c", "exec \"$@\" > /dev/full", "sh", LCT_CLI_PATH};
        all.insert(all.end(), args.begin(), args.end());
        const Result r = lct::test::runProgram(all);
        EXPECT_EQ(r.status, 3) << args[0];
        EXPECT_NE(r.err.find("无法写入标准输出：磁盘已满"), std::string::npos) << r.err;
    }
}

TEST_F(CliTest, PreviewPrintsTitleLineThenContent) {
    const Result r = run(predictable({"preview", "--title", "标题/一", "--content-file",
                                      write("a.txt", "第一行\n第二行\n").string()}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "标题／一-词\n第一行\n第二行\n\n<b>词</b>");
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
}

TEST_F(CliTest, PreviewReadsGbkAndUtf16ContentFiles) {
    const Result gbk = run(predictable({"preview", "--title", "T", "--content-file",
                                        write("g.txt", lct::utf8ToGbk("中文")).string()}));
    ASSERT_EQ(gbk.status, 0) << gbk.err;
    EXPECT_EQ(gbk.out, "T-词\n中文\n<b>词</b>");
    const Result utf16 =
        run(predictable({"preview", "--title", "T", "--content-file",
                         write("u.txt", std::string("\xFF\xFE-N\x87\x65", 6)).string()}));
    ASSERT_EQ(utf16.status, 0) << utf16.err;
    EXPECT_EQ(utf16.out, "T-词\n中文\n<b>词</b>");
}

TEST_F(CliTest, SeedMakesRunsReproducible) {
    const std::vector<std::string> args = {"preview", "--ini", (dir / "x.ini").string(), "--seed",
                                           "7",       "--set", "组合框内容插入类型=2"};
    const Result a = run(args);
    const Result b = run(args);
    ASSERT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(a.out, b.out);
}

TEST_F(CliTest, EmptyKeywordListIsRefused) {
    const Result r =
        run({"preview", "--ini", (dir / "x.ini").string(), "--set", "编辑框关键词列表="});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("请先输入关键词列表！"), std::string::npos);
    // Shuffle-replace mode needs no keywords.
    const Result shuffle = run({"preview", "--ini", (dir / "x.ini").string(), "--mode", "shuffle",
                                "--set", "编辑框关键词列表="});
    EXPECT_EQ(shuffle.status, 0) << shuffle.err;
}

TEST_F(CliTest, EmptyKeywordFileIsRefused) {
    const fs::path empty = write("empty.txt", "");
    const Result r = run({"preview", "--ini", (dir / "x.ini").string(), "--set",
                          "编辑框关键词列表=" + empty.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("关键词文件的内容为空！"), std::string::npos);
}

TEST_F(CliTest, UsageErrors) {
    const std::string ini = (dir / "x.ini").string();
    const std::vector<std::vector<std::string>> cases = {
        {"frobnicate"},
        {},
        {"preview", "--bogus"},
        {"preview", "--ini", ini, "--set", "没有这个控件=1"},
        {"preview", "--ini", ini, "--set", "选择框避免单词=也许"},
        {"preview", "--ini", ini, "--set", "组合框内容插入类型=15"},
        {"preview", "--ini", ini, "--set", "组合框内容插入类型=-1"},
        {"preview", "--ini", ini, "--set", "标签1=x"},
        {"preview", "--ini", ini, "--set", "novalue"},
        {"preview", "--ini", ini, "--mode", "sideways"},
        {"preview", "--ini", ini, "--seed", "x"},
        {"preview", "--ini", ini, "--content-file", (dir / "missing.txt").string()},
        {"preview", "--ini", ini, "--set", "编辑框关键词列表=@" + (dir / "missing.txt").string()},
        {"preview", "extra"},
        {"batch", "--ini", ini},
        {"batch", "--ini", ini, "--title", "x", (dir / "a.txt").string()},
        // Only a missing settings file means defaults.
        {"preview", "--ini", dir.string()},
        {"tool", "random", "--ini", dir.string()},
        // A replace cap must be a count.
        {"preview", "--ini", ini, "--mode", "replace", "--set", "编辑框替换次数上限=abc"},
        {"batch", "--ini", ini, "--mode", "replace", "--set", "编辑框链接总数上限=-1", ini},
    };
    for (const auto& args : cases) {
        const Result r = run(args);
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        EXPECT_EQ(r.status, 2) << joined;
        EXPECT_FALSE(r.err.empty()) << joined;
        EXPECT_TRUE(r.out.empty()) << joined;
    }
}

TEST_F(CliTest, SetTakesFilesValuesAndRadioExclusivity) {
    const fs::path keywords = write("kw.txt", "甲\n");
    std::vector<std::string> args = predictable({"preview", "--title", "T"});
    args.insert(args.end(), {"--set", "编辑框关键词列表=@" + keywords.string(), "--set",
                             "选择框插入内容=假"});  // the later --set wins
    const Result r = run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "T-甲");

    // Ticking 单选框替换 unticks 单选框插入: replace-existing mode.
    const Result replace =
        run({"preview", "--ini", (dir / "x.ini").string(), "--set", "编辑框关键词列表=苹果",
             "--set", "编辑框再组合关键词=[*]", "--set", "单选框替换=真", "--title", "T",
             "--content-file", write("c.txt", "苹果和苹果").string()});
    ASSERT_EQ(replace.status, 0) << replace.err;
    EXPECT_EQ(replace.out, "T\n[苹果]和[苹果]");
}

TEST_F(CliTest, ModeReplaceAndLineBreaksInValues) {
    const Result r = run({"preview", "--ini", (dir / "x.ini").string(), "--mode", "replace",
                          "--set", "编辑框关键词列表=甲\n乙", "--set", "编辑框再组合关键词=<*>",
                          "--title", "T", "--content-file", write("c.txt", "乙甲").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "T\n<乙><甲>");
}

TEST_F(CliTest, ReplaceOptionsThroughSetInPreviewBatchAndSettings) {
    const std::string page = "<a href=\"/苹果\">苹果</a> 苹果 pineapple apple 苹果 apple";
    const fs::path content = write("c.htm", page);
    const std::vector<std::string> common = {
        "--ini", (dir / "x.ini").string(),       "--mode", "replace",
        "--set", "编辑框关键词列表=苹果\napple", "--set",  "编辑框再组合关键词=[*]"};
    const auto preview = [&](std::vector<std::string> sets) {
        std::vector<std::string> args = {"preview"};
        args.insert(args.end(), common.begin(), common.end());
        args.insert(args.end(), sets.begin(), sets.end());
        args.insert(args.end(), {"--title", "T", "--content-file", content.string()});
        return run(args);
    };
    // The defaults: links and tags left alone, whole words.
    Result r = preview({});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "T\n<a href=\"/苹果\">苹果</a> [苹果] pineapple [apple] [苹果] [apple]");
    r = preview({"--set", "编辑框替换次数上限=1", "--set", "编辑框链接总数上限=1"});
    EXPECT_EQ(r.out, "T\n<a href=\"/苹果\">苹果</a> [苹果] pineapple apple 苹果 apple");
    r = preview({"--set", "选择框替换避开标签=假", "--set", "选择框替换整词=假"});
    EXPECT_EQ(r.out, "T\n<a href=\"/[苹果]\">[苹果]</a> [苹果] pine[apple] [apple] [苹果] [apple]");

    // A batch says how many it replaced.
    fs::create_directories(dir / "in");
    write("in/a.htm", page);
    std::vector<std::string> args = {"batch"};
    args.insert(args.end(), common.begin(), common.end());
    args.insert(args.end(), {"--set", "编辑框替换次数上限=1", (dir / "in").string()});
    r = run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("处理完成,共处理成功 1 个文件，耗费 "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("，替换 2 处\n"), std::string::npos) << r.out;

    // Settings keep them after the older keys of 主界面.
    const std::string ini = (dir / "青禾·澜词通.ini").string();
    ASSERT_EQ(run({"settings", "--ini", ini, "--set", "选择框替换避开小标题=真", "--set",
                   "编辑框链接总数上限=3"})
                  .status,
              0);
    const std::string file = lct::gbkToUtf8(slurp(ini));
    EXPECT_NE(file.find("文件过滤=*.*\r\n选择框替换避开标签=真\r\n选择框替换避开小标题=真\r\n"
                        "替换次数上限=0\r\n替换总数上限=3\r\n选择框替换整词=真\r\n"),
              std::string::npos)
        << file;
}

TEST_F(CliTest, FailedUserPatternKeepsTheTextAndWarns) {
    const Result r =
        run({"preview", "--ini", (dir / "x.ini").string(), "--mode", "shuffle", "--set",
             "选择框打乱标题=假", "--set", "选择框打乱内容=假", "--set", "选择框替换内容=真",
             "--set", "选择框内容启用正则=真", "--set", "编辑框内容匹配式=(", "--title", "T",
             "--content-file", write("c.txt", "正文(").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "T\n正文(");
    EXPECT_NE(r.err.find("警告"), std::string::npos);
}

TEST_F(CliTest, BatchWritesResultsInTheInputsOwnForm) {
    fs::create_directories(dir / "in");
    write("in/一.txt", lct::utf8ToGbk("正文\r\n"));          // GBK, CR LF
    write("in/two.htm", "\xEF\xBB\xBFutf8 \xE6\x96\x87\n");  // UTF-8 with a mark, LF
    write("in/skip.doc", "x");
    const Result r =
        run(predictable({"batch", "--set", "编辑框过滤=*.txt|*.htm", (dir / "in").string()}));
    ASSERT_EQ(r.status, 0) << r.err;
    const fs::path results = dir / "in" / "关键词插入结果";
    EXPECT_NE(r.out.find("处理完成,共处理成功 2 个文件，耗费 "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("，插入 4 处\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(results.string()), std::string::npos) << r.out;
    EXPECT_EQ(slurp(results / "一-词.txt"), lct::utf8ToGbk("正文\r\n\r\n<b>词</b>"));
    EXPECT_EQ(slurp(results / "two-词.htm"),
              "\xEF\xBB\xBFutf8 \xE6\x96\x87\n\n<b>\xE8\xAF\x8D</b>");
    EXPECT_NE(r.err.find("(2:1)"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(results / "skip-词.doc"));
}

TEST_F(CliTest, RecursiveRunsKeepTheSitesShape) {
    fs::create_directories(dir / "site/docs/sub");
    fs::create_directories(dir / "site/关键词插入结果");
    write("site/index.htm", "<title>首页 - 站</title>");
    write("site/docs/sub/a.htm", lct::utf8ToGbk("<title>图层</title>\r\n"));
    write("site/docs/b.htm", "<title>首页</title>");
    write("site/docs/c.txt", "无标题");
    write("site/关键词插入结果/old.htm", "<title>旧</title>");
    const std::string site = (dir / "site").string();
    const Result map = run({"linkmap", "--ini", (dir / "x.ini").string(), "--recursive",
                            "--base-url", "https://x.cn", site});
    ASSERT_EQ(map.status, 0) << map.err;
    EXPECT_EQ(map.out, "首页\thttps://x.cn/index.htm\n图层\thttps://x.cn/docs/sub/a.htm\n");
    EXPECT_NE(map.err.find("关键词“首页”已由 " + site + "/index.htm 给出，未列入：" + site +
                           "/docs/b.htm"),
              std::string::npos)
        << map.err;
    EXPECT_NE(map.err.find("没有标题，未列入：" + site + "/docs/c.txt"), std::string::npos);

    const Result r = run(predictable({"batch", "--recursive", "--set", "组合框标题插入类型=0",
                                      "--set", "选择框插入标题=假", site}));
    ASSERT_EQ(r.status, 0) << r.err;
    const fs::path results = dir / "site/关键词插入结果";
    EXPECT_EQ(slurp(results / "docs/sub/a.htm"),
              lct::utf8ToGbk("<title>图层</title>\r\n\r\n<b>词</b>"));
    for (const char* kept : {"index.htm", "docs/b.htm", "docs/c.txt", "old.htm"})
        EXPECT_TRUE(fs::exists(results / kept)) << kept;
    EXPECT_FALSE(fs::exists(results / "关键词插入结果"));
}

TEST_F(CliTest, BatchRefusedWritesNothing) {
    write("a.txt", "x");
    const Result r = run({"batch", "--ini", (dir / "x.ini").string(), "--set",
                          "编辑框关键词列表=", (dir / "a.txt").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("请先输入关键词列表！"), std::string::npos);
    EXPECT_TRUE(r.out.empty());
    EXPECT_FALSE(fs::exists(dir / "关键词插入结果"));
}

TEST_F(CliTest, SettingsThenPreviewGiveTheSameOptions) {
    const std::string ini = (dir / "青禾·澜词通.ini").string();
    const Result saved = run({"settings", "--ini", ini, "--mode", "replace", "--set",
                              "编辑框关键词列表=甲\n乙", "--set", "编辑框再组合关键词=[*]", "--set",
                              "编辑框预览内容=一\n二", "--set", "组合框输入编码=2"});
    ASSERT_EQ(saved.status, 0) << saved.err;
    const std::string file = slurp(ini);
    EXPECT_NE(file.find(lct::utf8ToGbk("[主界面]\r\n")), std::string::npos);
    EXPECT_NE(file.find(lct::utf8ToGbk("\r\n操作类型=1\r\n")), std::string::npos);
    EXPECT_NE(file.find(lct::utf8ToGbk("\r\n测试内容=一┊*┊二\r\n")), std::string::npos);
    EXPECT_NE(file.find(lct::utf8ToGbk("\r\n输入编码=2")), std::string::npos);
    EXPECT_EQ(slurp(dir / "inibin" / "主界面-关键词列表.ibn"), lct::utf8ToGbk("甲\r\n乙"));

    // A later run keeps what it was not told to change.
    ASSERT_EQ(run({"settings", "--ini", ini, "--set", "选择框避免单词=假"}).status, 0);
    const Result r = run({"preview", "--ini", ini, "--title", "T", "--content-file",
                          write("c.txt", "乙甲").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "T\n[乙][甲]");
}

TEST_F(CliTest, PreviewDoesNotCreateAMissingSettingsFile) {
    const fs::path ini = dir / "absent.ini";
    ASSERT_EQ(run({"preview", "--ini", ini.string()}).status, 0);
    EXPECT_FALSE(fs::exists(ini));
    EXPECT_FALSE(fs::exists(dir / "inibin"));
}

TEST_F(CliTest, SettingsHeldByAnotherProgramAreNotOverwritten) {
    const fs::path ini = write("held.ini", "[主界面]\r\n调用方式=2");
    const int fd = open(ini.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    const Result r = run({"settings", "--ini", ini.string(), "--set", "组合框调用方式=1"});
    close(fd);
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.empty());
    EXPECT_EQ(slurp(ini), "[主界面]\r\n调用方式=2");
}

}  // namespace
