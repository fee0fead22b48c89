// The recording mixer started by the program is closed again at exit, and the
// help page is looked for beside the executable and in the shared data folder.
#include <QThread>
#include <gtest/gtest.h>

#include "ui/qt_desktop_shell.h"

namespace tarnovox {
namespace {

TEST(QtDesktopShell, ClosesTheMixerItStarted) {
  QtDesktopShell shell("sleep", {"30"}, {});
  EXPECT_FALSE(shell.MixerRunning());
  shell.StartRecordingMixer();
  EXPECT_TRUE(shell.MixerRunning());
  shell.CloseMixerWindows();
  // The detached process is the init process's child; it is gone once terminated.
  for (int i = 0; i < 50 && shell.MixerRunning(); ++i) QThread::msleep(20);
  EXPECT_FALSE(shell.MixerRunning());
}

TEST(QtDesktopShell, AMissingMixerProgramIsIgnored) {
  QtDesktopShell missing("tarnovox-no-such-mixer", {"--tab=4"}, {});
  missing.StartRecordingMixer();
  EXPECT_FALSE(missing.MixerRunning());
  missing.CloseMixerWindows();
}

// The help file is named after the executable.
TEST(QtDesktopShell, HelpFileIsLookedForBesideTheProgramThenInTheDataFolder) {
  EXPECT_EQ(QtDesktopShell::HelpFilesFor("/opt/tv/bin/tarnovox"),
            QStringList({"/opt/tv/bin/tarnovox.html", "/opt/tv/share/tarnovox/tarnovox.html"}));
}

}  // namespace
}  // namespace tarnovox
