#include "platform/PeVersion.h"

#include <gtest/gtest.h>

#include <cstring>

namespace nudgelet::platform {
namespace {

void Put(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v, int bytes) {
  if (b.size() < at + bytes) b.resize(at + bytes);
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A minimal 64-bit image: headers, then one ".rsrc" section at RVA 0x1000 / file
// offset 0x200 holding RT_VERSION -> 1 -> 0x409 -> the version data.
std::vector<std::uint8_t> Image(std::uint32_t ms, std::uint32_t ls, bool withVersion = true) {
  std::vector<std::uint8_t> b(0x400, 0);
  b[0] = 'M';
  b[1] = 'Z';
  Put(b, 60, 0x80, 4);
  Put(b, 0x80, 0x00004550, 4);         // "PE\0\0"
  Put(b, 0x84 + 2, 1, 2);              // one section
  Put(b, 0x84 + 16, 240, 2);           // size of the optional header
  Put(b, 0x98, 0x20B, 2);              // PE32+
  Put(b, 0x98 + 112 + 16, 0x1000, 4);  // resource directory RVA
  Put(b, 0x98 + 112 + 20, 0x200, 4);
  const std::size_t section = 0x98 + 240;
  std::memcpy(&b[section], ".rsrc", 5);
  Put(b, section + 8, 0x200, 4);    // virtual size
  Put(b, section + 12, 0x1000, 4);  // virtual address
  Put(b, section + 16, 0x200, 4);   // raw size
  Put(b, section + 20, 0x200, 4);   // raw offset
  const std::size_t r = 0x200;
  auto directory = [&](std::size_t at, std::uint32_t id, std::uint32_t target, bool sub) {
    Put(b, r + at + 14, 1, 2);  // one id entry
    Put(b, r + at + 16, id, 4);
    Put(b, r + at + 20, target | (sub ? 0x80000000u : 0), 4);
  };
  directory(0x00, withVersion ? 16 : 3, 0x18, true);
  directory(0x18, 1, 0x30, true);
  directory(0x30, 0x409, 0x48, false);
  Put(b, r + 0x48, 0x1000 + 0x60, 4);  // data RVA
  Put(b, r + 0x4C, 0x80, 4);           // data size
  const std::size_t v = r + 0x60;
  Put(b, v + 0, 0x80, 2);
  Put(b, v + 2, 52, 2);
  const char16_t key[] = u"VS_VERSION_INFO";
  for (std::size_t i = 0; i < 16; ++i) Put(b, v + 6 + 2 * i, key[i], 2);
  const std::size_t fixed = v + 40;  // 6 + 32 bytes of key, aligned to 4
  Put(b, fixed, 0xFEEF04BD, 4);
  Put(b, fixed + 4, 0x00010000, 4);
  Put(b, fixed + 8, ms, 4);
  Put(b, fixed + 12, ls, 4);
  return b;
}

std::optional<FileVersion> Read(const std::vector<std::uint8_t>& file) {
  return ReadPeFileVersion([&](std::uint64_t offset, std::size_t count) {
    if (offset >= file.size()) return std::vector<std::uint8_t>{};
    const std::size_t n = std::min<std::size_t>(count, file.size() - offset);
    return std::vector<std::uint8_t>(file.begin() + static_cast<std::ptrdiff_t>(offset),
                                     file.begin() + static_cast<std::ptrdiff_t>(offset + n));
  });
}

TEST(PeVersion, ReadsTheFixedFileVersion) {
  EXPECT_EQ(Read(Image(0x00050002, 0x00000076)), (FileVersion{5, 2, 0, 118}));
  EXPECT_EQ(Read(Image(0xFFFF0001, 0x00020003)), (FileVersion{65535, 1, 2, 3}));
}

TEST(PeVersion, NoVersionResourceNoImageOrACutOne) {
  EXPECT_FALSE(Read(Image(1, 2, false)));
  EXPECT_FALSE(Read({'M', 'Z'}));
  auto elf = Image(1, 2);
  elf[0] = 0x7F;
  EXPECT_FALSE(Read(elf));
  const auto good = Image(0x00010002, 0x00030004);
  // A cut file is refused, or read right when what is left holds the version.
  for (std::size_t cut = 0; cut < good.size(); cut += 16) {
    const auto read = Read(std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)));
    EXPECT_TRUE(!read || *read == (FileVersion{1, 2, 3, 4})) << cut;
  }
}

}  // namespace
}  // namespace nudgelet::platform
