// The string table's entries. System errors 301..391 carry the English texts
// of the system's error numbers 1..91; numbers the system leaves unassigned
// read "System Error n".
#include "runtime/support/string_table.h"

#include <algorithm>
#include <array>
#include <string>

#include "runtime/support/error_codes.h"

namespace vaultrix::support {
namespace {

struct Entry {
  std::int32_t id;
  std::string_view text;
};

// Sorted by id.
constexpr Entry kEntries[] = {
    {2, "File Not Found"},
    {3, "Path Not Found"},
    {4, "Too Many Open Files"},
    {5, "Access Denied"},
    {7, "Memory Corrupted"},
    {8, "Insufficient Memory"},
    {30, "Entry Not Found"},
    {32, "File Is Already Locked"},
    {33, "Record Not Available"},
    {35, "Record Not Found"},
    {36, "Invalid Data File"},
    {37, "File Not Open"},
    {38, "Invalid Key File"},
    {40, "Creates Duplicate Key"},
    {43, "Record Is Already Held"},
    {45, "Invalid Filename"},
    {46, "Key File Must Be Rebuilt"},
    {47, "Invalid Record Declaration"},
    {48, "Unable To Log Transaction"},
    {52, "File Already Open"},
    {53, "Invalid Morvane File"},
    {54, "No Create Attribute"},
    {55, "File Must Be Shared"},
    {56, "LOGOUT Already Active"},
    {57, "Invalid Memo File"},
    {63, "Exclusive Access Required"},
    {64, "Sharing Violation"},
    {65, "Unable To ROLLBACK Transaction"},
    {73, "Memo File Missing"},
    {75, "Invalid Field Type Descriptor"},
    {76, "Invalid Index String"},
    {77, "Unable To Access Index"},
    {78, "Invalid Number Of Parameters "},
    {79, "Unsupported Data Type In File"},
    {80, "Unsupported File Driver Function"},
    {81, "Unknown Error Posted"},
    {88, "Invalid Key Length"},
    {89, "Record Changed By Another Station"},
    {501, "Internal error 01"},
    {523, "Metafile record too large in report"},
    {524, "Unexpected error opening printer device"},
    {525, "Report is already open"},
    {526, "Unable to open APPLICATION (APPLICATION already active)"},
    {527, "Unable to open APPLICATION (system is MODAL)"},
    {528, "Unable to open APPLICATION"},
    {529, "Unable to open WINDOW"},
    {530, "Unable to open MDI window (No APPLICATION active)"},
    {531, "Unable to open MDI window (system is MODAL)"},
    {532, "Unable to open MDI window on APPLICATION's thread"},
    {533, "Unable to open MDI WINDOW"},
    {534, "Too many keystrokes PRESSed"},
    {535, "Window is already open"},
    {536, "Window is not open"},
    {537, "ACCEPT loop requires a window"},
    {538, "PRINT must only be called for reports"},
    {539, "ENDPAGE must only be called for reports"},
    {541, "Unable to create control (system is MODAL)"},
    {542, "Unable to complete operation (system is MODAL)"},
    {599, "Internal error : hvnbt line "},
    {800, "Invalid expression for EVALUATE"},
    {801, "No BIND on variable"},
    {802, "Mismatched PUSHSCOPE/POPSCOPE"},
};

// Indexed by the system error number; empty where the system assigns none.
constexpr std::array<std::string_view, kLastSystemErrorNumber + 1> kSystemTexts = {
    "",
    "Invalid Function",
    "File Not Found",
    "Path Not Found",
    "Too Many Open Files",
    "Access Denied",
    "Invalid Handle",
    "Memory Control Blocks Destroyed",
    "Not Enough Memory",
    "Invalid Memory Block Address",
    "Invalid Environment",  // 10
    "Invalid Format",
    "Invalid Access Code",
    "Invalid Data",
    "Not Enough Storage",
    "Invalid Drive",
    "Cannot Remove Current Directory",
    "Not Same Device",
    "No More Files",
    "Disk Write Protected",
    "Unknown Unit",  // 20
    "Drive Not Ready",
    "Unknown Command",
    "Data Error (CRC)",
    "Bad Command Length",
    "Seek Error",
    "Unknown Media Type",
    "Sector Not Found",
    "Printer Out Of Paper",
    "Write Fault",
    "Read Fault",  // 30
    "General Failure",
    "Sharing Violation",
    "Lock Violation",
    "Wrong Disk",
    "File Control Block Unavailable",
    "Sharing Buffer Exceeded",
    "Code Page Mismatch",
    "Reached End Of File",
    "Handle Disk Full",
    "",  // 40
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "Request Not Supported",  // 50
    "Remote Computer Not Listening",
    "Duplicate Name On Network",
    "Network Path Not Found",
    "Network Busy",
    "Network Device No Longer Available",
    "Network Command Limit Reached",
    "Network Adapter Hardware Error",
    "Incorrect Response From Network",
    "Unexpected Network Error",
    "Incompatible Remote Adapter",  // 60
    "Printer Queue Full",
    "No Spool Space",
    "Print Cancelled",
    "Network Name Deleted",
    "Network Access Denied",
    "Incorrect Network Device Type",
    "Network Name Not Found",
    "Network Name Limit Exceeded",
    "Network Session Limit Exceeded",
    "Sharing Paused",  // 70
    "Network Request Not Accepted",
    "Redirection Paused",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "File Exists",  // 80
    "",
    "Cannot Make Directory Entry",
    "Fail On Critical Error",
    "Out Of Structures",
    "Local Device Already In Use",
    "Invalid Network Password",
    "Invalid Parameter",
    "Network Write Fault",
    "No Process Slots Available",
    "",  // 90
    "",
};

const std::array<std::string, kLastSystemErrorNumber + 1>& SystemEntries() {
  static const auto entries = [] {
    std::array<std::string, kLastSystemErrorNumber + 1> texts;
    for (std::size_t n = 1; n < texts.size(); ++n) {
      texts[n] = kSystemTexts[n].empty() ? "System Error " + std::to_string(n)
                                         : std::string(kSystemTexts[n]);
    }
    return texts;
  }();
  return entries;
}

}  // namespace

std::optional<std::string_view> StringTableText(std::int32_t id) {
  if (id > kSystemErrorBase && id <= kSystemErrorBase + kLastSystemErrorNumber) {
    return std::string_view(SystemEntries()[static_cast<std::size_t>(id - kSystemErrorBase)]);
  }
  const Entry* end = std::end(kEntries);
  const Entry* found = std::lower_bound(std::begin(kEntries), end, id,
                                        [](const Entry& e, std::int32_t v) { return e.id < v; });
  if (found == end || found->id != id) return std::nullopt;
  return found->text;
}

std::string ErrorTextFor(std::int32_t code) {
  if (code == kNoError) return {};
  if (std::optional<std::string_view> text = StringTableText(code)) return std::string(*text);
  std::string text(*StringTableText(kUnknownErrorPosted));
  text += " : ";
  text += std::to_string(code);
  return text;
}

}  // namespace vaultrix::support
