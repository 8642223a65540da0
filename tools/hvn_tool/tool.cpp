// The command line of vaultrix-hvn.
#include "tools/hvn_tool/tool.h"

#include <string.h>

#include "tools/hvn_tool/commands.h"

namespace vaultrix::tools {
namespace {

using Command = int (*)(const ToolOptions&, std::ostream&, std::ostream&);

void Wipe(std::string& text) {
  if (!text.empty()) explicit_bzero(text.data(), text.size());
  text.clear();
}

class WipedArguments {
 public:
  explicit WipedArguments(std::vector<std::string>& arguments) : arguments_(arguments) {}
  ~WipedArguments() {
    for (std::string& argument : arguments_) Wipe(argument);
  }

 private:
  std::vector<std::string>& arguments_;
};

struct WipedOptions : ToolOptions {
  ~WipedOptions() { Wipe(owner); }
};

Command CommandNamed(const std::string& name, bool* takes_dump_options) {
  *takes_dump_options = name == "dump";
  if (name == "info") return InfoCommand;
  if (name == "dump") return DumpCommand;
  if (name == "check") return CheckCommand;
  if (name == "rebuild") return RebuildCommand;
  if (name == "pack") return PackCommand;
  return nullptr;
}

bool ParseFormat(const std::string& text, DumpFormat* format) {
  if (text == "text")
    *format = DumpFormat::kText;
  else if (text == "json")
    *format = DumpFormat::kJson;
  else if (text == "csv")
    *format = DumpFormat::kCsv;
  else
    return false;
  return true;
}

int Usage(std::ostream& err, const std::string& complaint) {
  err << "vaultrix-hvn: " << complaint << "\n"
      << "Try 'vaultrix-hvn --help'.\n";
  return kExitUsage;
}

}  // namespace

const char* HvnToolUsage() {
  return "Usage: vaultrix-hvn COMMAND FILE [OPTIONS]\n"
         "Reads and repairs Vaultrix data files (HVN files). Each table's stored\n"
         "definition tells how its records are laid out; no declaration is needed.\n"
         "\n"
         "Commands:\n"
         "  info FILE [--owner PW]      header, regions, tables, definitions, counters\n"
         "  dump FILE [--owner PW] [--table NAME] [--format text|json|csv]\n"
         "                              every record decoded by its definition, memos\n"
         "                              included (CSV needs one table: --table)\n"
         "  check FILE [--owner PW]     every page, every key against the data records,\n"
         "                              the counters; lists each problem found\n"
         "  rebuild FILE [--owner PW]   makes the entries of every key of every table\n"
         "                              again from the data records\n"
         "  pack FILE [--owner PW]      as rebuild, then lays out every page afresh\n"
         "                              and cuts the file to its data (not while\n"
         "                              another program has the file open)\n"
         "\n"
         "Options:\n"
         "  --owner PW     the file's owner password (files stored enciphered);\n"
         "                 --owner - reads it from the first line of standard input\n"
         "  --table NAME   dump only the table NAME (a file alone holds \"UNNAMED\")\n"
         "  --format F     text (default), json or csv\n"
         "  -h, --help     this text\n"
         "\n"
         "Exit codes: 0 done (check: no problems), 1 check found problems or rebuild\n"
         "or pack left records out of a unique key, 2 bad arguments or no such table,\n"
         "3 the file cannot be read (missing, not an HVN file, wrong or missing\n"
         "owner password, damaged).\n";
}

int RunHvnTool(std::vector<std::string> arguments, std::ostream& out, std::ostream& err) {
  WipedArguments wiped(arguments);
  for (const std::string& argument : arguments) {
    if (argument == "--help" || argument == "-h") {
      out << HvnToolUsage();
      return kExitOk;
    }
  }
  if (arguments.empty()) return Usage(err, "no command given");
  bool takes_dump_options = false;
  const Command command = CommandNamed(arguments[0], &takes_dump_options);
  if (command == nullptr) return Usage(err, "unknown command '" + arguments[0] + "'");
  WipedOptions options;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool has_value = i + 1 < arguments.size();
    if (argument == "--owner" || argument == "--table" || argument == "--format") {
      if (!has_value) return Usage(err, argument + " needs a value");
      const bool allowed = argument == "--owner" || takes_dump_options;
      if (!allowed) return Usage(err, arguments[0] + " takes no " + argument);
      std::string& value = arguments[++i];
      if (argument == "--owner") {
        options.owner = value;
      } else if (argument == "--table") {
        options.table = value;
      } else if (!ParseFormat(value, &options.format)) {
        return Usage(err, "unknown format '" + value + "' (text, json or csv)");
      }
    } else if (!argument.empty() && argument[0] == '-' && argument != "-") {
      return Usage(err, "unknown option '" + argument + "'");
    } else if (options.file.empty()) {
      options.file = argument;
    } else {
      return Usage(err, "more than one file given");
    }
  }
  if (options.file.empty()) return Usage(err, "no file given");
  return command(options, out, err);
}

}  // namespace vaultrix::tools
