// libFuzzer target for the inventory's snapshot file, which lies in the user's
// temporary folder for anyone to change. The fuzzer's bytes are sealed with
// their MD5 as the writer would seal them, so that it reaches the reader behind
// the check: a file is refused or read, and whatever is read is written back
// to the same bytes and read again to the same snapshot.
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "detection/UninstallSnapshot.h"
#include "platform/Crypto.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using nudgelet::detection::UninstallSnapshot;
  using nudgelet::fuzz::Check;
  const auto& crypto = nudgelet::platform::SystemCrypto();
  std::vector<std::uint8_t> file(data, data + size);
  const auto digest = crypto.Md5(file.data(), file.size());
  file.insert(file.end(), digest.begin(), digest.end());

  const auto snapshot = UninstallSnapshot::Parse(file, crypto);
  if (!snapshot) return 0;
  const std::vector<std::uint8_t> written = snapshot->Serialize(crypto);
  const auto again = UninstallSnapshot::Parse(written, crypto);
  Check(again.has_value() && *again == *snapshot);
  Check(again->Serialize(crypto) == written);
  return 0;
}
