// rescomp: the resource compiler, a host tool that the build runs.
//
//   rescomp compile SOURCE -o OUTPUT      one description source -> resource bytes
//   rescomp bundle -o OUTPUT.cpp FILE...  description sources (.vwin), icons (.ico)
//                                         and images -> the program's resource table
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/rescomp/bundle.h"
#include "tools/rescomp/compiler.h"

namespace {

using vaultrix::rescomp::BundleEntry;

bool ReadFile(const std::string& path, std::string* contents) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  contents->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool WriteFile(const std::string& path, const void* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  return static_cast<bool>(out.flush());
}

bool EndsWith(const std::string& text, const std::string& tail) {
  if (text.size() < tail.size()) return false;
  for (std::size_t i = 0; i < tail.size(); ++i) {
    char c = text[text.size() - tail.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != tail[i]) return false;
  }
  return true;
}

std::string BaseName(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Compile(const std::string& path, vaultrix::rescomp::CompiledModule* module) {
  std::string source;
  if (!ReadFile(path, &source)) {
    std::fprintf(stderr, "rescomp: cannot read %s\n", path.c_str());
    return false;
  }
  vaultrix::rescomp::SourceError error;
  if (!vaultrix::rescomp::CompileSource(source, module, &error)) {
    std::fprintf(stderr, "%s:%d: error: %s\n", path.c_str(), error.line, error.message.c_str());
    return false;
  }
  return true;
}

int Usage() {
  std::fprintf(stderr,
               "usage: rescomp compile SOURCE -o OUTPUT\n"
               "       rescomp bundle -o OUTPUT.cpp FILE...\n");
  return 2;
}

int Bundle(const std::string& output, const std::vector<std::string>& files) {
  std::vector<BundleEntry> entries;
  for (const std::string& file : files) {
    BundleEntry entry;
    if (EndsWith(file, ".vwin")) {
      vaultrix::rescomp::CompiledModule module;
      if (!Compile(file, &module)) return 1;
      entry = BundleEntry{"DABDUMP", module.resource_name, std::move(module.bytes)};
    } else {
      std::string bytes;
      if (!ReadFile(file, &bytes)) {
        std::fprintf(stderr, "rescomp: cannot read %s\n", file.c_str());
        return 1;
      }
      entry.type = EndsWith(file, ".ico") ? "ICON" : "IMAGE";
      entry.name = vaultrix::rescomp::ResourceNameOfFile(BaseName(file));
      entry.bytes.assign(bytes.begin(), bytes.end());
    }
    for (const BundleEntry& other : entries) {
      if (other.type == entry.type && other.name == entry.name) {
        std::fprintf(stderr, "rescomp: %s gives the resource name %s a second time\n", file.c_str(),
                     entry.name.c_str());
        return 1;
      }
    }
    entries.push_back(std::move(entry));
  }
  std::string source = vaultrix::rescomp::WriteBundleSource(entries);
  if (!WriteFile(output, source.data(), source.size())) {
    std::fprintf(stderr, "rescomp: cannot write %s\n", output.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 4 && args[0] == "compile" && args[2] == "-o") {
    vaultrix::rescomp::CompiledModule module;
    if (!Compile(args[1], &module)) return 1;
    if (!WriteFile(args[3], module.bytes.data(), module.bytes.size())) {
      std::fprintf(stderr, "rescomp: cannot write %s\n", args[3].c_str());
      return 1;
    }
    return 0;
  }
  if (args.size() >= 3 && args[0] == "bundle" && args[1] == "-o") {
    return Bundle(args[2], std::vector<std::string>(args.begin() + 3, args.end()));
  }
  return Usage();
}
