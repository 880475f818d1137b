// The end-to-end cases kept as data in tests/cases: each runs lancitong-cli
// and compares what it printed (preview) or wrote (batch) with the expected
// bytes. After a deliberate change of behaviour, run the test once with
// LCT_UPDATE_CASES=1 to write the new expectations, and review the diff.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "cli/cli_runner.h"

namespace lct {
namespace {

namespace fs = std::filesystem;

const fs::path kCases = LCT_CASES_DIR;

struct Case {
    std::string name;
    std::vector<std::string> args;
};

std::vector<Case> loadCases() {
    std::vector<Case> cases;
    std::ifstream in(kCases / "cases.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line.starts_with('#')) continue;
        if (line.starts_with("== ")) {
            cases.push_back({line.substr(3), {}});
            continue;
        }
        if (cases.empty()) continue;
        std::string arg;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == 'n') {
                arg += '\n';
                ++i;
            } else {
                arg += line[i];
            }
        }
        cases.back().args.push_back(arg);
    }
    return cases;
}

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The result files of a batch as one text: each file's name, then its bytes.
std::string resultsOf(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::string out;
    for (const fs::path& file : files)
        out += "--- " + file.filename().string() + "\n" + slurp(file) + "\n";
    return out;
}

class CasesTest : public test::CliTest, public ::testing::WithParamInterface<Case> {};

TEST_P(CasesTest, GivesTheExpectedBytes) {
    const Case& c = GetParam();
    const fs::path articles = dir / "articles";
    fs::copy(kCases / "articles", articles);
    std::vector<std::string> args;
    for (const std::string& arg : c.args)
        args.push_back(replaced(replaced(arg, "@A@", articles.string()), "@INI@",
                                (dir / "none.ini").string()));
    const test::Result r = test::run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    const bool batch = !c.args.empty() && c.args.front() == "batch";
    const std::string actual = batch ? resultsOf(articles / "关键词插入结果") : r.out;
    const fs::path expected = kCases / "expected" / c.name;
    if (std::getenv("LCT_UPDATE_CASES")) {
        std::ofstream(expected, std::ios::binary) << actual;
        GTEST_SKIP() << "wrote " << expected;
    }
    ASSERT_TRUE(fs::exists(expected)) << expected << " is missing";
    EXPECT_EQ(actual, slurp(expected)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Data, CasesTest, ::testing::ValuesIn(loadCases()),
                         [](const ::testing::TestParamInfo<Case>& param) {
                             std::string name = param.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(Cases, AreThere) {
    EXPECT_GE(loadCases().size(), 30u);
}

}  // namespace
}  // namespace lct
