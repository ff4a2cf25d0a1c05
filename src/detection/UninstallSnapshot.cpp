#include "detection/UninstallSnapshot.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "base/ByteOrder.h"
#include "base/Strings.h"

namespace nudgelet::detection {
namespace {

// Little-endian throughout; texts are a count of bytes, then UTF-16LE.
//   magic, key count, keys, MD5 of everything before it
//   key:   identity, last-write time (8 bytes), leaf (1), value count, values
//   value: name, present (1); when present: type, data size, data
constexpr char kMagic[8] = {'N', 'D', 'G', 'S', 'N', 'A', 'P', '1'};
constexpr std::size_t kDigestSize = 16;

class Writer {
 public:
  void Bytes(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    out.insert(out.end(), p, p + size);
  }
  void U8(std::uint8_t v) { out.push_back(v); }
  void U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void U64(std::uint64_t v) {
    U32(static_cast<std::uint32_t>(v));
    U32(static_cast<std::uint32_t>(v >> 32));
  }
  void Text(const std::wstring& text) {
    const std::vector<std::uint8_t> bytes = WideToUtf16Le(text);
    U32(static_cast<std::uint32_t>(bytes.size()));
    Bytes(bytes.data(), bytes.size());
  }

  std::vector<std::uint8_t> out;
};

// Every read checks what is left; the first that does not fit fails them all.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool Ok() const { return ok_; }
  bool AtEnd() const { return at_ == bytes_.size(); }
  std::size_t Left() const { return bytes_.size() - at_; }

  const std::uint8_t* Take(std::size_t size) {
    if (!ok_ || Left() < size) {
      ok_ = false;
      return nullptr;
    }
    const std::uint8_t* p = bytes_.data() + at_;
    at_ += size;
    return p;
  }
  std::uint8_t U8() {
    const auto* p = Take(1);
    return p ? *p : 0;
  }
  std::uint32_t U32() {
    const auto* p = Take(4);
    return p ? ReadLe32(p) : 0;
  }
  std::uint64_t U64() {
    const auto* p = Take(8);
    return p ? ReadLe64(p) : 0;
  }
  std::wstring Text() {
    const std::uint32_t size = U32();
    const auto* p = Take(size);
    return p ? Utf16LeToWide(p, size) : std::wstring();
  }
  // A count of items of at least minimumSize bytes each that the rest can hold.
  std::uint32_t Count(std::size_t minimumSize) {
    const std::uint32_t count = U32();
    if (count > Left() / minimumSize) ok_ = false;
    return ok_ ? count : 0;
  }
  void Fail() { ok_ = false; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

}  // namespace

std::optional<UninstallSnapshot> UninstallSnapshot::Parse(const std::vector<std::uint8_t>& bytes,
                                                          const platform::Crypto& crypto) {
  if (bytes.size() < sizeof kMagic + 4 + kDigestSize || bytes.size() > kMaxSnapshotBytes) return std::nullopt;
  if (std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) return std::nullopt;
  const std::size_t bodySize = bytes.size() - kDigestSize;
  const platform::Md5Digest digest = crypto.Md5(bytes.data(), bodySize);
  if (!std::equal(digest.begin(), digest.end(), bytes.begin() + static_cast<std::ptrdiff_t>(bodySize))) {
    return std::nullopt;
  }

  Reader in(std::span(bytes.data() + sizeof kMagic, bodySize - sizeof kMagic));
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

std::vector<std::uint8_t> UninstallSnapshot::Serialize(const platform::Crypto& crypto) const {
  Writer out;
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
  const platform::Md5Digest digest = crypto.Md5(out.out.data(), out.out.size());
  out.Bytes(digest.data(), digest.size());
  return std::move(out.out);
}

}  // namespace nudgelet::detection
