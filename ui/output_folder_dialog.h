#pragma once
// OutputFolderDialog: the modal "Browse for Folder" dialog in which the user
// chooses the output folder from a tree of the computer's folders.
#include <QDialog>
#include <string>

#include "recorder/recorder_state.h"
#include "settings/record_settings.h"
#include "ui/folder_choice.h"

class QFileSystemModel;
class QLabel;
class QTreeView;

namespace tarnovox {

class OutputFolderDialog : public QDialog {
  Q_OBJECT

 public:
  explicit OutputFolderDialog(QWidget* mainWindow = nullptr);

  // Shows the dialog modally over RecordSettings::folder: OK writes the chosen
  // folder, Cancel and the close box change nothing. Returns whether the
  // folder changed (exact comparison; the caller then runs ChangeOutputFolder).
  // While a recording runs nothing is shown and false is returned; should a hot
  // key start a recording while the dialog is open, OK acts as Cancel.
  bool Choose(RecordSettings& settings, const RecorderState& state);

  // The last selected node's path that named an existing directory.
  const std::string& ChosenPath() const { return choice_.ChosenPath(); }
  // Selects the node of `path`, expanding the tree down to it.
  void SelectFolder(const std::string& path);

 private:
  void CreateTree();
  void CreateFolderModel();
  // The output folder into the tree and the path label, as the dialog opens.
  void ShowOutputFolder();
  void FolderPicked();
  void AcceptChoice();
  void ShowChosenPath();

  QFileSystemModel* folderModel_ = nullptr;
  QTreeView* folderTree_ = nullptr;
  QLabel* pathLabel_ = nullptr;
  FolderChoice choice_;
  RecordSettings* settings_ = nullptr;
  const RecorderState* state_ = nullptr;
};

}  // namespace tarnovox
