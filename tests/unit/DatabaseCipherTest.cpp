// Base64 and deciphering of the update database. The vectors are shared by both
// builds: natively they run against OpenSSL, under Wine against CNG.
#include <gtest/gtest.h>

#include <string>

#include "detection/Base64.h"
#include "detection/DatabaseCipher.h"
#include "support/FakePlatform.h"

namespace nudgelet::detection {
namespace {

using platform::SystemCrypto;

std::string Decoded(const std::string& text) {
  const auto bytes = DecodeBase64(text);
  return std::string(bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> Bytes(const std::string& s) { return std::vector<std::uint8_t>(s.begin(), s.end()); }

// "SQLite format 3\0" followed by "Nudgelet blocks!", enciphered with the product key.
const std::string kPlain = std::string("SQLite format 3\0", 16) + "Nudgelet blocks!";
const std::string kCipherBase64 = "3V5EioeQ+lVZ+IudEwLAiteGEXXJrdYEY4Om8wDXk1c=";

TEST(DatabaseKey, TakesOneByteOfUtf16PerPasswordCharacter) {
  const std::vector<std::uint8_t> mirlo{0x4D, 0x00, 0x69, 0x00, 0x72};
  for (const auto& [bits, size] : {std::pair{128, 16u}, std::pair{192, 24u}, std::pair{256, 32u}}) {
    auto expected = mirlo;
    expected.resize(size, 0);
    EXPECT_EQ(DatabaseKey(kDatabasePassword, bits), expected) << bits;
  }
  EXPECT_FALSE(DatabaseKey(kDatabasePassword, 64));
  EXPECT_FALSE(DatabaseKey(kDatabasePassword, 0));
  // A password longer than the key fills it and no more.
  const auto longKey = DatabaseKey(L"ABCDEFGHIJKLMNOPQRST", 128);
  ASSERT_TRUE(longKey);
  EXPECT_EQ(longKey->size(), 16u);
  EXPECT_EQ((*longKey)[14], 'H');
  EXPECT_EQ((*longKey)[15], 0);
}

TEST(Base64, DropsEverythingOutsideTheAlphabetWherever) {
  EXPECT_EQ(Decoded("QUJD"), "ABC");
  EXPECT_EQ(Decoded("QU\r\nJD"), "ABC");
  EXPECT_EQ(Decoded(" Q!U@J#D\t\x80\xff"), "ABC");
  EXPECT_EQ(Decoded("QQ=="), "A");
  EXPECT_EQ(Decoded("QUI="), "AB");
  // Padding ends a group, not the text.
  EXPECT_EQ(Decoded("QQ==QUI="), "AAB");
  // A short last group yields what it holds; a single character holds nothing.
  EXPECT_EQ(Decoded("QUJDQUI"), "ABCAB");
  EXPECT_EQ(Decoded("QUJDQ"), "ABC");
  EXPECT_EQ(Decoded("===="), "");
  EXPECT_EQ(Decoded(""), "");
}

TEST(Base64, RoundTripsEverySizeWithLinesOf76) {
  std::vector<std::uint8_t> data;
  for (int size = 0; size <= 200; ++size) {
    const std::string text = EncodeBase64(data.data(), data.size());
    std::size_t line = 0;
    for (char c : text) {
      if (c == '\n') {
        EXPECT_EQ(line, 77u) << size;  // 76 characters and the CR
        line = 0;
      } else {
        ++line;
      }
    }
    EXPECT_LE(line, 76u);
    EXPECT_EQ(DecodeBase64(text), data) << size;
    data.push_back(static_cast<std::uint8_t>(size * 37 + 11));
  }
}

TEST(DatabaseCipher, DeciphersTheKnownVectorThroughAnySeparatorsAndPadsWithZeros) {
  const auto key = *DatabaseKey(kDatabasePassword, kDatabaseKeyBits);
  std::string stored = kCipherBase64;
  stored.insert(10, "\r\n");
  stored.insert(30, " \t");
  auto buffer = Bytes(stored);
  ASSERT_TRUE(DecipherDatabaseBytes(SystemCrypto(), key, buffer));
  EXPECT_EQ(std::string(buffer.begin(), buffer.end()), kPlain);
  EXPECT_EQ(EncipherDatabaseBytes(SystemCrypto(), key, Bytes(kPlain)), kCipherBase64);

  const auto enciphered = EncipherDatabaseBytes(SystemCrypto(), key, Bytes("seventeen bytes!!"));
  ASSERT_TRUE(enciphered);
  buffer = Bytes(*enciphered);
  ASSERT_TRUE(DecipherDatabaseBytes(SystemCrypto(), key, buffer));
  EXPECT_EQ(std::string(buffer.begin(), buffer.end()), std::string("seventeen bytes!!") + std::string(15, '\0'));
}

class DecipherFile : public ::testing::Test {
 protected:
  // The EAESError's message; empty when the file was deciphered.
  std::wstring Run(int keyBits = kDatabaseKeyBits) {
    try {
      return DecipherDatabaseFile(files_, SystemCrypto(), source_, target_, kDatabasePassword, keyBits) ? L""
                                                                                                        : L"(failed)";
    } catch (const EAESError& e) {
      return e.Message();
    }
  }

  const std::wstring source_ = L"C:\\App\\Database\\VessaUpdate.dbd";
  const std::wstring target_ = L"C:\\Temp\\VessaUpdate.dbd";
  testing::InMemoryFileSystem files_;
};

TEST_F(DecipherFile, WritesThePlaintextAndForEmptyTextAnEmptyFile) {
  files_.AddFolder(L"C:\\Temp");
  files_.AddFile(source_, Bytes(kCipherBase64));
  ASSERT_EQ(Run(), L"");
  EXPECT_EQ(files_.Bytes(target_), Bytes(kPlain));
  files_.AddFile(source_, Bytes("\r\n-- !!! ?? --\r\n"));
  ASSERT_EQ(Run(), L"");
  EXPECT_TRUE(files_.Exists(target_));
  EXPECT_TRUE(files_.Bytes(target_).empty());
}

TEST_F(DecipherFile, FailuresWriteNothing) {
  EXPECT_EQ(Run(), L"\u8BFB\u6D41\u9519\u8BEF");  // no source
  files_.AddFile(source_, Bytes(kCipherBase64));
  EXPECT_EQ(Run(), L"\u5199\u5165\u6D41\u9519\u8BEF");  // no folder for the target
  files_.AddFolder(L"C:\\Temp");
  EXPECT_EQ(Run(100), L"(failed)");  // a key size AES lacks
  const std::vector<std::uint8_t> hundred(100, 0x5A);
  files_.AddFile(source_, Bytes(EncodeBase64(hundred.data(), hundred.size())));
  EXPECT_EQ(Run(), L"\u5BC6\u6587\u6D41\u4E0E\u52A0\u5BC6\u65F6\u7684\u6D41,\u5927\u5C0F\u4E0D\u5BF9");
  EXPECT_FALSE(files_.Exists(target_));
  EXPECT_EQ(files_.AtomicWrites(), 0);
}

}  // namespace
}  // namespace nudgelet::detection
