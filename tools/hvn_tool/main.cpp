// vaultrix-hvn: the data-file tool's program (see tool.h and --help).
#include <string.h>

#include <iostream>
#include <string>
#include <vector>

#include "tools/hvn_tool/tool.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
    arguments.emplace_back(argv[i]);
    if (i == 1 || std::string(argv[i - 1]) != "--owner") continue;
    // "--owner -" reads the password from the first line of standard input,
    // so that it never shows in the process list; a password given on the
    // command line leaves the process's argument area at once.
    if (arguments.back() == "-") {
      std::getline(std::cin, arguments.back());
    } else {
      explicit_bzero(argv[i], strlen(argv[i]));
    }
  }
  return vaultrix::tools::RunHvnTool(std::move(arguments), std::cout, std::cerr);
}
