// Profile files on disk: where they go, defaults, preserved content, modes,
// and writers in several processes that must not lose each other's keys.
#include "runtime/support/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <dirent.h>

#include <cerrno>
#include <set>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/locations.h"

namespace vaultrix::support {
namespace {

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vaultrix-profile-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    settings_ = root_ + "/config/vaultrix";
    platform::SetSettingsFolderOverride(settings_);
  }
  void TearDown() override {
    platform::SetSettingsFolderOverride("");
    std::string command = "rm -rf '" + root_ + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }

  void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }
  std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  mode_t ModeOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
  }

  std::string root_;
  std::string settings_;
};

TEST_F(ProfileTest, NamesWithoutAFolderLiveInTheSettingsFolder) {
  EXPECT_EQ(ProfilePath(""), settings_ + "/WIN.INI");
  EXPECT_EQ(ProfilePath("VAULTRIX.INI"), settings_ + "/VAULTRIX.INI");
  EXPECT_EQ(ProfilePath("/etc/other.ini"), "/etc/other.ini");
  EXPECT_EQ(ProfilePath("sub/x.ini"), "sub/x.ini");
}

TEST_F(ProfileTest, FileNamesInTheSettingsFolderIgnoreCase) {
  ASSERT_EQ(PutIni("Main", "Width", "300", "Vaultrix.ini"), 0);
  EXPECT_EQ(ProfilePath("VAULTRIX.INI"), settings_ + "/Vaultrix.ini");
  EXPECT_EQ(GetIni("Main", "Width", "", "VAULTRIX.INI"), "300");
  ASSERT_EQ(PutIni("Main", "Height", "200", "VAULTRIX.INI"), 0);
  EXPECT_EQ(GetIni("Main", "Height", "", "vaultrix.INI"), "200");
  EXPECT_EQ(ProfilePath("OTHER.INI"), settings_ + "/OTHER.INI");
}

TEST_F(ProfileTest, MissingFolderFileSectionOrKeyGiveTheDefault) {
  EXPECT_EQ(GetIni("Vaultrix Settings", "VX_Skip", "0"), "0");
  EXPECT_EQ(GetIniLong("Vaultrix Settings", "VX_CI", 7), 7);
  ASSERT_EQ(PutIni("Main", "XPosit", "5", "VAULTRIX.INI"), 0);
  EXPECT_EQ(GetIni("Other", "XPosit", "none", "VAULTRIX.INI"), "none");
  EXPECT_EQ(GetIni("Main", "YPosit", "none", "VAULTRIX.INI"), "none");
  EXPECT_EQ(GetIni("main", "xposit", "none", "VAULTRIX.INI"), "5");
  EXPECT_EQ(GetIni("Main", "XPosit", "none"), "none");  // the default profile is another file
  EXPECT_TRUE(ListIniKeys("Nothing", "VAULTRIX.INI").empty());
}

TEST_F(ProfileTest, WritingCreatesAPrivateFolderAndFile) {
  ::umask(0);  // the modes must not depend on the caller's umask
  ASSERT_EQ(PutIni("Vaultrix Settings", "VX_HC", "1"), 0);
  EXPECT_EQ(ModeOf(settings_), 0700u);
  EXPECT_EQ(ModeOf(root_ + "/config"), 0700u);
  EXPECT_EQ(ModeOf(settings_ + "/WIN.INI"), 0600u);
  EXPECT_EQ(ModeOf(settings_ + "/WIN.INI.lock"), 0600u);
  EXPECT_EQ(ReadFile(settings_ + "/WIN.INI"), "[Vaultrix Settings]\nVX_HC=1\n");
  EXPECT_EQ(GetIniLong("VAULTRIX SETTINGS", "vx_hc", 0), 1);
}

TEST_F(ProfileTest, RewritingKeepsAnExistingFilesModeAndOtherContent) {
  ASSERT_EQ(platform::CreatePrivateFolder(settings_), 0);
  const std::string path = settings_ + "/VAULTRIX.INI";
  WriteFile(path, "; mine\r\n[Main]\r\nMaximize=No\r\n[TipOfDay]\r\nShow=1\r\n");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  ASSERT_EQ(PutIni("MAIN", "maximize", "Yes", "VAULTRIX.INI"), 0);
  EXPECT_EQ(ReadFile(path), "; mine\n[Main]\nMaximize=Yes\n[TipOfDay]\nShow=1\n");
  EXPECT_EQ(ModeOf(path), 0640u);
}

// A value the file already holds (windows save their placement at every
// close) leaves the file alone: no replacement, no sync. A new value, or the
// same value under another key, is written.
TEST_F(ProfileTest, AValueTheFileHoldsIsNotWrittenAgain) {
  ASSERT_EQ(PutIni("Main", "Width", "300", "VAULTRIX.INI"), 0);
  const std::string path = settings_ + "/VAULTRIX.INI";
  const auto inode = [&] {
    struct stat status {};
    EXPECT_EQ(stat(path.c_str(), &status), 0);
    return status.st_ino;
  };
  const ino_t first = inode();
  ASSERT_EQ(PutIni("MAIN", "width", "300", "VAULTRIX.INI"), 0);
  EXPECT_EQ(inode(), first) << "the same value again replaced the file";
  ASSERT_EQ(PutIni("Main", "Height", "300", "VAULTRIX.INI"), 0);
  ASSERT_EQ(PutIni("Main", "Width", "301", "VAULTRIX.INI"), 0);
  EXPECT_EQ(ReadFile(path), "[Main]\nWidth=301\nHeight=300\n");
}

TEST_F(ProfileTest, DeletingAndListing) {
  ASSERT_EQ(PutIni("A", "x", "1", "T.INI"), 0);
  ASSERT_EQ(PutIni("A", "y", "2", "T.INI"), 0);
  ASSERT_EQ(PutIni("B", "z", "3", "T.INI"), 0);
  EXPECT_EQ(ListIniSections("T.INI"), (std::vector<std::string>{"A", "B"}));
  ASSERT_EQ(DeleteIniKey("a", "X", "T.INI"), 0);
  EXPECT_EQ(ListIniKeys("A", "T.INI"), (std::vector<std::string>{"y"}));
  ASSERT_EQ(DeleteIniSection("b", "T.INI"), 0);
  EXPECT_EQ(ListIniSections("T.INI"), (std::vector<std::string>{"A"}));
  EXPECT_EQ(DeleteIniKey("A", "missing", "T.INI"), 0);
}

TEST_F(ProfileTest, RefusesNamesAndValuesThatWouldBreakTheFile) {
  EXPECT_EQ(PutIni("A", "k", "two\nlines"), EINVAL);
  EXPECT_EQ(PutIni("A", "k=v", "x"), EINVAL);
  EXPECT_EQ(PutIni("A]", "k", "x"), EINVAL);
  EXPECT_EQ(PutIni("", "k", "x"), EINVAL);
  struct stat status {};
  EXPECT_NE(stat((settings_ + "/WIN.INI").c_str(), &status), 0);
}

TEST_F(ProfileTest, AFolderInTheFilesPlaceIsAnErrorNotACrash) {
  ASSERT_EQ(platform::CreatePrivateFolder(settings_ + "/DIR.INI"), 0);
  EXPECT_EQ(GetIni("A", "k", "default", "DIR.INI"), "default");
  EXPECT_NE(PutIni("A", "k", "v", "DIR.INI"), 0);
}

TEST_F(ProfileTest, ALinkedFileIsWrittenAtItsTarget) {
  ASSERT_EQ(platform::CreatePrivateFolder(settings_), 0);
  const std::string target = root_ + "/real.ini";
  WriteFile(target, "[A]\nk=1\n");
  ASSERT_EQ(symlink(target.c_str(), (settings_ + "/LINKED.INI").c_str()), 0);
  ASSERT_EQ(PutIni("A", "j", "2", "LINKED.INI"), 0);
  EXPECT_EQ(ReadFile(target), "[A]\nk=1\nj=2\n");
  struct stat status {};
  ASSERT_EQ(lstat((settings_ + "/LINKED.INI").c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode));
}

// Runs `body` in a child process; answers the child's exit status.
template <typename Body>
pid_t StartChild(Body body) {
  pid_t pid = fork();
  if (pid == 0) _exit(body());
  return pid;
}

std::set<std::string> FolderEntries(const std::string& folder) {
  std::set<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.insert(name);
  }
  closedir(dir);
  return names;
}

int ExitCodeOf(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TEST_F(ProfileTest, ConcurrentWritersInTwoProcessesLoseNothing) {
  constexpr int kKeysPerWriter = 150;
  ASSERT_EQ(PutIni("Shared", "Marker", "present", "VAULTRIX.INI"), 0);
  auto writer = [&](const std::string& prefix) {
    return [prefix] {
      for (int i = 0; i < kKeysPerWriter; ++i) {
        std::string key = prefix + std::to_string(i);
        if (PutIni("Shared", key, "v" + std::to_string(i), "VAULTRIX.INI") != 0) return 1;
        // Each writer also moves a key of its own section, so that whole
        // sections appear and change while the other writes.
        if (PutIni(prefix, "Last", std::to_string(i), "VAULTRIX.INI") != 0) return 1;
      }
      return 0;
    };
  };
  // A reader that must always find the marker: it never sees a partial file.
  auto reader = [] {
    for (int i = 0; i < 600; ++i) {
      if (GetIni("Shared", "Marker", "", "VAULTRIX.INI") != "present") return 1;
    }
    return 0;
  };
  pid_t first = StartChild(writer("a"));
  pid_t second = StartChild(writer("b"));
  pid_t watcher = StartChild(reader);
  ASSERT_GT(first, 0);
  ASSERT_GT(second, 0);
  ASSERT_GT(watcher, 0);
  EXPECT_EQ(ExitCodeOf(first), 0);
  EXPECT_EQ(ExitCodeOf(second), 0);
  EXPECT_EQ(ExitCodeOf(watcher), 0);

  EXPECT_EQ(ListIniKeys("Shared", "VAULTRIX.INI").size(), 2u * kKeysPerWriter + 1);
  for (int i = 0; i < kKeysPerWriter; ++i) {
    EXPECT_EQ(GetIni("Shared", "a" + std::to_string(i), "", "VAULTRIX.INI"), "v" + std::to_string(i));
    EXPECT_EQ(GetIni("Shared", "b" + std::to_string(i), "", "VAULTRIX.INI"), "v" + std::to_string(i));
  }
  EXPECT_EQ(GetIniLong("a", "Last", -1, "VAULTRIX.INI"), kKeysPerWriter - 1);
  EXPECT_EQ(GetIniLong("b", "Last", -1, "VAULTRIX.INI"), kKeysPerWriter - 1);
  // No temporary file is left behind.
  EXPECT_EQ(FolderEntries(settings_), (std::set<std::string>{"VAULTRIX.INI", "VAULTRIX.INI.lock"}));
  EXPECT_EQ(ModeOf(settings_ + "/VAULTRIX.INI"), 0600u);
}

TEST_F(ProfileTest, IntegerValuesReadTheirLeadingDigits) {
  ASSERT_EQ(PutIni("S", "a", " -42 minutes"), 0);
  ASSERT_EQ(PutIni("S", "b", "none"), 0);
  ASSERT_EQ(PutIni("S", "c", "99999999999999999999999"), 0);
  EXPECT_EQ(GetIniLong("S", "a", 0), -42);
  EXPECT_EQ(GetIniLong("S", "b", 5), 5);
  EXPECT_GT(GetIniLong("S", "c", 0), 0);
}

}  // namespace
}  // namespace vaultrix::support
