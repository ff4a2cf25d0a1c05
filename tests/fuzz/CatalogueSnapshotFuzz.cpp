// libFuzzer target for the catalogue's rows kept beside the database copy in
// the user's temporary folder, for anyone to change. The fuzzer's bytes are
// sealed with their checksum as the writer seals them, so that it reaches the
// reader behind the check: a file is refused or read, every span read lies in
// the text read, and whatever is read is written back to the same bytes and
// read again to the same rows.
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "base/ByteRecords.h"
#include "detection/CatalogueSnapshot.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using nudgelet::detection::CatalogueRows;
  using nudgelet::detection::CatalogueSpan;
  using nudgelet::fuzz::Check;
  nudgelet::ByteRecordWriter sealed;
  sealed.Bytes(data, size);
  sealed.Seal();
  const std::vector<std::uint8_t>& file = sealed.out;

  const auto rows = CatalogueRows::Parse(file);
  if (!rows) return 0;
  const auto inText = [&](CatalogueSpan s) {
    return s.IsNull() || s.offset + std::uint64_t{s.size} <= rows->text.size();
  };
  for (const auto& p : rows->products)
    Check(inText(p.key) && inText(p.name) && inText(p.publisher) && inText(p.softName));
  for (const auto& d : rows->downloads) Check(inText(d.key) && d.conditions < 8);
  const std::vector<std::uint8_t> written = rows->Serialize();
  const auto again = CatalogueRows::Parse(written);
  Check(again.has_value() && *again == *rows);
  Check(again->Serialize() == written);
  return 0;
}
