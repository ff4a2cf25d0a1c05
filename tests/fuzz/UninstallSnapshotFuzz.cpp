// libFuzzer target for the inventory's snapshot file, which lies in the user's
// temporary folder for anyone to change. The fuzzer's bytes are sealed with
// their checksum as the writer seals them, so that it reaches the reader behind
// the check: a file is refused or read, and whatever is read is written back
// to the same bytes and read again to the same snapshot.
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "base/ByteRecords.h"
#include "detection/UninstallSnapshot.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using nudgelet::detection::UninstallSnapshot;
  using nudgelet::fuzz::Check;
  nudgelet::ByteRecordWriter sealed;
  sealed.Bytes(data, size);
  sealed.Seal();
  const std::vector<std::uint8_t>& file = sealed.out;

  const auto snapshot = UninstallSnapshot::Parse(file);
  if (!snapshot) return 0;
  const std::vector<std::uint8_t> written = snapshot->Serialize();
  const auto again = UninstallSnapshot::Parse(written);
  Check(again.has_value() && *again == *snapshot);
  Check(again->Serialize() == written);
  return 0;
}
