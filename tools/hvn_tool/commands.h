// The commands of vaultrix-hvn, each writing its report to `out` and its
// complaints to `err` and answering the process's exit code.
#pragma once

#include <ostream>
#include <string>

namespace vaultrix::tools {

inline constexpr int kExitOk = 0;
inline constexpr int kExitProblems = 1;    // check found problems; rebuild met duplicates
inline constexpr int kExitUsage = 2;       // bad arguments
inline constexpr int kExitUnreadable = 3;  // missing, not an HVN file, wrong password, damaged

enum class DumpFormat { kText, kJson, kCsv };

struct ToolOptions {
  std::string file;
  std::string owner;  // empty: the file has no owner password
  std::string table;  // dump: only this table
  DumpFormat format = DumpFormat::kText;
};

int InfoCommand(const ToolOptions& options, std::ostream& out, std::ostream& err);
int DumpCommand(const ToolOptions& options, std::ostream& out, std::ostream& err);
int CheckCommand(const ToolOptions& options, std::ostream& out, std::ostream& err);
int RebuildCommand(const ToolOptions& options, std::ostream& out, std::ostream& err);
int PackCommand(const ToolOptions& options, std::ostream& out, std::ostream& err);

}  // namespace vaultrix::tools
