// The real environment: opening modes, reading and writing at offsets, size,
// truncation, the file-system helpers, temporary files and case-insensitive
// names, all on real files.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>
#include <set>
#include <string>

#include "platform/env.h"
#include "platform/file_names.h"
#include "tests/platform/scratch_dir.h"

namespace vaultrix::platform {
namespace {

using testing::ScratchDir;

std::unique_ptr<File> OpenOrFail(const std::string& name, OpenMode mode) {
  std::unique_ptr<File> file;
  EXPECT_EQ(SystemEnv().OpenFile(name, mode, &file), 0) << name;
  return file;
}

std::string ReadAt(File& file, std::uint64_t offset, std::size_t size) {
  std::string buffer(size, '\0');
  std::size_t done = 0;
  EXPECT_EQ(file.Read(offset, buffer.data(), size, &done), 0);
  buffer.resize(done);
  return buffer;
}

void WriteAt(File& file, std::uint64_t offset, const std::string& text) {
  std::size_t done = 0;
  ASSERT_EQ(file.Write(offset, text.data(), text.size(), &done), 0);
  ASSERT_EQ(done, text.size());
}

TEST(PosixEnvOpen, ModesFindCreateOrRefuseAsAsked) {
  ScratchDir dir;
  std::unique_ptr<File> file;
  Env& env = SystemEnv();
  EXPECT_EQ(env.OpenFile(dir.Path("missing"), OpenMode::kReadOnly, &file), ENOENT);
  EXPECT_EQ(env.OpenFile(dir.Path("missing"), OpenMode::kReadWrite, &file), ENOENT);
  EXPECT_EQ(file, nullptr);
  EXPECT_EQ(env.OpenFile("", OpenMode::kCreate, &file), ENOENT);

  ASSERT_EQ(env.OpenFile(dir.Path("new"), OpenMode::kCreateNew, &file), 0);
  EXPECT_EQ(dir.Mode("new"), 0600u);
  EXPECT_EQ(env.OpenFile(dir.Path("new"), OpenMode::kCreateNew, &file), EEXIST);

  dir.Put("kept", "contents");
  ASSERT_EQ(env.OpenFile(dir.Path("kept"), OpenMode::kCreate, &file), 0);
  EXPECT_EQ(ReadAt(*file, 0, 100), "contents");

  dir.Put("emptied", "contents");
  ::chmod(dir.Path("emptied").c_str(), 0644);
  ASSERT_EQ(env.OpenFile(dir.Path("emptied"), OpenMode::kCreateEmpty, &file), 0);
  EXPECT_EQ(ReadAt(*file, 0, 100), "");
  EXPECT_EQ(dir.Mode("emptied"), 0600u);

  EXPECT_EQ(env.OpenFile(dir.Path("no-dir/file"), OpenMode::kCreate, &file), ENOENT);
}

TEST(PosixEnvFile, ReadsAndWritesAtOffsetsAndReportsSize) {
  ScratchDir dir;
  auto file = OpenOrFail(dir.Path("f"), OpenMode::kCreateNew);
  WriteAt(*file, 0, "hello world");
  WriteAt(*file, 6, "there");
  EXPECT_EQ(ReadAt(*file, 0, 11), "hello there");
  EXPECT_EQ(ReadAt(*file, 6, 100), "there");  // short at the end of the file
  EXPECT_EQ(ReadAt(*file, 50, 10), "");

  // A write past the end leaves a zero-filled gap.
  WriteAt(*file, 13, "!");
  std::uint64_t size = 0;
  ASSERT_EQ(file->Size(&size), 0);
  EXPECT_EQ(size, 14u);
  EXPECT_EQ(ReadAt(*file, 11, 3), std::string("\0\0!", 3));

  ASSERT_EQ(file->Truncate(5), 0);
  ASSERT_EQ(file->Size(&size), 0);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(file->Flush(true), 0);
  EXPECT_EQ(file->Flush(false), 0);
  EXPECT_EQ(file->Close(), 0);
  EXPECT_EQ(dir.Get("f"), "hello");
}

TEST(PosixEnvFile, ReadOnlyAndClosedFilesRefuseWork) {
  ScratchDir dir;
  dir.Put("f", "abc");
  auto file = OpenOrFail(dir.Path("f"), OpenMode::kReadOnly);
  std::size_t done = 99;
  EXPECT_EQ(file->Write(0, "x", 1, &done), EBADF);
  EXPECT_EQ(done, 0u);
  EXPECT_NE(file->Truncate(0), 0);
  EXPECT_EQ(file->Close(), 0);
  EXPECT_EQ(file->Read(0, &done, 1, &done), EBADF);
  std::uint64_t size = 0;
  EXPECT_EQ(file->Size(&size), EBADF);
  EXPECT_EQ(file->Close(), EBADF);
  EXPECT_EQ(dir.Get("f"), "abc");
}

TEST(PosixEnvHelpers, RemoveRenameCopyAndExists) {
  ScratchDir dir;
  Env& env = SystemEnv();
  dir.Put("a", "first");
  dir.Put("b", "second");
  EXPECT_TRUE(env.Exists(dir.Path("a")));
  EXPECT_FALSE(env.Exists(dir.Path("c")));
  EXPECT_FALSE(env.Exists(""));

  EXPECT_EQ(env.Rename(dir.Path("a"), dir.Path("b"), false), EEXIST);
  EXPECT_EQ(dir.Get("b"), "second");
  EXPECT_EQ(env.Rename(dir.Path("a"), dir.Path("c"), false), 0);
  EXPECT_FALSE(dir.Has("a"));
  EXPECT_EQ(dir.Get("c"), "first");
  EXPECT_EQ(env.Rename(dir.Path("c"), dir.Path("b"), true), 0);
  EXPECT_EQ(dir.Get("b"), "first");
  EXPECT_EQ(env.Rename(dir.Path("gone"), dir.Path("x"), false), ENOENT);

  ::chmod(dir.Path("b").c_str(), 0644);
  EXPECT_EQ(env.Copy(dir.Path("b"), dir.Path("copy")), 0);
  EXPECT_EQ(dir.Get("copy"), "first");
  EXPECT_EQ(dir.Mode("copy"), 0600u);
  EXPECT_EQ(env.Copy(dir.Path("gone"), dir.Path("copy")), ENOENT);
  EXPECT_EQ(dir.Get("copy"), "first");
  EXPECT_EQ(env.Copy(dir.Path("copy"), dir.Path("COPY")), EINVAL);  // itself, by another case
  EXPECT_EQ(dir.Get("copy"), "first");

  EXPECT_EQ(env.Remove(dir.Path("b")), 0);
  EXPECT_FALSE(dir.Has("b"));
  EXPECT_EQ(env.Remove(dir.Path("b")), ENOENT);
}

TEST(PosixEnvHelpers, CopiesFilesLargerThanOneChunk) {
  ScratchDir dir;
  std::string big;
  for (int i = 0; i < 50000; ++i) big += std::to_string(i) + ",";
  dir.Put("big", big);
  ASSERT_EQ(SystemEnv().Copy(dir.Path("big"), dir.Path("big2")), 0);
  EXPECT_EQ(dir.Get("big2"), big);
}

TEST(PosixEnvTemp, TempFilesAreUniqueOwnerOnlyAndNamedMor) {
  ScratchDir dir;
  ::setenv("TMPDIR", (dir.path() + "/").c_str(), 1);
  EXPECT_EQ(TempDirectory(), dir.path());
  std::set<std::string> names;
  for (int i = 0; i < 5; ++i) {
    std::string name;
    std::unique_ptr<File> file;
    ASSERT_EQ(SystemEnv().CreateTempFile(&name, &file), 0);
    EXPECT_EQ(name.rfind(dir.path() + "/MOR", 0), 0u) << name;
    EXPECT_EQ(dir.Mode(name.substr(dir.path().size() + 1)), 0600u);
    WriteAt(*file, 0, "x");
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 5u);
  ::unsetenv("TMPDIR");
  EXPECT_EQ(TempDirectory(), "/tmp");
}

TEST(FileNames, NamesNotFoundAsWrittenAreFoundIgnoringCase) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.Path("Data"));
  dir.Put("Data/Vtrix_P.HVN", "p");
  dir.Put("Both", "upper");
  dir.Put("both", "lower");

  EXPECT_EQ(ResolveName(dir.Path("data/vtrix_p.hvn")), dir.Path("Data/Vtrix_P.HVN"));
  EXPECT_EQ(ResolveName(dir.Path("DATA/VTRIX_P.HVN")), dir.Path("Data/Vtrix_P.HVN"));
  // An exact match wins over a case-insensitive one.
  EXPECT_EQ(ResolveName(dir.Path("both")), dir.Path("both"));
  EXPECT_EQ(ResolveName(dir.Path("BOTH")), dir.Path("Both"));
  // A new file lands in the directory that was found.
  EXPECT_EQ(ResolveName(dir.Path("DATA/new.txt")), dir.Path("Data/new.txt"));
  EXPECT_EQ(ResolveName(dir.Path("nowhere/x")), dir.Path("nowhere/x"));

  std::unique_ptr<File> file;
  ASSERT_EQ(SystemEnv().OpenFile(dir.Path("DATA/vtrix_p.hvn"), OpenMode::kReadOnly, &file), 0);
  EXPECT_EQ(ReadAt(*file, 0, 10), "p");
  EXPECT_TRUE(SystemEnv().Exists(dir.Path("data/VTRIX_P.hvn")));
  ASSERT_EQ(SystemEnv().OpenFile(dir.Path("data/Made.txt"), OpenMode::kCreateNew, &file), 0);
  EXPECT_TRUE(dir.Has("Data/Made.txt"));
  EXPECT_EQ(SystemEnv().Remove(dir.Path("DATA/MADE.TXT")), 0);
  EXPECT_FALSE(dir.Has("Data/Made.txt"));
}

TEST(PosixEnvView, TheHeadViewFollowsWritesOfAnotherOpen) {
  vaultrix::testing::ScratchDir dir;
  dir.Put("f", std::string(600, 'a'));
  std::unique_ptr<File> writer, reader;
  ASSERT_EQ(SystemEnv().OpenFile(dir.Path("f"), OpenMode::kReadWrite, &writer), 0);
  ASSERT_EQ(SystemEnv().OpenFile(dir.Path("f"), OpenMode::kReadOnly, &reader), 0);
  const std::uint8_t* view = nullptr;
  ASSERT_EQ(reader->MapHead(512, &view), 0);
  EXPECT_EQ(view[100], 'a');
  std::size_t done = 0;
  ASSERT_EQ(writer->Write(100, "b", 1, &done), 0);
  EXPECT_EQ(view[100], 'b');
  // A file too short for the view is refused, not mapped past its end.
  dir.Put("short", "abc");
  std::unique_ptr<File> short_file;
  ASSERT_EQ(SystemEnv().OpenFile(dir.Path("short"), OpenMode::kReadOnly, &short_file), 0);
  EXPECT_NE(short_file->MapHead(512, &view), 0);
  EXPECT_EQ(view, nullptr);
}

}  // namespace
}  // namespace vaultrix::platform
