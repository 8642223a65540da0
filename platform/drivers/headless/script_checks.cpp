// Regular-expression and file checks of scripts.
#include "platform/drivers/headless/script_checks.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <regex>

#include "platform/drivers/headless/window_dump.h"
#include "platform/whole_file.h"

namespace vaultrix::platform::headless {
namespace {

bool IsNameCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

bool SomeLineMatches(std::string_view text, std::string_view pattern, std::string* error) {
  error->clear();
  std::regex expression;
  try {
    expression.assign(pattern.begin(), pattern.end(), std::regex::ECMAScript);
  } catch (const std::regex_error& bad) {
    *error = "bad regular expression " + Quoted(pattern) + ": " + bad.what();
    return false;
  }
  for (;;) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    if (line.size() > kLongestMatchedLine) {
      *error = "a line of " + std::to_string(line.size()) + " bytes is too long to match";
      return false;
    }
    try {
      if (std::regex_search(line.begin(), line.end(), expression)) return true;
    } catch (const std::regex_error& failed) {
      *error = std::string("the regular expression could not be matched: ") + failed.what();
      return false;
    }
    if (end == std::string_view::npos) return false;
    text.remove_prefix(end + 1);
  }
}

std::optional<std::string> ScriptPath(std::string_view written, const std::string& base,
                                      std::string* error) {
  std::string path;
  for (std::size_t i = 0; i < written.size(); ++i) {
    if (written[i] != '$') {
      path.push_back(written[i]);
      continue;
    }
    std::string name;
    const bool braced = i + 1 < written.size() && written[i + 1] == '{';
    std::size_t at = i + (braced ? 2 : 1);
    while (at < written.size() && IsNameCharacter(written[at])) name.push_back(written[at++]);
    if (braced && (at >= written.size() || written[at] != '}')) {
      *error = "a \"${\" in the path " + Quoted(written) + " is not closed";
      return std::nullopt;
    }
    if (name.empty()) {
      path.push_back('$');  // a lone '$' is part of the name
      continue;
    }
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) {
      *error = "the environment variable " + name + " is not set";
      return std::nullopt;
    }
    path += value;
    i = braced ? at : at - 1;
  }
  if (!base.empty() && !path.empty() && path.front() != '/') path = base + "/" + path;
  return path;
}

bool FileHolds(const std::string& path, const std::optional<std::string>& text,
               std::string* error) {
  std::string contents;
  const int code = ReadWholeFile(path, kLargestCheckedFile, contents);
  if (code == ENOENT) {
    *error = "there is no file " + Quoted(path);
    return false;
  }
  if (code != 0) {
    *error = "the file " + Quoted(path) + " cannot be read: " + std::strerror(code);
    return false;
  }
  if (!text || contents.find(*text) != std::string::npos) return true;
  *error = "the file " + Quoted(path) + " does not hold " + Quoted(*text);
  return false;
}

bool FileIsMissing(const std::string& path, std::string* error) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0 && errno == ENOENT) return true;
  *error = "the file " + Quoted(path) + " exists";
  return false;
}

}  // namespace vaultrix::platform::headless
