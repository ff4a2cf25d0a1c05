#pragma once
// Reading the product's text files (settings, language files, caches) as lines.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/TextEncoding.h"
#include "platform/FileSystem.h"

namespace nudgelet {

// No settings or language file comes near this; a larger one is not ours.
inline constexpr std::uint64_t kMaxTextFileBytes = 8u << 20;

struct TextFileLines {
  std::vector<std::wstring> lines;
  std::uint32_t error = 0;  // Windows error code; 0 when the lines were read
};

// Reads a text file with shared access and splits it into lines. The encoding
// comes from the byte-order mark (UTF-16 either way round, UTF-8); without one,
// valid UTF-8 is read as UTF-8 and anything else in the system's code page.
// Text that holds NUL characters is binary, not text: it fails with kInvalidData,
// as do files over kMaxTextFileBytes (kFileTooLarge).
TextFileLines ReadTextFileLines(const platform::FileSystem& files, const std::wstring& path);

// The same rules over bytes already read; text without a byte-order mark that
// is not valid UTF-8 goes to codePage.
TextFileLines DecodeTextFileLines(const std::vector<std::uint8_t>& bytes, const NoBomDecoder& codePage);

// UTF-16LE with byte-order mark, every line ended by CR LF: how the program writes text files.
std::vector<std::uint8_t> EncodeUtf16LeLines(const std::vector<std::wstring>& lines);

}  // namespace nudgelet
