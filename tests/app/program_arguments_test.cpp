// The desktop program's own arguments, read before Qt starts.
#include <gtest/gtest.h>

#include "app/program_arguments.h"

namespace lct {
namespace {

struct ArgumentsRow {
    std::vector<std::string> args;
    ProgramAction action;
    std::string settingsPath;
};

// Names each row after its arguments.
void PrintTo(const ArgumentsRow& row, std::ostream* out) {
    *out << ::testing::PrintToString(row.args);
}

class ProgramArgumentsRows : public ::testing::TestWithParam<ArgumentsRow> {};

TEST_P(ProgramArgumentsRows, ActionAndSettingsFile) {
    const ArgumentsRow& row = GetParam();
    const ProgramArguments parsed = parseProgramArguments(row.args);
    EXPECT_EQ(parsed.action, row.action);
    EXPECT_EQ(parsed.settingsPath, row.settingsPath);
    EXPECT_EQ(parsed.error.empty(), row.action != ProgramAction::UsageError);
}

using A = ProgramAction;
INSTANTIATE_TEST_SUITE_P(
    Rows, ProgramArgumentsRows,
    ::testing::Values(ArgumentsRow{{}, A::OpenWindow, ""},
                      ArgumentsRow{{"-platform", "offscreen"}, A::OpenWindow, ""},
                      ArgumentsRow{{"--ini", "设置.ini"}, A::OpenWindow, "设置.ini"},
                      ArgumentsRow{{"--ini=a.ini", "--ini", "b.ini"}, A::OpenWindow, "b.ini"},
                      ArgumentsRow{{"-style", "fusion", "--version"}, A::Version, ""},
                      ArgumentsRow{{"-h", "--version"}, A::Help, ""},
                      ArgumentsRow{{"--ini", "--help"}, A::OpenWindow, "--help"},
                      ArgumentsRow{{"--ini"}, A::UsageError, ""},
                      ArgumentsRow{{"--ini="}, A::UsageError, ""},
                      ArgumentsRow{{"--ini", ""}, A::UsageError, ""}));

}  // namespace
}  // namespace lct
