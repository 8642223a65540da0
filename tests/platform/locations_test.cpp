// Settings folder, data directory and environment-file paths, and private
// folder creation.
#include "platform/locations.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>

namespace vaultrix::platform {
namespace {

// Environment variables set for one test and restored after it.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    had_value_ = old != nullptr;
    if (had_value_) old_value_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedVariable() {
    if (had_value_) {
      setenv(name_, old_value_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  bool had_value_ = false;
  std::string old_value_;
};

TEST(Locations, XdgVariablesAndTheirDefaults) {
  ScopedVariable home("HOME", "/home/someone");
  {
    ScopedVariable config("XDG_CONFIG_HOME", "/cfg/");
    ScopedVariable data("XDG_DATA_HOME", "/dat");
    EXPECT_EQ(SettingsFolder(), "/cfg/vaultrix");
    EXPECT_EQ(DefaultProfilePath(), "/cfg/vaultrix/WIN.INI");
    EXPECT_EQ(DataDirectory(), "/dat/vaultrix");
  }
  {
    ScopedVariable config("XDG_CONFIG_HOME", nullptr);
    ScopedVariable data("XDG_DATA_HOME", "relative/ignored");
    EXPECT_EQ(SettingsFolder(), "/home/someone/.config/vaultrix");
    EXPECT_EQ(DataDirectory(), "/home/someone/.local/share/vaultrix");
  }
}

TEST(Locations, OverridesComeBeforeTheEnvironmentAndTheOptionBeforeBoth) {
  ScopedVariable config("XDG_CONFIG_HOME", "/cfg");
  SetSettingsFolderOverride("/tmp/settings/");
  SetDataDirectoryOverride("/tmp/data");
  EXPECT_EQ(SettingsFolder(), "/tmp/settings");
  EXPECT_EQ(DataDirectory(), "/tmp/data");
  EXPECT_EQ(DataDirectory("/given"), "/given");
  SetSettingsFolderOverride("");
  SetDataDirectoryOverride("");
  EXPECT_EQ(SettingsFolder(), "/cfg/vaultrix");
}

TEST(Locations, EnvironmentFileIsTheExecutablePathWithEnvAppended) {
  std::string executable = ExecutablePath();
  ASSERT_FALSE(executable.empty());
  EXPECT_EQ(executable.front(), '/');
  EXPECT_EQ(EnvironmentFilePath(), executable + ".ENV");
  SetExecutablePathOverride("/opt/vaultrix/bin/vaultrix");
  EXPECT_EQ(EnvironmentFilePath(), "/opt/vaultrix/bin/vaultrix.ENV");
  SetExecutablePathOverride("");
}

TEST(Locations, CreatePrivateFolderMakesEveryMissingLevel0700) {
  char pattern[] = "/tmp/vaultrix-locations-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string root = pattern;
  ::umask(0);
  ASSERT_EQ(CreatePrivateFolder(root + "/a/b/"), 0);
  struct stat status {};
  ASSERT_EQ(stat((root + "/a").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
  ASSERT_EQ(stat((root + "/a/b").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
  EXPECT_EQ(CreatePrivateFolder(root + "/a/b"), 0);  // already there

  std::ofstream(root + "/file") << "x";
  EXPECT_EQ(CreatePrivateFolder(root + "/file/sub"), ENOTDIR);
  EXPECT_EQ(std::system(("rm -rf '" + root + "'").c_str()), 0);
}

}  // namespace
}  // namespace vaultrix::platform
