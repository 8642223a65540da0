// The page cipher: known answers for the context and the block transform,
// round trips, span handling and wiping.
#include "runtime/files/hvn/cipher.h"

#include <cstring>
#include <new>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vaultrix::files {
namespace {

std::vector<std::uint8_t> RandomBytes(std::size_t size, std::mt19937& rng) {
  std::vector<std::uint8_t> bytes(size);
  for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(rng());
  return bytes;
}

TEST(HvnCipher, ContextKnownAnswers) {
  const CipherContext fox("OrbitPlumeCasketNimbleFox");
  EXPECT_EQ(fox.Words()[0], 0x484A6180u);
  EXPECT_EQ(fox.Words()[1], 0x7264B222u);
  EXPECT_EQ(fox.Words()[2], 0xF1227324u);
  EXPECT_EQ(fox.Words()[3], 0x10D02113u);

  // One character: the sequence runs through the terminating zero and then
  // the character itself, in turn.
  const CipherContext a("a");
  EXPECT_EQ(a.Words()[0], 0x7052A480u);
  EXPECT_EQ(a.Words()[1], 0x68DD1890u);
  EXPECT_EQ(a.Words()[2], 0xF1AB48A0u);
  EXPECT_EQ(a.Words()[3], 0x48DCF8A0u);
}

TEST(HvnCipher, EncipherZeroBlockKnownAnswer) {
  const CipherContext fox("OrbitPlumeCasketNimbleFox");
  std::uint8_t block[kCipherBlockSize] = {};
  fox.EncipherBlock(block);
  const std::uint8_t expected[16] = {0x8c, 0x97, 0x77, 0xd2, 0x22, 0xb2, 0x64, 0x72,
                                     0x92, 0x14, 0xad, 0xcc, 0x13, 0x21, 0xd0, 0x10};
  EXPECT_EQ(std::memcmp(block, expected, sizeof expected), 0);
  fox.DecipherBlock(block);
  EXPECT_EQ(block[0], 0);
  EXPECT_EQ(std::memcmp(block, block + 1, kCipherBlockSize - 1), 0);
}

TEST(HvnCipher, RoundTripOfRandomBlocksUnderRandomPasswords) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    std::string password(1 + rng() % 40, ' ');
    for (char& c : password) c = static_cast<char>(1 + rng() % 255);
    const CipherContext context(password);
    const std::vector<std::uint8_t> plain = RandomBytes(kCipherBlockSize, rng);
    std::vector<std::uint8_t> block = plain;
    context.EncipherBlock(block.data());
    EXPECT_NE(block, plain);
    context.DecipherBlock(block.data());
    ASSERT_EQ(block, plain) << "password of " << password.size() << " bytes";
  }
}

// A key word whose low four bits equal its own index exchanges the word with
// itself: the step only adds the key word.
TEST(HvnCipher, SelfExchangeStepRoundTrips) {
  const CipherContext fox("OrbitPlumeCasketNimbleFox");
  ASSERT_EQ(fox.Words()[0] & 15, 0u);

  std::mt19937 rng(11);
  int found = 0;
  for (int n = 0; n < 500 && found < 20; ++n) {
    const CipherContext context("pw" + std::to_string(n));
    bool self_exchange = false;
    for (std::size_t i = 0; i < kCipherWords; ++i) {
      if ((context.Words()[i] & 15) == i && i != 0) self_exchange = true;
    }
    if (!self_exchange) continue;
    ++found;
    const std::vector<std::uint8_t> plain = RandomBytes(kCipherBlockSize, rng);
    std::vector<std::uint8_t> block = plain;
    context.EncipherBlock(block.data());
    context.DecipherBlock(block.data());
    EXPECT_EQ(block, plain);
  }
  EXPECT_GT(found, 0);
}

TEST(HvnCipher, DifferentPasswordsGiveDifferentBlocks) {
  const CipherContext a("a");
  const CipherContext b("b");
  const CipherContext longer("aa");
  EXPECT_NE(a.Words(), b.Words());
  EXPECT_NE(a.Words(), longer.Words());

  std::uint8_t block[kCipherBlockSize] = {};
  a.EncipherBlock(block);
  b.DecipherBlock(block);
  bool all_zero = true;
  for (std::uint8_t byte : block) all_zero = all_zero && byte == 0;
  EXPECT_FALSE(all_zero);
}

TEST(HvnCipher, SpansAreTransformedBlockByBlock) {
  std::mt19937 rng(3);
  const CipherContext context("Vtrix owner");
  // The header, a page of 2 units, nothing, and a span that is not a whole
  // number of the batches the transform works in.
  for (std::size_t length :
       {std::size_t{512}, std::size_t{2048}, std::size_t{0}, std::size_t{448}}) {
    const std::vector<std::uint8_t> plain = RandomBytes(length, rng);
    std::vector<std::uint8_t> span = plain;
    ASSERT_TRUE(context.Encipher(512 + 2048, span.data(), span.size()));
    for (std::size_t at = 0; at < length; at += kCipherBlockSize) {
      std::vector<std::uint8_t> block(plain.begin() + at, plain.begin() + at + kCipherBlockSize);
      context.EncipherBlock(block.data());
      ASSERT_EQ(std::memcmp(block.data(), span.data() + at, kCipherBlockSize), 0) << at;
    }
    ASSERT_TRUE(context.Decipher(512 + 2048, span.data(), span.size()));
    EXPECT_EQ(span, plain);
  }
}

TEST(HvnCipher, UnalignedSpansAreRefusedUntouched) {
  std::mt19937 rng(5);
  const CipherContext context("Vtrix owner");
  const std::vector<std::uint8_t> plain = RandomBytes(256, rng);
  std::vector<std::uint8_t> span = plain;
  EXPECT_FALSE(context.Encipher(0, span.data(), 100));
  EXPECT_FALSE(context.Encipher(32, span.data(), 128));
  EXPECT_FALSE(context.Decipher(64, span.data(), 65));
  EXPECT_FALSE(context.Decipher(1, span.data(), 64));
  EXPECT_EQ(span, plain);
}

TEST(HvnCipher, EmptyOwnerMakesNoContext) {
  EXPECT_EQ(MakeCipherContext(""), nullptr);
  const auto context = MakeCipherContext("a");
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(context->Words()[0], 0x7052A480u);
}

TEST(HvnCipher, ContextIsWipedWhenDestroyed) {
  alignas(CipherContext) unsigned char storage[sizeof(CipherContext)];
  auto* context = new (storage) CipherContext("OrbitPlumeCasketNimbleFox");
  ASSERT_EQ(context->Words()[0], 0x484A6180u);
  context->~CipherContext();
  for (unsigned char byte : storage) ASSERT_EQ(byte, 0);
}

}  // namespace
}  // namespace vaultrix::files
