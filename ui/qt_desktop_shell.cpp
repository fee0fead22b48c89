#include "ui/qt_desktop_shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>
#include <csignal>

namespace tarnovox {
namespace {

// The process still runs: it exists and is not a zombie waiting to be reaped
// (started detached, it is the init process's child, which may reap it late).
bool ProcessRunning(qint64 pid) {
  QFile stat(QString("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return false;
  const QByteArray line = stat.readAll();
  const qsizetype nameEnd = line.lastIndexOf(')');
  return nameEnd >= 0 && nameEnd + 2 < line.size() && line.at(nameEnd + 2) != 'Z';
}

}  // namespace

QtDesktopShell::QtDesktopShell(QString mixerProgram, QStringList mixerArguments, QStringList helpFiles)
    : mixerProgram_(std::move(mixerProgram)),
      mixerArguments_(std::move(mixerArguments)),
      helpFiles_(std::move(helpFiles)) {}

void QtDesktopShell::StartRecordingMixer() {
  qint64 pid = 0;
  if (QProcess::startDetached(mixerProgram_, mixerArguments_, QString(), &pid) && pid > 0) mixers_.append(pid);
}

void QtDesktopShell::CloseMixerWindows() {
  for (qint64 pid : mixers_) {
    if (ProcessRunning(pid)) ::kill(static_cast<pid_t>(pid), SIGTERM);
  }
  mixers_.clear();
}

bool QtDesktopShell::MixerRunning() const {
  for (qint64 pid : mixers_) {
    if (ProcessRunning(pid)) return true;
  }
  return false;
}

void QtDesktopShell::OpenHelp() const {
  const QUrl page = HelpPage();
  if (!page.isEmpty()) QDesktopServices::openUrl(page);
}

QUrl QtDesktopShell::HelpPage() const {
  for (const QString& file : helpFiles_) {
    if (QFileInfo::exists(file)) return QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
  }
  return {};
}

QStringList QtDesktopShell::HelpFilesFor(const QString& executable) {
  const QFileInfo exe(executable);
  const QString name = exe.completeBaseName();
  const QDir dir = exe.absoluteDir();
  return {dir.filePath(name + ".html"), QDir::cleanPath(dir.filePath("../share/" + name + "/" + name + ".html"))};
}

}  // namespace tarnovox
