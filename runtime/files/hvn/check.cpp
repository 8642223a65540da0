// Walking every page of an HVN file for the consistency check.
#include "runtime/files/hvn/check.h"

#include <map>
#include <optional>
#include <set>

#include "runtime/files/hvn/cipher_file.h"
#include "runtime/files/hvn/pages/page_file.h"
#include "runtime/files/hvn/pages/record_kinds.h"

namespace vaultrix::files::hvn {
namespace {

class Checker {
 public:
  explicit Checker(PageFile& file) : file_(file) {}

  void Run() {
    const FileHeader& header = file_.header();
    if (header.committed_end != header.written_end && !file_.read_only()) {
      Problem("pending span left after the header check");
    }
    if (header.root != kNoPage) Walk(header.root, -1, std::nullopt, std::nullopt, true);
    for (const auto& [counter_key, counter] : counters_) {
      const std::size_t seen = counted_[counter_key];
      if (seen != counter.count) {
        Problem("counter " + Hex(counter_key) + " says " + std::to_string(counter.count) +
                ", records " + std::to_string(seen));
      }
    }
    if (highest_number_ > header.last_number) Problem("a number above the last issued one");
  }

  std::string problems;

 private:
  void Problem(const std::string& text) { problems += text + "\n"; }

  static std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
      out.push_back(digits[c >> 4]);
      out.push_back(digits[c & 15]);
    }
    return out;
  }

  void Walk(std::int32_t ref, int level, const std::optional<std::string>& low,
            const std::optional<std::string>& high, bool root) {
    if (!problems.empty() && problems.size() > 4000) return;
    if (!seen_.insert(ref).second) {
      Problem("page " + std::to_string(ref) + " reached twice");
      return;
    }
    Page* page = nullptr;
    if (int code = file_.Fetch(ref, &page); code != 0) {
      Problem("page " + std::to_string(ref) + " unreadable: code " + std::to_string(code) +
              " line " + std::to_string(file_.fault_line()));
      return;
    }
    // The page may leave the cache while its children are read: copy it.
    const PageContent content = page->content;
    if (level >= 0 && content.level != level) Problem("page " + std::to_string(ref) + " level");
    if (content.records.empty() && !root) Problem("empty page " + std::to_string(ref));
    for (std::size_t i = 0; i < content.records.size(); ++i) {
      const std::string& key = content.records[i].key;
      if (i > 0 && !(content.records[i - 1].key < key)) {
        Problem("keys out of order in page " + std::to_string(ref));
      }
      if ((low && key < *low) || (high && !(key < *high))) {
        Problem("key outside its subtree in page " + std::to_string(ref));
      }
    }
    if (content.level == 0) {
      for (const Record& record : content.records) Count(record);
      return;
    }
    if (content.children.size() != content.records.size()) Problem("children count");
    for (std::size_t i = 0; i < content.children.size(); ++i) {
      std::optional<std::string> child_high =
          i + 1 < content.records.size() ? std::optional<std::string>(content.records[i + 1].key)
                                         : high;
      Walk(content.children[i], content.level - 1, content.records[i].key, child_high, false);
    }
  }

  void Count(const Record& record) {
    const std::string& key = record.key;
    if (key.empty()) {
      Problem("empty key");
      return;
    }
    const auto first = static_cast<std::uint8_t>(key[0]);
    if (first >= kKindTableName) {
      if (first == kKindTableName && record.data.size() == 4) {
        highest_number_ = std::max(highest_number_, ReadBigEndian32(record.data, 0));
      }
      return;
    }
    if (key.size() < 5) {
      Problem("short key " + Hex(key));
      return;
    }
    const std::uint32_t table = ReadBigEndian32(key, 0);
    highest_number_ = std::max(highest_number_, table);
    const auto kind = static_cast<std::uint8_t>(key[4]);
    if (kind == kKindCounter && key.size() == 6) {
      Counter counter;
      if (!DecodeCounter(record.data, &counter)) {
        Problem("bad counter " + Hex(key));
      } else {
        counters_[key] = counter;
      }
      return;
    }
    if (kind == kKindData || kind < kKindData) {
      counted_[CounterKey(table, kind)] += 1;
      if (kind == kKindData && key.size() == kDataKeySize) {
        highest_number_ = std::max(highest_number_, ReadBigEndian32(key, 5));
      }
    }
  }

  PageFile& file_;
  std::set<std::int32_t> seen_;
  std::map<std::string, Counter> counters_;
  std::map<std::string, std::size_t> counted_;
  std::uint32_t highest_number_ = 0;
};

}  // namespace

std::string CheckHvnPages(PageFile& file) {
  if (int code = file.Begin(); code != 0) {
    return "header check failed: code " + std::to_string(code) + " line " +
           std::to_string(file.fault_line()) + "\n";
  }
  Checker checker(file);
  checker.Run();
  file.Abort();
  return checker.problems;
}

std::string CheckHvnFile(const std::string& path, std::string_view owner) {
  PageFile file;
  file.UseCipher(SharedCipherContext(path, owner));
  if (int code = file.Open(path, true, false); code != 0) {
    return "cannot open: code " + std::to_string(code) + "\n";
  }
  std::string problems = CheckHvnPages(file);
  (void)file.Close();
  return problems;
}

}  // namespace vaultrix::files::hvn
