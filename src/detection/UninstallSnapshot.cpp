#include "detection/UninstallSnapshot.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "base/ByteRecords.h"
#include "base/Strings.h"

namespace nudgelet::detection {
namespace {

// Little-endian throughout; texts are a count of bytes, then UTF-16LE.
//   magic, key count, keys, checksum of everything before it (8 bytes)
//   key:   identity, last-write time (8 bytes), leaf (1), value count, values
//   value: name, present (1); when present: type, data size, data
constexpr char kMagic[8] = {'N', 'D', 'G', 'S', 'N', 'A', 'P', '2'};

}  // namespace

std::optional<UninstallSnapshot> UninstallSnapshot::Parse(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() > kMaxSnapshotBytes) return std::nullopt;
  const std::span<const std::uint8_t> body = SealedBody(bytes);
  if (body.size() < sizeof kMagic + 4 || std::memcmp(body.data(), kMagic, sizeof kMagic) != 0) return std::nullopt;

  ByteRecordReader in(body.subspan(sizeof kMagic));
  UninstallSnapshot snapshot;
  const std::uint32_t keyCount = in.Count(4 + 8 + 1 + 4);
  for (std::uint32_t k = 0; k < keyCount && in.Ok(); ++k) {
    std::wstring identity = in.Text();
    SnapshotKey key;
    key.lastWriteTime = in.U64();
    key.leaf = in.U8() != 0;
    const std::uint32_t valueCount = in.Count(4 + 1);
    for (std::uint32_t v = 0; v < valueCount && in.Ok(); ++v) {
      std::wstring name = in.Text();
      std::optional<platform::RegistryValue> value;
      if (in.U8() != 0) {
        platform::RegistryValue read;
        read.type = static_cast<platform::RegistryValueType>(in.U32());
        const std::uint32_t size = in.U32();
        if (size > platform::kMaxRegistryValueBytes) in.Fail();
        if (const auto* p = in.Take(size)) read.data.assign(p, p + size);
        value = std::move(read);
      }
      if (!key.values.emplace(std::move(name), std::move(value)).second) in.Fail();
    }
    if (!snapshot.keys.emplace(std::move(identity), std::move(key)).second) in.Fail();
  }
  if (!in.Ok() || !in.AtEnd()) return std::nullopt;
  return snapshot;
}

std::vector<std::uint8_t> UninstallSnapshot::Serialize() const {
  ByteRecordWriter out;
  out.Bytes(kMagic, sizeof kMagic);
  out.U32(static_cast<std::uint32_t>(keys.size()));
  for (const auto& [identity, key] : keys) {
    out.Text(identity);
    out.U64(key.lastWriteTime);
    out.U8(key.leaf ? 1 : 0);
    out.U32(static_cast<std::uint32_t>(key.values.size()));
    for (const auto& [name, value] : key.values) {
      out.Text(name);
      out.U8(value ? 1 : 0);
      if (!value) continue;
      out.U32(static_cast<std::uint32_t>(value->type));
      out.U32(static_cast<std::uint32_t>(value->data.size()));
      out.Bytes(value->data.data(), value->data.size());
    }
  }
  out.Seal();
  return std::move(out.out);
}

}  // namespace nudgelet::detection
