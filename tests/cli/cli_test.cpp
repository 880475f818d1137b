// Runs the built lancitong-cli as a user would.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

struct Result {
    int status = -1;
    std::string out;
};

Result run(const std::string& args) {
    Result r;
    const std::string command = std::string(LCT_CLI_PATH) + " " + args + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        r.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

TEST(Cli, HelpAndVersion) {
    const Result help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("lancitong-cli preview"), std::string::npos);
    const Result version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.out.find("1.5.3.0"), std::string::npos);
}

TEST(Cli, UnknownSubcommandIsAUsageError) {
    EXPECT_EQ(run("frobnicate").status, 2);
    EXPECT_EQ(run("").status, 2);
}

}  // namespace
