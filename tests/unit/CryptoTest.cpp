// One set of vectors for both providers: the same test runs against OpenSSL
// natively and against CNG under Wine.
#include "platform/Crypto.h"

#include <gtest/gtest.h>

#include <string>

namespace nudgelet::platform {
namespace {

std::vector<std::uint8_t> Hex(const std::string& hex) {
  std::vector<std::uint8_t> out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return out;
}

std::string ToHex(const std::uint8_t* data, std::size_t size) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (std::size_t i = 0; i < size; ++i) {
    s += digits[data[i] >> 4];
    s += digits[data[i] & 15];
  }
  return s;
}

TEST(Crypto, Md5MatchesRfc1321) {
  const Crypto& c = SystemCrypto();
  auto md5 = [&](const std::string& s) {
    const auto d = c.Md5(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
    return ToHex(d.data(), d.size());
  };
  EXPECT_EQ(md5(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(md5("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(md5("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
            "57edf4a22be3c955ac49da2e2107b67a");
}

// FIPS-197 appendix C, one per key size.
TEST(Crypto, AesEcbDeciphersAndEnciphersEachBlockOnItsOwn) {
  const Crypto& c = SystemCrypto();
  const char* const plainHex = "00112233445566778899aabbccddeeff";
  const struct {
    const char* key;
    const char* cipher;
  } vectors[] = {
      {"000102030405060708090a0b0c0d0e0f", "69c4e0d86a7b0430d8cdb78070b4c55a"},
      {"000102030405060708090a0b0c0d0e0f1011121314151617", "dda97ca4864cdfe06eaf70a0ec0d7191"},
      {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "8ea2b7ca516745bfeafc49904b496089"}};
  for (const auto& v : vectors) {
    const auto key = Hex(v.key);
    // Two identical blocks: in ECB they encipher identically.
    const auto plain = Hex(std::string(plainHex) + plainHex);
    const auto cipher = Hex(std::string(v.cipher) + v.cipher);
    EXPECT_EQ(c.AesEcbDecrypt(key, cipher.data(), cipher.size()), plain) << v.key;
    EXPECT_EQ(c.AesEcbEncrypt(key, plain.data(), plain.size()), cipher) << v.key;
  }
}

TEST(Crypto, RefusesBadKeysAndPartialBlocks) {
  const Crypto& c = SystemCrypto();
  const std::vector<std::uint8_t> data(32, 7);
  EXPECT_FALSE(c.AesEcbDecrypt(std::vector<std::uint8_t>(15, 1), data.data(), data.size()));
  EXPECT_FALSE(c.AesEcbDecrypt(std::vector<std::uint8_t>(16, 1), data.data(), 20));
  EXPECT_EQ(c.AesEcbDecrypt(std::vector<std::uint8_t>(16, 1), data.data(), 0), std::vector<std::uint8_t>{});
}

}  // namespace
}  // namespace nudgelet::platform
