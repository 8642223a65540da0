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
    // The owner password leaves the process's argument area at once.
    if (i > 1 && std::string(argv[i - 1]) == "--owner") explicit_bzero(argv[i], strlen(argv[i]));
  }
  return vaultrix::tools::RunHvnTool(std::move(arguments), std::cout, std::cerr);
}
