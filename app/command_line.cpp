#include "app/command_line.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
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

// The formats `--convert` makes, as they are written on the command line.
constexpr const char* kConvertFormats[] = {"mp3", "flac", "opus"};

CommandLine Failure(std::string error) {
  CommandLine line;
  line.outcome = CommandLine::Outcome::Error;
  line.error = "tarnovox: " + std::move(error);
  return line;
}

CommandLine ParseConversion(const std::vector<std::string>& arguments) {
  if (arguments.size() < 3) return Failure("--convert needs a format and at least one file");
  CommandLine line;
  line.outcome = CommandLine::Outcome::Convert;
  for (char c : arguments[1]) line.convertFormat += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (std::ranges::find(kConvertFormats, line.convertFormat) == std::end(kConvertFormats))
    return Failure("cannot convert to '" + arguments[1] + "'");
  line.convertFiles.assign(arguments.begin() + 2, arguments.end());
  return line;
}

// The longest `--for`: a week, as the longest StopAfter the settings take.
constexpr uint32_t kMaxDurationSeconds = 7 * 24 * 3600;

// Reads the value of `--for` or `--at` at arguments[at]; false, with the
// line's error set, when it is missing or malformed.
bool ReadTiming(const std::string& option, const std::vector<std::string>& arguments, size_t at, CommandLine& line) {
  const std::string value = at < arguments.size() ? arguments[at] : std::string();
  if (option == "--for" && (line.timing.stopAfterSeconds = ParseDuration(value)) > 0) return true;
  if (option == "--at" && (line.timing.startAtMinute = ParseTimeOfDay(value)) >= 0) return true;
  line.outcome = CommandLine::Outcome::Error;
  line.error = option == "--for"
                   ? "tarnovox: '--for' needs a duration such as 90s, 15m, 2h or 1h30m (at most a week), not '" +
                         value + "'"
                   : "tarnovox: '--at' needs a time of day as HH:MM, 00:00 to 23:59, not '" + value + "'";
  return false;
}

}  // namespace

uint32_t ParseDuration(const std::string& text) {
  uint64_t total = 0;
  const std::string units = "hms";
  size_t nextUnit = 0, at = 0;
  while (at < text.size()) {
    uint64_t number = 0;
    const size_t digitsFrom = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && number <= kMaxDurationSeconds) {
      number = number * 10 + static_cast<uint64_t>(text[at++] - '0');
    }
    if (at == digitsFrom || at == text.size()) return 0;  // no number, or no unit after it
    const size_t unit = units.find(text[at++], nextUnit);
    if (unit == std::string::npos) return 0;  // an unknown unit, or one out of order
    nextUnit = unit + 1;
    total += number * (unit == 0 ? 3600 : unit == 1 ? 60 : 1);
    if (total > kMaxDurationSeconds) return 0;
  }
  return static_cast<uint32_t>(total);
}

int ParseTimeOfDay(const std::string& text) {
  const size_t colon = text.find(':');
  if (colon < 1 || colon > 2 || text.size() != colon + 3) return -1;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i != colon && (text[i] < '0' || text[i] > '9')) return -1;
  }
  const int hour = std::stoi(text.substr(0, colon)), minute = std::stoi(text.substr(colon + 1));
  if (hour > 23 || minute > 59) return -1;
  return hour * 60 + minute;
}

std::vector<std::string> TimingOptions(const TakeTiming& timing) {
  std::vector<std::string> options;
  if (timing.stopAfterSeconds > 0) options = {"--for", std::to_string(timing.stopAfterSeconds) + "s"};
  if (timing.startAtMinute >= 0) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", timing.startAtMinute / 60 % 24, timing.startAtMinute % 60);
    options.insert(options.end(), {"--at", text});
  }
  return options;
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  if (!arguments.empty() && arguments.front() == "--convert") return ParseConversion(arguments);
  CommandLine line;
  for (size_t at = 0; at < arguments.size(); ++at) {
    const std::string& argument = arguments[at];
    if (argument == "--help" || argument == "--version") {
      line.outcome = argument == "--help" ? CommandLine::Outcome::Help : CommandLine::Outcome::Version;
      return line;
    }
    if (argument == "--for" || argument == "--at") {
      if (!ReadTiming(argument, arguments, ++at, line)) return line;
      continue;
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
  bool records = false;
  for (Command command : line.commands) records = records || command == Command::Record;
  if (line.timing.Timed() && !records) {
    line.outcome = CommandLine::Outcome::Error;
    line.error = "tarnovox: '--for' and '--at' go with '--record'";
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
         "  --for DURATION  with --record: stop this recording after DURATION of sound\n"
         "                  (90s, 15m, 2h, 1h30m)\n"
         "  --at HH:MM      with --record: start the recording at the next such local time\n"
         "                  (Stop cancels it)\n"
         "  --convert FORMAT FILE...\n"
         "             convert each WAV file to FORMAT (mp3, flac, opus) beside it, with no window;\n"
         "             exits 0 when every file was converted, 1 naming each failure\n"
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
    case CommandLine::Outcome::Run:
    case CommandLine::Outcome::Convert: break;
  }
  return 0;
}

}  // namespace tarnovox
