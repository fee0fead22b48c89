#pragma once
// TFormDir: the modal "Browse for Folder" dialog in which the user chooses the
// output folder from a tree of the computer's folders.
#include <QDialog>
#include <string>

#include "recorder/recorder_state.h"
#include "settings/record_settings.h"
#include "ui/folder_choice.h"

class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

namespace tarnovox {

class TFormDir : public QDialog {
 public:
  explicit TFormDir(QWidget* mainWindow = nullptr);

  // Shows the dialog modally over RecordSettings::Folder: OK writes the chosen
  // folder, Cancel and the close box change nothing. Returns whether the
  // folder changed (exact comparison; the caller then runs ChangeOutputFolder).
  // While a recording runs nothing is shown and false is returned; should a hot
  // key start a recording while the dialog is open, OK acts as Cancel.
  bool Choose(RecordSettings& settings, const RecorderState& state);

  // The last selected node's path that named an existing directory.
  const std::string& ChosenPath() const { return choice_.ChosenPath(); }
  // Selects the node of `path`, expanding the tree down to it.
  void SelectFolder(const std::string& path);

  QFileSystemModel* FolderModel = nullptr;
  QTreeView* ShellTreeView1 = nullptr;
  QLabel* LabFolder = nullptr;
  QLabel* LabPath = nullptr;
  QPushButton* BtnOK = nullptr;
  QPushButton* BtnCancel = nullptr;

 private:
  void CreateTree();
  void FormShow();
  void CreateFolderModel();
  void ShellTreeView1Change();
  void BtnOKClick();
  void ShowLabelText();

  FolderChoice choice_;
  RecordSettings* settings_ = nullptr;
  const RecorderState* state_ = nullptr;
};

}  // namespace tarnovox
