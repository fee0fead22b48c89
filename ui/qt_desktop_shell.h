#pragma once
// The desktop beside the windows: the recording mixer the Recording Control
// button starts (pavucontrol on its input devices tab), closed again at exit,
// and the help page opened in the desktop's browser.
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "recorder/collaborators.h"

namespace tarnovox {

class QtDesktopShell final : public DesktopShell {
 public:
  // The mixer program and its arguments; the help page's candidate paths.
  QtDesktopShell(QString mixerProgram, QStringList mixerArguments, QStringList helpFiles);

  // Starts the mixer detached; a missing program is not reported.
  void StartRecordingMixer();
  // Asks every mixer this program started and that still runs to quit.
  void CloseMixerWindows() override;
  // A mixer this program started still runs.
  bool MixerRunning() const;
  // Opens the first help file that exists; none existing is not reported.
  void OpenHelp() const;
  // That file's URL, empty when none exists.
  QUrl HelpPage() const;

  // "<exe dir>/<exe name>.html", then "<exe dir>/../share/<exe name>/<exe name>.html".
  static QStringList HelpFilesFor(const QString& executable);

 private:
  QString mixerProgram_;
  QStringList mixerArguments_;
  QStringList helpFiles_;
  QList<qint64> mixers_;
};

}  // namespace tarnovox
