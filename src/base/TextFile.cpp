#include "base/TextFile.h"

#include "base/Strings.h"
#include "base/TextEncoding.h"

namespace nudgelet {

TextFileLines DecodeTextFileLines(const platform::FileSystem& files, const std::vector<std::uint8_t>& bytes) {
  TextFileLines result;
  const DecodedText decoded = DecodeText(bytes, [&files](std::string_view b) {
    return IsValidUtf8(b) ? Utf8ToWide(b) : files.DecodeSystemCodePage(b);
  });
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
  return DecodeTextFileLines(files, read.bytes);
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

std::wstring ExtractFilePath(const std::wstring& path) {
  const auto pos = path.find_last_of(L"\\:");
  return pos == std::wstring::npos ? std::wstring() : path.substr(0, pos + 1);
}

std::wstring ExtractFileName(const std::wstring& path) {
  const auto pos = path.find_last_of(L"\\:");
  return pos == std::wstring::npos ? path : path.substr(pos + 1);
}

std::wstring IncludeTrailingBackslash(const std::wstring& path) {
  return !path.empty() && path.back() == L'\\' ? path : path + L'\\';
}

std::wstring ExcludeTrailingBackslash(const std::wstring& path) {
  return !path.empty() && path.back() == L'\\' ? path.substr(0, path.size() - 1) : path;
}

}  // namespace nudgelet
