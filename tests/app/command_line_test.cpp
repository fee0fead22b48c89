#include "app/command_line.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tarnovox {
namespace {

struct Printed {
  int status;
  std::string out, err;
};

Printed Print(const std::vector<std::string>& arguments) {
  std::ostringstream out, err;
  const int status = PrintOutcome(ParseCommandLine(arguments), out, err);
  return {status, out.str(), err.str()};
}

TEST(CommandLine, CommandsKeepTheirOrderAndRepeat) {
  const CommandLine line = ParseCommandLine({"--stop", "--record", "--mark", "--pause", "--show", "--pause"});
  EXPECT_EQ(line.outcome, CommandLine::Outcome::Run);
  EXPECT_EQ(line.commands, (std::vector{Command::Stop, Command::Record, Command::Mark, Command::Pause, Command::Show,
                                        Command::Pause}));
  for (Command command : line.commands) {
    EXPECT_EQ(ParseCommandLine({OptionFor(command)}).commands, std::vector{command});
  }
  EXPECT_TRUE(ParseCommandLine({}).commands.empty());
  EXPECT_EQ(Print({"--record"}).status, 0);
  EXPECT_EQ(Print({"--record"}).out + Print({"--record"}).err, "");
}

TEST(CommandLine, UnknownArgumentExitsTwoWithUsageOnStandardError) {
  for (const std::string bad : {"--recrod", "-r", "record", "--record=1", ""}) {
    const Printed printed = Print({"--record", bad, "--stop"});
    EXPECT_EQ(printed.status, 2) << bad;
    EXPECT_EQ(printed.out, "") << bad;
    EXPECT_EQ(printed.err, "tarnovox: unknown option '" + bad + "'\n" + UsageText()) << bad;
  }
}

// Help and version go to standard output and exit 0, whatever follows.
TEST(CommandLine, HelpAndVersionExitZeroOnStandardOutput) {
  const Printed help = Print({"--pause", "--help", "--bogus"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out, UsageText());
  EXPECT_EQ(help.err, "");
  for (const char* option : {"--record", "--pause", "--stop", "--mark", "--show", "--help", "--version"}) {
    EXPECT_NE(UsageText().find(std::string("  ") + option + " "), std::string::npos) << option;
  }
  const Printed version = Print({"--version", "--help"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "tarnovox " TARNOVOX_VERSION "\n");
  EXPECT_EQ(version.err, "");
}

}  // namespace
}  // namespace tarnovox
