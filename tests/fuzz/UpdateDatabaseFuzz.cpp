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

// The decoding one kept character at a time, which the decoder's fast path for
// whole groups must agree with.
std::vector<std::uint8_t> DecodeSlowly(const std::uint8_t* data, std::size_t size) {
  auto value = [](std::uint8_t c) -> int {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return c == '=' ? 64 : -1;
  };
  std::vector<std::uint8_t> out;
  std::vector<int> group;
  auto flush = [&] {
    std::size_t meaningful = 0;
    while (meaningful < group.size() && group[meaningful] != 64) ++meaningful;
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i)
      bits = (bits << 6) | (i < meaningful ? static_cast<std::uint32_t>(group[i]) : 0u);
    for (std::size_t i = 1; i < meaningful; ++i) out.push_back(static_cast<std::uint8_t>(bits >> (24 - 8 * i)));
    group.clear();
  };
  for (std::size_t i = 0; i < size; ++i) {
    if (value(data[i]) < 0) continue;
    group.push_back(value(data[i]));
    if (group.size() == 4) flush();
  }
  if (!group.empty()) flush();
  return out;
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
  Require(buffer == DecodeSlowly(data, size));
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
