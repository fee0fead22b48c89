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

// `--for` and `--at` go with `--record`, wherever they stand; a duration or a
// time of day that is not one stops the start with exit 2 and a line naming it.
TEST(CommandLine, ForAndAtTimeTheRecordAndMalformedValuesExitTwo) {
  const CommandLine line = ParseCommandLine({"--at", "7:05", "--record", "--for", "1h30m"});
  EXPECT_EQ(line.outcome, CommandLine::Outcome::Run);
  EXPECT_EQ(line.commands, std::vector{Command::Record});
  EXPECT_EQ(line.timing, (TakeTiming{5400, 7 * 60 + 5}));
  // Said again as the channel says it, the same line comes back.
  std::vector<std::string> again{"--record"};
  for (const std::string& option : TimingOptions(line.timing)) again.push_back(option);
  EXPECT_EQ(again, (std::vector<std::string>{"--record", "--for", "5400s", "--at", "07:05"}));
  EXPECT_EQ(ParseCommandLine(again).timing, line.timing);
  for (const auto& [text, seconds] : std::vector<std::pair<std::string, uint32_t>>{
           {"90s", 90}, {"15m", 900}, {"2h", 7200}, {"1h30m", 5400}, {"1h1m1s", 3661}, {"168h", 604800}}) {
    EXPECT_EQ(ParseDuration(text), seconds) << text;
  }
  EXPECT_EQ(ParseTimeOfDay("00:00"), 0);
  EXPECT_EQ(ParseTimeOfDay("23:59"), 1439);

  for (const std::string bad : {"", "90", "0s", "1m30", "30m1h", "1h1h", "-5s", "1.5h", "5 s", "169h", "99999999999s"}) {
    const Printed printed = Print({"--record", "--for", bad});
    EXPECT_EQ(printed.status, 2) << bad;
    EXPECT_EQ(printed.err.substr(0, printed.err.find('\n')),
              "tarnovox: '--for' needs a duration such as 90s, 15m, 2h or 1h30m (at most a week), not '" + bad + "'");
  }
  for (const std::string bad : {"24:00", "12:60", "12", "1205", "12:5", "123:00", "a1:00", "12:00:00", ""}) {
    const Printed printed = Print({"--record", "--at", bad});
    EXPECT_EQ(printed.status, 2) << bad;
    EXPECT_EQ(printed.err.substr(0, printed.err.find('\n')),
              "tarnovox: '--at' needs a time of day as HH:MM, 00:00 to 23:59, not '" + bad + "'");
  }
  EXPECT_EQ(Print({"--record", "--for"}).status, 2);  // the value missing
  const Printed alone = Print({"--stop", "--for", "5s"});
  EXPECT_EQ(alone.status, 2);
  EXPECT_EQ(alone.err.substr(0, alone.err.find('\n')), "tarnovox: '--for' and '--at' go with '--record'");
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
