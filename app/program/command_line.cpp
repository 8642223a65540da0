// Reading the program's command line.
#include "app/program/command_line.h"

namespace vaultrix::app {

namespace {

// Takes the value that follows option `name`; false when there is none.
bool TakeValue(const std::vector<std::string>& arguments, std::size_t& index,
               const std::string& name, std::string& value, std::string& error) {
  if (index + 1 >= arguments.size() || arguments[index + 1].empty()) {
    error = "option " + name + " needs a value";
    return false;
  }
  value = arguments[++index];
  return true;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (std::size_t i = 0; i < arguments.size() && line.error.empty(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--version") {
      line.show_version = true;
    } else if (argument == "--help" || argument == "-h") {
      line.show_usage = true;
    } else if (argument == "--headless") {
      line.headless = true;
    } else if (argument == "--data-dir") {
      TakeValue(arguments, i, argument, line.data_dir, line.error);
    } else if (argument == "--script") {
      if (TakeValue(arguments, i, argument, line.script_path, line.error)) line.headless = true;
    } else {
      line.error = "unknown option " + argument;
    }
  }
  return line;
}

const char* UsageText() {
  return "Usage: vaultrix [options]\n"
         "\n"
         "  --data-dir DIR   keep the data files in DIR (default $XDG_DATA_HOME/vaultrix)\n"
         "  --headless       run without a display, driven by a script\n"
         "  --script FILE    the headless script to run (implies --headless;\n"
         "                   without it the script is read from standard input)\n"
         "  --version        print the version and exit\n"
         "  --help           print this text and exit\n";
}

}  // namespace vaultrix::app
