#include "detection/DatabaseCipher.h"

#include <algorithm>
#include <cstring>

#include "base/Strings.h"
#include "detection/Base64.h"

namespace nudgelet::detection {
namespace {

constexpr std::size_t kBlock = 16;
// Deciphered a piece at a time so the provider's output buffer stays small.
constexpr std::size_t kPiece = 1u << 20;

}  // namespace

EAESError::EAESError(std::wstring message) : std::runtime_error(WideToUtf8(message)), message_(std::move(message)) {}

std::optional<std::vector<std::uint8_t>> DatabaseKey(std::wstring_view password, int keyBits) {
  std::size_t size = 0;
  switch (keyBits) {
    case 128:
      size = 16;
      break;
    case 192:
      size = 24;
      break;
    case 256:
      size = 32;
      break;
    default:
      return std::nullopt;
  }
  std::vector<std::uint8_t> key(size, 0);
  const std::vector<std::uint8_t> utf16 = WideToUtf16Le(password);
  const std::size_t characters = utf16.size() / 2;
  std::copy_n(utf16.begin(), std::min({characters, size, utf16.size()}), key.begin());
  return key;
}

bool DecipherDatabaseBytes(const platform::Crypto& crypto, const std::vector<std::uint8_t>& key,
                           std::vector<std::uint8_t>& buffer) {
  buffer.resize(DecodeBase64InPlace(buffer.data(), buffer.size()));
  if (buffer.size() % kBlock != 0) throw EAESError(aes_text::kSizeMismatch);
  for (std::size_t done = 0; done < buffer.size(); done += kPiece) {
    const std::size_t size = std::min(kPiece, buffer.size() - done);
    const auto plain = crypto.AesEcbDecrypt(key, buffer.data() + done, size);
    if (!plain || plain->size() != size) return false;
    std::memcpy(buffer.data() + done, plain->data(), size);
  }
  return true;
}

bool DecipherDatabaseFile(const platform::FileSystem& files, const platform::Crypto& crypto, const std::wstring& source,
                          const std::wstring& destination, std::wstring_view password, int keyBits) {
  const auto key = DatabaseKey(password, keyBits);
  if (!key) return false;
  platform::FileReadResult read = files.ReadFile(source, kMaxEncipheredBytes);
  if (read.error != 0) throw EAESError(aes_text::kReadError);
  if (!DecipherDatabaseBytes(crypto, *key, read.bytes)) return false;
  if (files.WriteFileAtomically(destination, read.bytes) != 0) throw EAESError(aes_text::kWriteError);
  return true;
}

std::optional<std::string> EncipherDatabaseBytes(const platform::Crypto& crypto, const std::vector<std::uint8_t>& key,
                                                 std::vector<std::uint8_t> plain) {
  plain.resize((plain.size() + kBlock - 1) / kBlock * kBlock, 0);
  const auto cipher = crypto.AesEcbEncrypt(key, plain.data(), plain.size());
  if (!cipher) return std::nullopt;
  return EncodeBase64(cipher->data(), cipher->size(), 76);
}

}  // namespace nudgelet::detection
