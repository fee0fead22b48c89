// The program's entry: a start that only answers or hands its commands to the
// running recorder ends here; otherwise the application is built and run.
#include <fontconfig/fontconfig.h>

#include <QApplication>
#include <iostream>
#include <thread>

#include "app/application.h"
#include "app/command_line.h"
#include "app/command_line_conversion.h"
#include "app/instance_channel.h"
#include "app/startup_trace.h"
#include "settings/settings_store.h"
#include "ui/fixed_size_across_screens.h"
#include "ui/skin_pictures.h"

namespace {

// A conversion from the command line reads the settings (the MP3 encoding)
// but never writes them, and touches neither display nor sound server.
int ConvertWithoutWindow(const tarnovox::CommandLine& line) {
  tarnovox::RecordSettings settings;
  tarnovox::SettingsStore(settings, tarnovox::ProgramPlace::OfThisProcess().SettingsFile()).LoadSettings();
  tarnovox::DlopenLoader loader;
  return tarnovox::ConvertFromCommandLine(line.convertFormat, line.convertFiles, settings, loader, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
  // Before the display, the settings, the sound server and the output folder:
  // a start that only answers, or hands its commands to the running recorder,
  // must leave that recorder's files and devices alone.
  tarnovox::StartupMark("main");
  const tarnovox::CommandLine line = tarnovox::ParseCommandLine({argv + 1, argv + argc});
  if (line.outcome == tarnovox::CommandLine::Outcome::Convert) return ConvertWithoutWindow(line);
  if (line.outcome != tarnovox::CommandLine::Outcome::Run) return tarnovox::PrintOutcome(line, std::cout, std::cerr);
  QString channelProblem;
  const QString channelName = tarnovox::InstanceChannel::DefaultName(&channelProblem);
  if (channelName.isEmpty()) {
    std::cerr << "tarnovox: " << channelProblem.toStdString() << "; not starting\n";
    return 1;
  }
  if (auto status = tarnovox::InstanceChannel::HandOverToRunning(channelName, line.commands, line.timing)) return *status;

  // In a Wayland session the windows go through XWayland, where docking, dragging,
  // window positions and key grabs work; native Wayland remains the fallback
  // when there is no XWayland. A platform the user chose is kept.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "xcb;wayland");
  // The font configuration loads on a thread of its own while the application
  // connects to the display, so the main window's first labels find it ready.
  // Qt reads it through the same library, which guards its one-time set-up.
  std::thread fonts([] { FcInit(); });
  QApplication app(argc, argv);
  fonts.join();
  tarnovox::SkinPictures::DecodeSkinMeanwhile();
  tarnovox::StartupMark("application");
  QApplication::setApplicationName("Tarnovox");
  tarnovox::FixedSizeAcrossScreens fixedSizes;
  app.installEventFilter(&fixedSizes);
  tarnovox::InstanceChannel channel(channelName);
  if (auto status = channel.Claim(line.commands, line.timing)) return *status;
  tarnovox::StartupMark("Run");
  tarnovox::Application application(channel, tarnovox::ProgramPlace::OfThisProcess());
  return application.Run();
}
