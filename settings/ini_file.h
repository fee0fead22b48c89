#pragma once
// A small INI document that reads like the platform's profile functions
// (sections and keys match without regard to letter case, blanks around names
// and values are ignored) and writes values back in place, keeping every other
// line of the file - other sections, keys, comments - as it was.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnovox {

class IniFile {
 public:
  // Reads the file; a missing or unreadable file gives an empty document.
  static IniFile Load(const std::string& path);
  // Reads the file; a missing file gives an empty document, one that exists
  // but cannot be read (no permission, not a regular file) gives nothing.
  static std::optional<IniFile> Read(const std::string& path);
  static IniFile Parse(const std::string& text);

  // A value in double quotes is read without them, as the profile functions
  // do, so a value that begins or ends with a blank can be written quoted.
  std::optional<std::string> Value(const std::string& section, const std::string& key) const;
  // Integer as the profile functions read it: optional sign, then decimal
  // digits or "0x"/"0X" and hexadecimal digits, up to the first other
  // character; no digits at all gives the default. Wraps to 32 bits.
  uint32_t ReadInteger(const std::string& section, const std::string& key, uint32_t fallback) const;
  // The same reading of a value already in hand; nothing when it has no digits.
  static std::optional<uint32_t> ParseInteger(const std::string& text);

  // Replaces the key's value where it stands, or adds it at the end of its
  // section, or adds the section at the end of the document. The value is
  // quoted when reading it back would otherwise change it. A value with a
  // line break cannot be held by a line of the file: it is refused (false)
  // and the document stays as it was.
  bool SetValue(const std::string& section, const std::string& key, const std::string& value);

  std::string Text() const;
  // Writes a hidden file beside the target, syncs it and renames it over the
  // target, so a failure leaves the old file as it was. The file keeps its
  // permissions; when `path` is a link, the file it points to is replaced and
  // the link stays. Returns false on failure.
  bool Save(const std::string& path) const;

 private:
  std::vector<std::string> lines_;
  std::string newline_ = "\n";
};

}  // namespace tarnovox
