#pragma once
// The command line: commands for the recorder (each does what its hot key or
// window action does) and the options that answer without starting it. Pure
// C++, so it is parsed before anything touches the display.
#include <iosfwd>
#include <string>
#include <vector>

#include "recorder/recorder_command.h"

namespace tarnovox {

enum class Command { Record, Pause, Stop, Mark, Show };

struct CommandLine {
  enum class Outcome { Run, Help, Version, Error, Convert };
  Outcome outcome = Outcome::Run;
  std::vector<Command> commands;  // in the order given
  TakeTiming timing;              // `--for` and `--at`, for the take `--record` starts
  // For Convert: the target format ("mp3") and the files, as given.
  std::string convertFormat;
  std::vector<std::string> convertFiles;
  std::string error;              // one line, set for Error
};

// "90s", "15m", "2h", "1h30m", "1h30m15s": seconds (1 to a week), or 0 when
// malformed.
uint32_t ParseDuration(const std::string& text);
// "HH:MM" (00:00 to 23:59, the hour also in one digit): the minute of the day,
// or -1 when malformed.
int ParseTimeOfDay(const std::string& text);
// The arguments that say `timing` again ("--for", "90s", "--at", "07:05").
std::vector<std::string> TimingOptions(const TakeTiming& timing);

// arguments: without the program name. The first --help, --version or unknown
// argument decides the outcome; anything after it is not looked at.
// `--convert FORMAT FILE...` stands alone: every argument after the format is a file.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The option that names a command ("--record" for Record), as parsed back.
const char* OptionFor(Command command);

std::string UsageText();
// "tarnovox <version>"
std::string VersionText();

// For Help, Version and Error: prints what the outcome asks for (help and
// version to out; the error line and the usage to err) and returns the exit
// status: 0, 0 and 2. Run and Convert print nothing and return 0.
int PrintOutcome(const CommandLine& line, std::ostream& out, std::ostream& err);

}  // namespace tarnovox
