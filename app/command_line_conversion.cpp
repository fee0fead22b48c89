#include "app/command_line_conversion.h"

#include <filesystem>
#include <mutex>
#include <optional>
#include <ostream>

#include "formats/conversion_job.h"
#include "formats/conversion_tasks.h"

namespace tarnovox {
namespace fs = std::filesystem;
namespace {

// The task for one file, or nothing and the reason. An existing target is
// never replaced: a command line run asks nobody.
std::optional<ConversionTask> TaskFor(const std::string& format, const std::string& file,
                                      const RecordSettings& settings, DynamicLibraryLoader& loader,
                                      std::string& error) {
  std::error_code ignored;
  const std::string source = fs::absolute(file, ignored).string();
  const std::string target = fs::path(source).replace_extension("." + format).string();
  if (target == source) {
    error = "it is a ." + format + " file already";
    return std::nullopt;
  }
  if (fs::exists(fs::symlink_status(target, ignored))) {
    error = "\"" + target + "\" already exists and is kept";
    return std::nullopt;
  }
  const std::optional<ConversionTarget> kind = ConversionTargetNamed(format);
  if (!kind) {
    error = "cannot convert to '" + format + "'";
    return std::nullopt;
  }
  return MakeConversionTask(*kind, loader, settings, source, target, false, error);
}

}  // namespace

int ConvertFromCommandLine(const std::string& format, const std::vector<std::string>& files,
                           const RecordSettings& settings, DynamicLibraryLoader& loader, std::ostream& err,
                           unsigned workers) {
  std::vector<ConversionTask> tasks;
  std::vector<std::string> failures;
  for (const std::string& file : files) {
    std::string error;
    if (std::optional<ConversionTask> task = TaskFor(format, file, settings, loader, error)) {
      tasks.push_back(std::move(*task));
    } else {
      failures.push_back(file + ": " + error);
    }
  }
  std::vector<std::string> sources;
  for (const ConversionTask& task : tasks) sources.push_back(task.source);
  // Nothing waits on an event loop here: what the workers deliver runs on
  // them at once, one at a time.
  std::mutex deliveries;
  ConversionJob job([&deliveries](std::function<void()> work) {
    std::lock_guard lock(deliveries);
    work();
  }, workers);
  std::vector<ConversionOutcome> outcomes;
  int shown = 0;
  job.Start(std::move(tasks), [&](int percent) {
    if (percent < shown + 10 && percent != 100) return;
    shown = percent;
    err << "tarnovox: converting " << sources.size() << (sources.size() == 1 ? " file: " : " files: ") << percent
        << "%\n";
  }, [&outcomes](const std::vector<ConversionOutcome>& done) { outcomes = done; });
  job.Wait();
  for (size_t i = 0; i < outcomes.size(); ++i) {
    if (outcomes[i].result != ConversionOutcome::Result::Done)
      failures.push_back(sources[i] + ": " + (outcomes[i].message.empty() ? "not converted" : outcomes[i].message));
  }
  for (const std::string& failure : failures) err << "tarnovox: cannot convert " << failure << '\n';
  err << "tarnovox: " << files.size() - failures.size() << " of " << files.size() << " files converted to "
      << format << '\n';
  return failures.empty() ? 0 : 1;
}

}  // namespace tarnovox
