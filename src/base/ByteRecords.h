#pragma once
// Records of the program's own binary files: little-endian numbers, texts as a
// count of bytes and then their UTF-16LE. The reader checks every field
// against what is left, and the first that does not fit fails it for good, so
// a damaged file is found out by one test at the end.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/ByteOrder.h"
#include "base/Checksum.h"
#include "base/Strings.h"

namespace nudgelet {

class ByteRecordWriter {
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
  // Bytes as they are, after their count.
  void Blob(const void* data, std::size_t size) {
    U32(static_cast<std::uint32_t>(size));
    Bytes(data, size);
  }

  // Ends the file with the checksum of everything before it.
  void Seal() { U64(Checksum64(out.data(), out.size())); }

  std::vector<std::uint8_t> out;
};

// The bytes before a sealed file's checksum; empty when the checksum does not hold.
inline std::span<const std::uint8_t> SealedBody(std::span<const std::uint8_t> file) {
  if (file.size() < kChecksumSize) return {};
  const std::size_t size = file.size() - kChecksumSize;
  if (ReadLe64(file.data() + size) != Checksum64(file.data(), size)) return {};
  return file.first(size);
}

class ByteRecordReader {
 public:
  explicit ByteRecordReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

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
  std::span<const std::uint8_t> Blob() {
    const std::uint32_t size = U32();
    const auto* p = Take(size);
    return p ? std::span<const std::uint8_t>(p, size) : std::span<const std::uint8_t>();
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

}  // namespace nudgelet
