#pragma once
// Decoding of whole text files by their byte-order mark.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace nudgelet {

enum class TextEncoding { Utf16Le, Utf16Be, Utf8WithBom, NoBom };

struct DecodedText {
  std::wstring text;
  TextEncoding encoding = TextEncoding::NoBom;
};

// Text without a byte-order mark is handed to this decoder.
using NoBomDecoder = std::function<std::wstring(std::string_view)>;

// Strict UTF-8 when the bytes are valid UTF-8, else one byte a character.
std::wstring DecodeUtf8OrLatin1(std::string_view bytes);
bool IsValidUtf8(std::string_view bytes);

DecodedText DecodeText(const std::vector<std::uint8_t>& bytes, const NoBomDecoder& noBom = DecodeUtf8OrLatin1);

// Splits at CR LF, LF or a lone CR. A final line break does not add an empty line.
std::vector<std::wstring> SplitLines(std::wstring_view text);

}  // namespace nudgelet
