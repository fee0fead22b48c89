#include "ui/output_folder_dialog.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>

namespace tarnovox {
namespace {

// The dialog's texts, in one place and through tr() so they can be translated.
struct Texts {
  QString title = OutputFolderDialog::tr("Browse for Folder");
  QString folderName = OutputFolderDialog::tr("Folder Name:");
  QString ok = OutputFolderDialog::tr("OK");
  QString cancel = OutputFolderDialog::tr("Cancel");
  QString lineBreak = OutputFolderDialog::tr("A folder name with a line break can not be kept in the settings");
  QString notText = OutputFolderDialog::tr("A folder name that is not valid text can not be chosen");
};

}  // namespace

OutputFolderDialog::OutputFolderDialog(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint) {
  const Texts texts;
  setObjectName("outputFolderDialog");
  setWindowTitle(texts.title);
  setModal(true);
  setFixedSize(368, 354);
  CreateTree();
  auto* folderNameLabel = new QLabel(texts.folderName, this);
  folderNameLabel->setObjectName("folderNameLabel");
  folderNameLabel->move(10, 254);
  QPalette navy = folderNameLabel->palette();
  navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
  folderNameLabel->setPalette(navy);
  pathLabel_ = new QLabel(this);
  pathLabel_->setObjectName("pathLabel");
  pathLabel_->setGeometry(12, 274, 350, 16);
  auto* okButton = new QPushButton(texts.ok, this);
  okButton->setObjectName("okButton");
  okButton->setGeometry(90, 300, 63, 25);
  okButton->setDefault(true);
  auto* cancelButton = new QPushButton(texts.cancel, this);
  cancelButton->setObjectName("cancelButton");
  cancelButton->setGeometry(218, 300, 59, 25);
  connect(okButton, &QPushButton::clicked, this, [this] { AcceptChoice(); });
  connect(cancelButton, &QPushButton::clicked, this, [this] { reject(); });
}

// Folders only, from the root of the file system down. The model lists a
// folder's children on a thread of its own, so the dialog keeps repainting
// while a large folder expands.
void OutputFolderDialog::CreateTree() {
  folderTree_ = new QTreeView(this);
  folderTree_->setObjectName("folderTree");
  folderTree_->setGeometry(2, 1, 363, 247);
  folderTree_->header()->hide();
  folderTree_->setIndentation(19);
  folderTree_->setRootIsDecorated(false);
  folderTree_->setSelectionMode(QAbstractItemView::SingleSelection);
  folderTree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

// The model starts its threads and a watcher on the file system: made when
// the dialog is first opened, not while the program starts.
void OutputFolderDialog::CreateFolderModel() {
  if (folderModel_ != nullptr) return;
  folderModel_ = new QFileSystemModel(this);
  folderModel_->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
  folderModel_->setReadOnly(true);
  folderModel_->setRootPath(QString());  // the computer: the parent of "/"
  folderTree_->setModel(folderModel_);
  for (int column = 1; column < folderModel_->columnCount(); ++column) folderTree_->hideColumn(column);
  connect(folderTree_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { FolderPicked(); });
}

bool OutputFolderDialog::Choose(RecordSettings& settings, const RecorderState& state) {
  if (state.Recording()) return false;
  const std::string oldFolder = settings.folder;
  settings_ = &settings;
  state_ = &state;
  ShowOutputFolder();
  exec();
  settings_ = nullptr;
  state_ = nullptr;
  return OutputFolderChanged(oldFolder, settings.folder);
}

void OutputFolderDialog::SelectFolder(const std::string& path) {
  CreateFolderModel();
  QModelIndex node = folderModel_->index(QString::fromStdString(path));
  if (!node.isValid()) return;
  folderTree_->setCurrentIndex(node);
  folderTree_->scrollTo(node);  // expands the parents
}

void OutputFolderDialog::ShowOutputFolder() {
  CreateFolderModel();
  choice_.Show(settings_->folder);
  ShowChosenPath();
  // The user's home stays one click away whatever the output folder is.
  QModelIndex home = folderModel_->index(QDir::homePath());
  for (QModelIndex node = home.parent(); node.isValid(); node = node.parent()) folderTree_->expand(node);
  folderTree_->expand(folderModel_->index(QDir::rootPath()));
  if (QDir(QString::fromStdString(settings_->folder)).exists() && !settings_->folder.empty()) {
    SelectFolder(settings_->folder);
  }
}

void OutputFolderDialog::FolderPicked() {
  QModelIndex node = folderTree_->currentIndex();
  choice_.Select(node.isValid() ? folderModel_->filePath(node).toStdString() : std::string());
  ShowChosenPath();
}

void OutputFolderDialog::AcceptChoice() {
  // Each setting is one line of the settings file: a folder whose name holds
  // a line break could not be kept there, so it is refused before it is used.
  if (settings_ && !state_->Recording() && choice_.ChosenPath().find_first_of("\r\n") != std::string::npos) {
    QMessageBox::warning(this, windowTitle(), Texts().lineBreak);
    return;
  }
  // The tree shows names that are not valid text with stand-in characters and
  // cannot give their bytes back: such a folder cannot be named, so it is
  // refused instead of silently keeping the folder chosen before.
  const QModelIndex node = folderTree_->currentIndex();
  if (settings_ && !state_->Recording() && node.isValid() &&
      folderModel_->filePath(node).contains(QChar::ReplacementCharacter)) {
    QMessageBox::warning(this, windowTitle(), Texts().notText);
    return;
  }
  if (settings_ && !state_->Recording()) choice_.Accept(settings_->folder);
  accept();
}

void OutputFolderDialog::ShowChosenPath() { pathLabel_->setText(QString::fromStdString(choice_.LabelText())); }

}  // namespace tarnovox
