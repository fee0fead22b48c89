#pragma once
// The rules of the output folder dialog, apart from its folder tree: which
// path the dialog holds while the user browses and what OK writes back.
#include <string>

namespace tarnovox {

class FolderChoice {
 public:
  // The dialog opens: the label and ChosenPath start from the output folder,
  // so a choice made in a cancelled showing is not carried into the next one.
  void Show(const std::string& folder);
  // A node of the tree was picked: a path naming an existing directory becomes
  // the chosen one; any other (empty for the computer's root node) empties the
  // label and keeps the last existing directory chosen.
  void Select(const std::string& path);
  // OK: the output folder takes ChosenPath when the folder is not empty and
  // ChosenPath is still an existing directory. Cancel calls nothing.
  void Accept(std::string& folder) const;

  const std::string& ChosenPath() const { return chosenPath_; }
  const std::string& LabelText() const { return labelText_; }

 private:
  std::string chosenPath_;
  std::string labelText_;
};

// Whether the dialog's closing changed the output folder: exact comparison,
// so the same folder in other letter case counts as a change; an empty
// folder never does.
bool OutputFolderChanged(const std::string& oldFolder, const std::string& newFolder);

}  // namespace tarnovox
