// Profile (INI) files on disk: locating them, reading them and changing them
// under the lock-file protocol of profile.h.
#include "runtime/support/profile.h"

#include <cerrno>
#include <climits>
#include <functional>

#include "platform/locations.h"
#include "platform/whole_file.h"
#include "runtime/support/ini_file.h"

namespace vaultrix::support {
namespace {

bool InSettingsFolder(std::string_view file) {
  return file.find('/') == std::string_view::npos;
}

// The document of a profile; a missing file is an empty document.
int LoadDocument(const std::string& path, IniDocument& document) {
  std::string text;
  int error = platform::ReadWholeFile(path, kProfileFileMax, text);
  if (error == ENOENT) error = 0;
  if (error != 0) return error;
  document = IniDocument::Parse(text.data(), text.size());
  return 0;
}

std::optional<IniDocument> ReadDocument(std::string_view file) {
  IniDocument document;
  if (LoadDocument(ProfilePath(file), document) != 0) return std::nullopt;
  return document;
}

// Runs `change` on the current document under the file's lock and writes the
// result back when `change` answers true.
int ChangeDocument(std::string_view file, const std::function<bool(IniDocument&)>& change) {
  if (InSettingsFolder(file)) {
    int error = platform::CreatePrivateFolder(platform::SettingsFolder());
    if (error != 0) return error;
  }
  std::string path = platform::ResolveLink(ProfilePath(file));
  platform::FileLock lock;
  int error = lock.Acquire(path);
  if (error != 0) return error;
  IniDocument document;
  error = LoadDocument(path, document);
  if (error != 0) return error;
  if (!change(document)) return 0;
  return platform::ReplaceWholeFile(path, document.Text());
}

}  // namespace

std::string ProfilePath(std::string_view file) {
  if (file.empty()) return platform::DefaultProfilePath();
  if (InSettingsFolder(file)) {
    return platform::ResolveNameIgnoringCase(platform::SettingsFolder(), std::string(file));
  }
  return std::string(file);
}

std::optional<std::string> FindIni(std::string_view section, std::string_view key,
                                   std::string_view file) {
  std::optional<IniDocument> document = ReadDocument(file);
  if (!document) return std::nullopt;
  return document->Get(section, key);
}

std::string GetIni(std::string_view section, std::string_view key,
                   std::string_view default_value, std::string_view file) {
  std::optional<std::string> value = FindIni(section, key, file);
  return value ? *value : std::string(default_value);
}

long GetIniLong(std::string_view section, std::string_view key, long default_value,
                std::string_view file) {
  std::optional<std::string> value = FindIni(section, key, file);
  if (!value) return default_value;
  std::size_t i = 0;
  while (i < value->size() && ((*value)[i] == ' ' || (*value)[i] == '\t')) ++i;
  bool negative = false;
  if (i < value->size() && ((*value)[i] == '-' || (*value)[i] == '+')) negative = (*value)[i++] == '-';
  if (i >= value->size() || (*value)[i] < '0' || (*value)[i] > '9') return default_value;
  long result = 0;
  for (; i < value->size() && (*value)[i] >= '0' && (*value)[i] <= '9'; ++i) {
    int digit = (*value)[i] - '0';
    // Saturate instead of overflowing on absurdly long digit runs.
    if (result > (LONG_MAX - digit) / 10) return negative ? LONG_MIN : LONG_MAX;
    result = result * 10 + digit;
  }
  return negative ? -result : result;
}

int PutIni(std::string_view section, std::string_view key, std::string_view value,
           std::string_view file) {
  if (!IsValidIniSectionName(section) || !IsValidIniKeyName(key) || !IsValidIniValue(value)) {
    return EINVAL;
  }
  return ChangeDocument(file, [&](IniDocument& document) {
    // Every window saves its placement as it closes, mostly the values it
    // read when it opened: a value the file already holds is not written
    // again, since each write replaces the file durably (a sync or two).
    if (const std::optional<std::string> held = document.Get(section, key); held == value) {
      return false;
    }
    document.Set(section, key, value);
    return true;
  });
}

int DeleteIniKey(std::string_view section, std::string_view key, std::string_view file) {
  return ChangeDocument(file,
                        [&](IniDocument& document) { return document.DeleteKey(section, key); });
}

int DeleteIniSection(std::string_view section, std::string_view file) {
  return ChangeDocument(file,
                        [&](IniDocument& document) { return document.DeleteSection(section); });
}

std::vector<std::string> ListIniKeys(std::string_view section, std::string_view file) {
  std::optional<IniDocument> document = ReadDocument(file);
  return document ? document->Keys(section) : std::vector<std::string>{};
}

std::vector<std::string> ListIniSections(std::string_view file) {
  std::optional<IniDocument> document = ReadDocument(file);
  return document ? document->Sections() : std::vector<std::string>{};
}

}  // namespace vaultrix::support
