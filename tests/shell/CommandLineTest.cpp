#include "shell/CommandLine.h"

#include "support/shell/ShellTestSupport.h"

namespace shell {
namespace {

using Action = CommandLine::Action;

struct LineCase {
  const char* what;
  std::vector<std::string> arguments;
  Action action;
  std::optional<std::string> configDir;
};

class CommandLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(CommandLineTest, Parses) {
  const CommandLine line = ParseCommandLine(GetParam().arguments);
  EXPECT_EQ(line.action, GetParam().action);
  EXPECT_EQ(line.configDir, GetParam().configDir);
  EXPECT_EQ(line.error.empty(), GetParam().action != Action::Error);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineTest,
    testing::Values(LineCase{"nothing runs", {}, Action::Run, {}},
                    LineCase{"config dir as two words", {"--config-dir", "/x y"}, Action::Run, "/x y"},
                    LineCase{"config dir with equals", {"--config-dir=/x"}, Action::Run, "/x"},
                    LineCase{"config dir without a value", {"--config-dir"}, Action::Error, {}},
                    LineCase{"config dir with an empty value", {"--config-dir="}, Action::Error, {}},
                    LineCase{"unknown argument", {"--bogus"}, Action::Error, {}},
                    LineCase{"help", {"--help"}, Action::Help, {}},
                    LineCase{"version", {"-v"}, Action::Version, {}},
                    LineCase{"help wins over version", {"--version", "-h"}, Action::Help, {}}),
    CaseName{});

TEST(TextOnlyActionTest, FindsHelpOrVersionAmongArgumentsItDoesNotKnow) {
  EXPECT_EQ(TextOnlyAction({"-platform", "offscreen", "--version"}), Action::Version);
  EXPECT_EQ(TextOnlyAction({"--bogus", "--version", "-h"}), Action::Help);
  EXPECT_EQ(TextOnlyAction({"--config-dir", "--help"}), Action::Run) << "a directory named --help";
  EXPECT_EQ(TextOnlyAction({}), Action::Run);
}

}  // namespace
}  // namespace shell
