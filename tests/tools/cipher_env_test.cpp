// The deciphering file layer beneath the data-file tool: what it writes is
// the cipher's blocks at their file offsets, any span reads back plain, and a
// write that is not whole blocks is refused.
#include "tools/hvn_tool/cipher_env.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "tests/platform/scratch_dir.h"

namespace vaultrix::tools {
namespace {

TEST(CipherEnvTest, WritesBlocksEncipheredAndReadsAnySpanPlain) {
  vaultrix::testing::ScratchDir dir;
  CipherEnv env(platform::SystemEnv(), "a");
  std::unique_ptr<platform::File> file;
  ASSERT_EQ(env.OpenFile(dir.Path("f"), platform::OpenMode::kCreate, &file), 0);
  std::string plain(256, '\0');
  for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<char>(i * 7);
  std::size_t done = 0;
  ASSERT_EQ(file->Write(64, plain.data(), plain.size(), &done), 0);
  ASSERT_EQ(done, plain.size());

  std::string back(100, '\0');
  ASSERT_EQ(file->Read(70, back.data(), back.size(), &done), 0);
  EXPECT_EQ(done, back.size());
  EXPECT_EQ(back, plain.substr(6, 100));
  // Past the end only what is there arrives.
  ASSERT_EQ(file->Read(300, back.data(), back.size(), &done), 0);
  EXPECT_EQ(done, 20u);
  EXPECT_EQ(back.substr(0, 20), plain.substr(236, 20));

  EXPECT_EQ(file->Write(65, plain.data(), 64, &done), EINVAL);
  EXPECT_EQ(file->Write(64, plain.data(), 63, &done), EINVAL);
  ASSERT_EQ(file->Close(), 0);

  std::string raw = dir.Get("f");
  ASSERT_EQ(raw.size(), 320u);
  std::string expected = plain;
  auto context = files::MakeCipherContext("a");
  ASSERT_TRUE(context->Encipher(64, reinterpret_cast<std::uint8_t*>(expected.data()), 256));
  EXPECT_EQ(raw.substr(64), expected);
  EXPECT_NE(raw.substr(64), plain);
}

TEST(CipherEnvTest, AnEmptyPasswordLeavesFilesPlain) {
  vaultrix::testing::ScratchDir dir;
  CipherEnv env(platform::SystemEnv(), "");
  std::unique_ptr<platform::File> file;
  ASSERT_EQ(env.OpenFile(dir.Path("f"), platform::OpenMode::kCreate, &file), 0);
  std::size_t done = 0;
  ASSERT_EQ(file->Write(0, "abc", 3, &done), 0);
  ASSERT_EQ(file->Close(), 0);
  EXPECT_EQ(dir.Get("f"), "abc");
}

}  // namespace
}  // namespace vaultrix::tools
