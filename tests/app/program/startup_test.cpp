// The command line and the runtime start-up.
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/program/command_line.h"
#include "app/program/core_dumps.h"
#include "app/program/runtime_startup.h"
#include "platform/locations.h"

namespace vaultrix::app {
namespace {

TEST(CommandLineTest, ReadsEveryOption) {
  const CommandLine line =
      ParseCommandLine({"--data-dir", "/tmp/vault", "--script", "run.txt", "--version"});
  EXPECT_TRUE(line.error.empty()) << line.error;
  EXPECT_EQ(line.data_dir, "/tmp/vault");
  EXPECT_EQ(line.script_path, "run.txt");
  EXPECT_TRUE(line.headless) << "a script implies headless";
  EXPECT_TRUE(line.show_version);
  EXPECT_FALSE(line.show_usage);
}

TEST(CommandLineTest, RefusesUnknownOptionsAndMissingValues) {
  const struct {
    std::vector<std::string> arguments;
    const char* error;
  } cases[] = {
      {{"--colour"}, "unknown option --colour"},
      {{"-x"}, "unknown option -x"},
      {{"vault.hvn"}, "unexpected argument vault.hvn"},
      {{"--data-dir"}, "option --data-dir needs a value"},
      {{"--data-dir="}, "option --data-dir needs a value"},
      {{"--script", ""}, "option --script needs a value"},
      {{"--headless=yes"}, "option --headless takes no value"},
      {{"--version", "--bogus"}, "unknown option --bogus"},
      {{}, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseCommandLine(c.arguments).error, c.error) << c.arguments.size();
  }
  const CommandLine attached = ParseCommandLine({"--data-dir=/tmp/a=b", "--script=run"});
  EXPECT_EQ(attached.data_dir, "/tmp/a=b");
  EXPECT_EQ(attached.script_path, "run");
}

// Usage and version on standard output with exit 0; a mistake on standard
// error as one line and a hint, exit 2; nothing when the program should run.
TEST(CommandLineTest, AnswersHelpVersionAndMistakesAsProgramsDo) {
  const struct {
    std::vector<std::string> arguments;
    std::optional<int> exit_code;
    const char* out_starts;
    const char* err;
  } cases[] = {
      {{"--help"}, 0, "Usage: vaultrix [OPTION]...\n", ""},
      {{"-h", "--version"}, 0, "Usage: vaultrix", ""},
      {{"--version"}, 0, "vaultrix 1.2.3\n", ""},
      {{"--nope"},
       2,
       "",
       "vaultrix: unknown option --nope\nTry 'vaultrix --help' for more information.\n"},
      {{"--help", "--data-dir"},
       2,
       "",
       "vaultrix: option --data-dir needs a value\nTry 'vaultrix --help' for more information.\n"},
      {{"--headless"}, std::nullopt, "", ""},
  };
  for (const auto& c : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(AnswerCommandLine(ParseCommandLine(c.arguments), "1.2.3", out, err), c.exit_code)
        << c.arguments[0];
    EXPECT_TRUE(out.str().starts_with(c.out_starts)) << out.str();
    EXPECT_EQ(out.str().empty(), std::string(c.out_starts).empty()) << out.str();
    EXPECT_EQ(err.str(), c.err);
  }
}

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vaultrix-startup-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root_ = pattern;
    platform::SetSettingsFolderOverride(root_ + "/settings");
  }
  void TearDown() override {
    platform::SetSettingsFolderOverride("");
    std::filesystem::remove_all(root_);
  }
  std::string root_;
};

TEST_F(StartupTest, CreatesThePrivateDataDirectoryAndEntersIt) {
  const std::string data_dir = root_ + "/a/b/data";
  const StartupResult result = StartRuntime(data_dir);
  ASSERT_TRUE(result.ok) << result.error;
  struct stat status {};
  ASSERT_EQ(::stat(data_dir.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(data_dir));
}

TEST_F(StartupTest, ReportsADataDirectoryThatIsAFile) {
  const std::string file = root_ + "/plain";
  FILE* handle = std::fopen(file.c_str(), "w");
  ASSERT_NE(handle, nullptr);
  std::fclose(handle);
  const StartupResult result = StartRuntime(file + "/data");
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("cannot create the data directory"), std::string::npos)
      << result.error;
}

TEST(CoreDumpsTest, AreTurnedOffForTheProcessAndItsChildren) {
  // In a child, so that this test program stays as it was.
  const pid_t child = ::fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    struct rlimit limit = {1, 1};
    const bool off = TurnOffCoreDumps() && ::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0) == 0 &&
                     ::getrlimit(RLIMIT_CORE, &limit) == 0 && limit.rlim_cur == 0 &&
                     limit.rlim_max == 0;
    ::_exit(off ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace vaultrix::app
