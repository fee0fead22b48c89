#include "ui/output_folder_dialog.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>

namespace tarnovox {

TFormDir::TFormDir(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName("FormDir");
  setWindowTitle("Browse for Folder");
  setModal(true);
  setFixedSize(368, 354);
  CreateTree();
  LabFolder = new QLabel("Folder Name:", this);
  LabFolder->move(10, 254);
  QPalette navy = LabFolder->palette();
  navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
  LabFolder->setPalette(navy);
  LabPath = new QLabel(this);
  LabPath->setGeometry(12, 274, 350, 16);
  BtnOK = new QPushButton("OK", this);
  BtnOK->setGeometry(90, 300, 63, 25);
  BtnOK->setDefault(true);
  BtnCancel = new QPushButton("Cancel", this);
  BtnCancel->setGeometry(218, 300, 59, 25);
  connect(BtnOK, &QPushButton::clicked, this, [this] { BtnOKClick(); });
  connect(BtnCancel, &QPushButton::clicked, this, [this] { reject(); });  // BtnCancelClick
}

// Folders only, from the root of the file system down. The model lists a
// folder's children on a thread of its own, so the dialog keeps repainting
// while a large folder expands.
void TFormDir::CreateTree() {
  ShellTreeView1 = new QTreeView(this);
  ShellTreeView1->setGeometry(2, 1, 363, 247);
  ShellTreeView1->header()->hide();
  ShellTreeView1->setIndentation(19);
  ShellTreeView1->setRootIsDecorated(false);
  ShellTreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
  ShellTreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

// The model starts its threads and a watcher on the file system: made when
// the dialog is first opened, not while the program starts.
void TFormDir::CreateFolderModel() {
  if (FolderModel != nullptr) return;
  FolderModel = new QFileSystemModel(this);
  FolderModel->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
  FolderModel->setReadOnly(true);
  FolderModel->setRootPath(QString());  // the computer: the parent of "/"
  ShellTreeView1->setModel(FolderModel);
  for (int column = 1; column < FolderModel->columnCount(); ++column) ShellTreeView1->hideColumn(column);
  connect(ShellTreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this] { ShellTreeView1Change(); });
}

bool TFormDir::Choose(RecordSettings& settings, const RecorderState& state) {
  if (state.recording) return false;
  const std::string oldFolder = settings.Folder;
  settings_ = &settings;
  state_ = &state;
  FormShow();
  exec();
  settings_ = nullptr;
  state_ = nullptr;
  return OutputFolderChanged(oldFolder, settings.Folder);
}

void TFormDir::SelectFolder(const std::string& path) {
  CreateFolderModel();
  QModelIndex node = FolderModel->index(QString::fromStdString(path));
  if (!node.isValid()) return;
  ShellTreeView1->setCurrentIndex(node);
  ShellTreeView1->scrollTo(node);  // expands the parents
}

void TFormDir::FormShow() {
  CreateFolderModel();
  choice_.Show(settings_->Folder);
  ShowLabelText();
  // The user's home stays one click away whatever the output folder is.
  QModelIndex home = FolderModel->index(QDir::homePath());
  for (QModelIndex node = home.parent(); node.isValid(); node = node.parent()) ShellTreeView1->expand(node);
  ShellTreeView1->expand(FolderModel->index(QDir::rootPath()));
  if (QDir(QString::fromStdString(settings_->Folder)).exists() && !settings_->Folder.empty()) {
    SelectFolder(settings_->Folder);
  }
}

void TFormDir::ShellTreeView1Change() {
  QModelIndex node = ShellTreeView1->currentIndex();
  choice_.Select(node.isValid() ? FolderModel->filePath(node).toStdString() : std::string());
  ShowLabelText();
}

void TFormDir::BtnOKClick() {
  // Each setting is one line of the settings file: a folder whose name holds
  // a line break could not be kept there, so it is refused before it is used.
  if (settings_ && !state_->recording && choice_.ChosenPath().find_first_of("\r\n") != std::string::npos) {
    QMessageBox::warning(this, windowTitle(), "A folder name with a line break can not be kept in the settings");
    return;
  }
  // The tree shows names that are not valid text with stand-in characters and
  // cannot give their bytes back: such a folder cannot be named, so it is
  // refused instead of silently keeping the folder chosen before.
  const QModelIndex node = ShellTreeView1->currentIndex();
  if (settings_ && !state_->recording && node.isValid() &&
      FolderModel->filePath(node).contains(QChar::ReplacementCharacter)) {
    QMessageBox::warning(this, windowTitle(), "A folder name that is not valid text can not be chosen");
    return;
  }
  if (settings_ && !state_->recording) choice_.Accept(settings_->Folder);
  accept();
}

void TFormDir::ShowLabelText() { LabPath->setText(QString::fromStdString(choice_.LabelText())); }

}  // namespace tarnovox
