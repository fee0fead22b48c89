#include "settings/ini_file.h"

#include <cctype>
#include <cerrno>
#include <filesystem>

#include "platform/regular_file.h"
#include "platform/replacing_file.h"

namespace tarnovox {
namespace {

std::string Trim(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string::npos) return {};
  size_t end = text.find_last_not_of(" \t\r");
  return text.substr(begin, end - begin + 1);
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// One pair of double quotes around a value is not part of it.
std::string Unquoted(const std::string& value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') return value.substr(1, value.size() - 2);
  return value;
}

// "[Name]" gives "Name"; any other line gives nothing.
std::optional<std::string> SectionName(const std::string& line) {
  std::string text = Trim(line);
  if (text.size() < 2 || text.front() != '[') return std::nullopt;
  size_t close = text.find(']');
  if (close == std::string::npos) return std::nullopt;
  return Trim(text.substr(1, close - 1));
}

// "key=value" gives the key; comments and other lines give nothing.
std::optional<std::string> KeyName(const std::string& line) {
  std::string text = Trim(line);
  if (text.empty() || text.front() == ';' || text.front() == '#' || text.front() == '[') return std::nullopt;
  size_t equals = text.find('=');
  if (equals == std::string::npos) return std::nullopt;
  return Trim(text.substr(0, equals));
}

// The file a chain of links ends at, which need not exist yet; nothing for a
// chain that loops or cannot be read.
std::optional<std::filesystem::path> FollowLinks(std::filesystem::path path) {
  namespace fs = std::filesystem;
  for (int hop = 0; hop < 40; ++hop) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(path, error))) return path;
    const fs::path next = fs::read_symlink(path, error);
    if (error) return std::nullopt;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return std::nullopt;
}

}  // namespace

IniFile IniFile::Load(const std::string& path) { return Read(path).value_or(IniFile{}); }

std::optional<IniFile> IniFile::Read(const std::string& path) {
  const RegularFile file(path);
  if (!file.IsOpen()) {
    if (errno == ENOENT) return IniFile{};
    return std::nullopt;
  }
  std::string text;
  char buffer[4096];
  for (long got; (got = file.ReadAt(static_cast<long>(text.size()), buffer, sizeof buffer)) != 0;) {
    if (got < 0) return std::nullopt;
    text.append(buffer, static_cast<size_t>(got));
  }
  return Parse(text);
}

IniFile IniFile::Parse(const std::string& text) {
  IniFile ini;
  // The first line end tells the file's style; a carriage return is only
  // part of the line end in a CR LF file, so that saving never changes a line.
  const size_t firstEnd = text.find('\n');
  if (firstEnd != std::string::npos && firstEnd > 0 && text[firstEnd - 1] == '\r') ini.newline_ = "\r\n";
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (ini.newline_ == "\r\n" && !line.empty() && line.back() == '\r') line.pop_back();
    ini.lines_.push_back(line);
    start = end + 1;
  }
  return ini;
}

std::optional<std::string> IniFile::Value(const std::string& section, const std::string& key) const {
  bool inSection = false;
  for (const auto& line : lines_) {
    if (auto name = SectionName(line)) {
      inSection = SameName(*name, section);
    } else if (inSection) {
      auto name = KeyName(line);
      if (name && SameName(*name, key)) return Unquoted(Trim(line.substr(line.find('=') + 1)));
    }
  }
  return std::nullopt;
}

uint32_t IniFile::ReadInteger(const std::string& section, const std::string& key, uint32_t fallback) const {
  const std::optional<std::string> value = Value(section, key);
  if (!value) return fallback;
  return ParseInteger(*value).value_or(fallback);
}

std::optional<uint32_t> IniFile::ParseInteger(const std::string& text) {
  size_t pos = 0;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
  int base = 10;
  if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
    base = 16;
    pos += 2;
  }
  uint64_t number = 0;
  size_t digits = 0;
  for (; pos < text.size(); ++pos, ++digits) {
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[pos])));
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else break;
    number = (number * base + digit) & 0xFFFFFFFFull;
  }
  if (digits == 0) return std::nullopt;
  uint32_t result = static_cast<uint32_t>(number);
  return negative ? 0u - result : result;
}

bool IniFile::SetValue(const std::string& section, const std::string& key, const std::string& value) {
  if (value.find_first_of("\r\n") != std::string::npos) return false;
  const bool readsBackAltered = Trim(value) != value || Unquoted(value) != value;
  const std::string entry = key + "=" + (readsBackAltered ? "\"" + value + "\"" : value);
  bool inSection = false;
  size_t insertAt = lines_.size();
  bool found = false;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (auto name = SectionName(lines_[i])) {
      if (inSection) break;  // end of our section
      inSection = SameName(*name, section);
      if (inSection) { found = true; insertAt = i + 1; }
      continue;
    }
    if (!inSection) continue;
    auto name = KeyName(lines_[i]);
    if (name && SameName(*name, key)) {
      lines_[i] = entry;
      return true;
    }
    if (!Trim(lines_[i]).empty()) insertAt = i + 1;  // after the last non-blank line of the section
  }
  if (found) {
    lines_.insert(lines_.begin() + static_cast<long>(insertAt), entry);
    return true;
  }
  lines_.push_back("[" + section + "]");
  lines_.push_back(entry);
  return true;
}

std::string IniFile::Text() const {
  std::string text;
  for (const auto& line : lines_) text += line + newline_;
  return text;
}

bool IniFile::Save(const std::string& path) const {
  const std::optional<std::filesystem::path> target = FollowLinks(path);
  if (!target) return false;
  const std::string text = Text();
  ReplacingFile file;
  return file.Create(target->string()) && file.Write(reinterpret_cast<const uint8_t*>(text.data()), text.size()) &&
         file.Commit(true);
}

}  // namespace tarnovox
