#include "app/command_line.h"

#include <ostream>
#include <utility>

#ifndef TARNOVOX_VERSION
#define TARNOVOX_VERSION "0.1.0"
#endif

namespace tarnovox {
namespace {

constexpr std::pair<const char*, Command> kCommands[] = {
    {"--record", Command::Record}, {"--pause", Command::Pause}, {"--stop", Command::Stop},
    {"--mark", Command::Mark},     {"--show", Command::Show}};

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (const std::string& argument : arguments) {
    if (argument == "--help") {
      line.outcome = CommandLine::Outcome::Help;
      return line;
    }
    if (argument == "--version") {
      line.outcome = CommandLine::Outcome::Version;
      return line;
    }
    bool known = false;
    for (const auto& [option, command] : kCommands) {
      if (argument == option) {
        line.commands.push_back(command);
        known = true;
      }
    }
    if (!known) {
      line.outcome = CommandLine::Outcome::Error;
      line.error = "tarnovox: unknown option '" + argument + "'";
      return line;
    }
  }
  return line;
}

const char* OptionFor(Command command) {
  for (const auto& [option, known] : kCommands) {
    if (known == command) return option;
  }
  return "";
}

std::string UsageText() {
  return "Usage: tarnovox [COMMAND]...\n"
         "Starts the sound recorder. When it already runs in this session, the commands go to\n"
         "the running recorder instead; without a command its window comes to the front.\n"
         "\n"
         "  --record   start a recording (as F5 does)\n"
         "  --pause    pause or resume the recording or the playback (as F7 does)\n"
         "  --stop     stop the recording or the playback (as F9 does)\n"
         "  --mark     mark the moment in the running recording (as F8 does)\n"
         "  --show     show the main window and bring it to the front\n"
         "  --help     print this help and exit\n"
         "  --version  print the version and exit\n"
         "\n"
         "Several commands run one after another in the order given.\n";
}

std::string VersionText() { return "tarnovox " TARNOVOX_VERSION; }

int PrintOutcome(const CommandLine& line, std::ostream& out, std::ostream& err) {
  switch (line.outcome) {
    case CommandLine::Outcome::Help: out << UsageText(); return 0;
    case CommandLine::Outcome::Version: out << VersionText() << '\n'; return 0;
    case CommandLine::Outcome::Error: err << line.error << '\n' << UsageText(); return 2;
    case CommandLine::Outcome::Run: break;
  }
  return 0;
}

}  // namespace tarnovox
