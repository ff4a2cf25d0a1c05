// libFuzzer target: the stored text of an update database through Base64 and
// deciphering, as a hostile file would reach them. Besides the sanitizers'
// findings it checks what must hold for any input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "detection/Base64.h"
#include "detection/DatabaseCipher.h"

using namespace nudgelet::detection;

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::vector<std::uint8_t> key = *DatabaseKey(kDatabasePassword, kDatabaseKeyBits);
  const nudgelet::platform::Crypto& crypto = nudgelet::platform::SystemCrypto();

  // Decoding never grows the text and is stable under re-encoding.
  std::vector<std::uint8_t> buffer(data, data + size);
  const std::size_t decoded = DecodeBase64InPlace(buffer.data(), buffer.size());
  Require(decoded <= size / 4 * 3 + 2);
  buffer.resize(decoded);
  Require(DecodeBase64(EncodeBase64(buffer.data(), buffer.size())) == buffer);

  // Deciphering either refuses the size or yields whole blocks that encipher
  // back to the same ciphertext.
  std::vector<std::uint8_t> plain(data, data + size);
  try {
    Require(DecipherDatabaseBytes(crypto, key, plain));
  } catch (const EAESError&) {
    Require(decoded % 16 != 0);
    return 0;
  }
  Require(plain.size() == decoded && decoded % 16 == 0);
  const auto again = EncipherDatabaseBytes(crypto, key, plain);
  Require(again && DecodeBase64(*again) == buffer);
  return 0;
}
