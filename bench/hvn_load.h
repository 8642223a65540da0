// Loading many records into an HVN table for a benchmark in one commit,
// beneath the driver (a durable ADD each would take minutes); the caller
// then BUILDs the keys through the driver.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "runtime/files/hvn/cipher_file.h"
#include "runtime/files/hvn/table.h"

namespace vaultrix::bench {

// Writes `count` records of `size` bytes into the table "UNNAMED" of the
// existing file `path`, record i (from 1) made by `fill(i, record)`. False
// when anything failed.
inline bool LoadHvnRecords(const std::string& path, const std::string& owner, int count,
                           std::uint32_t size,
                           const std::function<void(int, std::uint8_t*)>& fill) {
  using namespace files::hvn;
  PageFile pages;
  pages.UseCipher(files::SharedCipherContext(path, owner));
  if (pages.Open(path, false, false) != 0 || pages.Begin() != 0) return false;
  std::uint32_t id = 0;
  if (Table::FindId(pages, "UNNAMED", &id) != 0) return false;
  Table table(pages, id);
  std::string record(size, ' ');
  for (int i = 1; i <= count; ++i) {
    fill(i, reinterpret_cast<std::uint8_t*>(record.data()));
    std::uint32_t number = 0;
    if (pages.IssueNumber(&number) != 0 || table.Write(number, record) != 0) return false;
  }
  if (table.AddToCounter(kKindData, count) != 0) return false;
  if (pages.End() != 0) return false;
  return pages.Close() == 0;
}

}  // namespace vaultrix::bench
