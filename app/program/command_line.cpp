// Reading the program's command line.
#include "app/program/command_line.h"

namespace vaultrix::app {

namespace {

// Takes the value of option `name`: the text after "=" when the argument
// carried one, else the next argument. False (and `error` set) when there is
// none.
bool TakeValue(const std::vector<std::string>& arguments, std::size_t& index,
               const std::string& name, const std::optional<std::string>& attached,
               std::string& value, std::string& error) {
  if (attached) {
    value = *attached;
  } else if (index + 1 < arguments.size()) {
    value = arguments[++index];
  } else {
    value.clear();
  }
  if (value.empty()) error = "option " + name + " needs a value";
  return error.empty();
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (std::size_t i = 0; i < arguments.size() && line.error.empty(); ++i) {
    std::string argument = arguments[i];
    std::optional<std::string> attached;
    if (const std::size_t equals = argument.find('=');
        argument.starts_with("--") && equals != std::string::npos) {
      attached = argument.substr(equals + 1);
      argument.erase(equals);
    }
    const bool takes_value = argument == "--data-dir" || argument == "--script";
    if (attached && !takes_value) {
      line.error = "option " + argument + " takes no value";
    } else if (argument == "--version") {
      line.show_version = true;
    } else if (argument == "--help" || argument == "-h") {
      line.show_usage = true;
    } else if (argument == "--headless") {
      line.headless = true;
    } else if (argument == "--data-dir") {
      TakeValue(arguments, i, argument, attached, line.data_dir, line.error);
    } else if (argument == "--script") {
      if (TakeValue(arguments, i, argument, attached, line.script_path, line.error)) {
        line.headless = true;
      }
    } else if (argument.starts_with("-")) {
      line.error = "unknown option " + argument;
    } else {
      line.error = "unexpected argument " + argument;
    }
  }
  return line;
}

const char* UsageText() {
  return "Usage: vaultrix [OPTION]...\n"
         "Keeps each user's passwords in encrypted data files.\n"
         "\n"
         "  --data-dir DIR   keep the data files in DIR (default $XDG_DATA_HOME/vaultrix)\n"
         "  --headless       run without a display, driven by a script\n"
         "  --script FILE    the headless script to run (implies --headless;\n"
         "                   without it the script is read from standard input)\n"
         "  -h, --help       print this text and exit\n"
         "      --version    print the version and exit\n"
         "\n"
         "Exit codes: 0 closed normally, 1 could not start or a script line failed,\n"
         "2 bad command line, unreadable script or runtime error, 3 damaged data file.\n"
         "See vaultrix(1).\n";
}

std::optional<int> AnswerCommandLine(const CommandLine& line, const std::string& version,
                                     std::ostream& out, std::ostream& err) {
  if (!line.error.empty()) {
    err << "vaultrix: " << line.error << "\n"
        << "Try 'vaultrix --help' for more information.\n";
    return kExitCommandLine;
  }
  if (line.show_usage) {
    out << UsageText();
    return 0;
  }
  if (line.show_version) {
    out << "vaultrix " << version << "\n";
    return 0;
  }
  return std::nullopt;
}

}  // namespace vaultrix::app
