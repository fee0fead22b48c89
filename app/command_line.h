#pragma once
// The command line: commands for the recorder (each does what its hot key or
// window action does) and the options that answer without starting it. Pure
// C++, so it is parsed before anything touches the display.
#include <iosfwd>
#include <string>
#include <vector>

namespace tarnovox {

enum class Command { Record, Pause, Stop, Mark, Show };

struct CommandLine {
  enum class Outcome { Run, Help, Version, Error };
  Outcome outcome = Outcome::Run;
  std::vector<Command> commands;  // in the order given
  std::string error;              // one line, set for Error
};

// arguments: without the program name. The first --help, --version or unknown
// argument decides the outcome; anything after it is not looked at.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The option that names a command ("--record" for Record), as parsed back.
const char* OptionFor(Command command);

std::string UsageText();
// "tarnovox <version>"
std::string VersionText();

// For Help, Version and Error: prints what the outcome asks for (help and
// version to out; the error line and the usage to err) and returns the exit
// status: 0, 0 and 2. Run prints nothing and returns 0.
int PrintOutcome(const CommandLine& line, std::ostream& out, std::ostream& err);

}  // namespace tarnovox
