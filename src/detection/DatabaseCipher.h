#pragma once
// The update database's enciphering: Base64 text of AES ciphertext in ECB mode
// (each 16-byte block on its own, no IV, no padding to strip) of the SQLite file.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Crypto.h"
#include "platform/FileSystem.h"

namespace nudgelet::detection {

// Deciphering errors; the texts are the ones the product has always shown.
class EAESError : public std::runtime_error {
 public:
  explicit EAESError(std::wstring message);
  const std::wstring& Message() const { return message_; }

 private:
  std::wstring message_;
};

namespace aes_text {
// "The cipher stream's size does not match the size at encryption."
inline constexpr wchar_t kSizeMismatch[] = L"密文流与加密时的流,大小不对";
// "Stream read error."
inline constexpr wchar_t kReadError[] = L"读流错误";
// "Stream write error."
inline constexpr wchar_t kWriteError[] = L"写入流错误";
}  // namespace aes_text

inline constexpr wchar_t kDatabasePassword[] = L"Mirlo";
inline constexpr int kDatabaseKeyBits = 128;

// An enciphered database larger than this is not one of ours; real ones are
// tens of megabytes.
inline constexpr std::uint64_t kMaxEncipheredBytes = 1ull << 30;

// 16, 24 or 32 zero bytes (for 128, 192 or 256 bits) overlaid from the start
// with the password's UTF-16LE encoding, but only as many bytes as the password
// has characters: "Mirlo" contributes 'M', 0, 'i', 0, 'r'. nullopt for other sizes.
std::optional<std::vector<std::uint8_t>> DatabaseKey(std::wstring_view password, int keyBits);

// Turns the stored text in `buffer` into the SQLite file, in place: Base64 is
// decoded, then every block deciphered. Raises EAESError (kSizeMismatch) when
// the decoded length is not a whole number of blocks, before anything is
// deciphered. False when the provider fails.
bool DecipherDatabaseBytes(const platform::Crypto& crypto, const std::vector<std::uint8_t>& key,
                           std::vector<std::uint8_t>& buffer);

// Deciphers the file `source` into `destination`. False, with nothing written,
// for a key size other than 128, 192 or 256 bits or when the provider fails;
// EAESError when the source cannot be read (kReadError), has a wrong size
// (kSizeMismatch) or the destination cannot be written (kWriteError).
bool DecipherDatabaseFile(const platform::FileSystem& files, const platform::Crypto& crypto, const std::wstring& source,
                          const std::wstring& destination, std::wstring_view password, int keyBits);

// The inverse, for making databases: zero bytes pad the data to a whole number
// of blocks (SQLite files always are one), and the Base64 text has a line break
// every 76 characters. nullopt when the provider fails.
std::optional<std::string> EncipherDatabaseBytes(const platform::Crypto& crypto, const std::vector<std::uint8_t>& key,
                                                 std::vector<std::uint8_t> plain);

}  // namespace nudgelet::detection
