#pragma once
// The few cryptographic primitives the program needs, from the system's own
// provider: MD5 for the inventory cache check, AES in ECB mode for the update
// database.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace nudgelet::platform {

using Md5Digest = std::array<std::uint8_t, 16>;

class Crypto {
 public:
  virtual ~Crypto() = default;
  virtual Md5Digest Md5(const std::uint8_t* data, std::size_t size) const = 0;
  // Deciphers whole 16-byte blocks, each on its own (ECB, no padding). The key is
  // 16, 24 or 32 bytes. nullopt for any other key size, for data that is not a
  // whole number of blocks, or when the provider fails.
  virtual std::optional<std::vector<std::uint8_t>> AesEcbDecrypt(const std::vector<std::uint8_t>& key,
                                                                 const std::uint8_t* data, std::size_t size) const = 0;
  // The inverse, for the tools that make test databases.
  virtual std::optional<std::vector<std::uint8_t>> AesEcbEncrypt(const std::vector<std::uint8_t>& key,
                                                                 const std::uint8_t* data, std::size_t size) const = 0;
};

// The system's provider: CNG on Windows, OpenSSL's libcrypto elsewhere.
const Crypto& SystemCrypto();

}  // namespace nudgelet::platform
