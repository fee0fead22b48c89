#pragma once
// TagEditorFields for tests: six plain strings and the genre items.
#include <map>
#include <string>
#include <vector>

#include "tags/tag_editor_fields.h"

namespace tarnovox::testing {

class PlainTagEditor : public TagEditorFields {
 public:
  std::string Text(TagField field) const override {
    auto it = texts.find(field);
    return it == texts.end() ? std::string() : it->second;
  }
  void SetText(TagField field, const std::string& text) override { texts[field] = text; }
  void AddGenreItem(const std::string& name) override { genreItems.push_back(name); }

  std::map<TagField, std::string> texts;
  std::vector<std::string> genreItems;
};

}  // namespace tarnovox::testing
