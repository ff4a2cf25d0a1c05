#include "settings/TextFile.h"

#include "base/Strings.h"

namespace nudgelet {

TextFileLines DecodeTextFileLines(const std::vector<std::uint8_t>& bytes, const NoBomDecoder& codePage) {
  TextFileLines result;
  const DecodedText decoded =
      DecodeText(bytes, [&codePage](std::string_view b) { return IsValidUtf8(b) ? Utf8ToWide(b) : codePage(b); });
  if (decoded.text.find(L'\0') != std::wstring::npos) {
    result.error = platform::os_error::kInvalidData;
    return result;
  }
  result.lines = SplitLines(decoded.text);
  return result;
}

TextFileLines ReadTextFileLines(const platform::FileSystem& files, const std::wstring& path) {
  auto read = files.ReadFile(path, kMaxTextFileBytes);
  if (read.error != 0) {
    TextFileLines result;
    result.error = read.error;
    return result;
  }
  return DecodeTextFileLines(read.bytes, [&files](std::string_view b) { return files.DecodeSystemCodePage(b); });
}

std::vector<std::uint8_t> EncodeUtf16LeLines(const std::vector<std::wstring>& lines) {
  std::wstring text;
  for (const auto& line : lines) {
    text += line;
    text += L"\r\n";
  }
  std::vector<std::uint8_t> bytes{0xFF, 0xFE};
  const auto body = WideToUtf16Le(text);
  bytes.insert(bytes.end(), body.begin(), body.end());
  return bytes;
}

}  // namespace nudgelet
