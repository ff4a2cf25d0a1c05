#include "settings/CustomIniFile.h"

#include <algorithm>

#include "base/Numbers.h"
#include "base/Strings.h"

namespace nudgelet {

bool ParseIniInteger(const std::wstring& text, std::int32_t& value) {
  std::wstring_view t = TrimView(text);
  bool negative = false;
  if (!t.empty() && (t.front() == L'-' || t.front() == L'+')) {
    negative = t.front() == L'-';
    t.remove_prefix(1);
  }
  unsigned base = 10;
  if (!t.empty() && t.front() == L'$') {
    base = 16;
    t.remove_prefix(1);
  } else if (t.size() > 2 && t[0] == L'0' && (t[1] == L'x' || t[1] == L'X')) {
    base = 16;
    t.remove_prefix(2);
  }
  // Hexadecimal may name the full 32 bits ($FFFFFFFF is -1); decimal must fit.
  const auto digits = ParseDigits(t, base, base == 16 ? 0xFFFFFFFFull : 0x80000000ull);
  if (!digits) return false;
  std::int64_t v = static_cast<std::int64_t>(*digits);
  if (base == 16) v = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
  if (negative) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<std::int32_t>(v);
  return true;
}

std::int32_t TCustomIniFile::ReadInteger(const std::wstring& section, const std::wstring& key,
                                         std::int32_t defaultValue) const {
  std::int32_t value = defaultValue;
  return ParseIniInteger(ReadString(section, key, L""), value) ? value : defaultValue;
}

void TCustomIniFile::WriteInteger(const std::wstring& section, const std::wstring& key, std::int32_t value) {
  WriteString(section, key, std::to_wstring(value));
}

bool TCustomIniFile::ReadBool(const std::wstring& section, const std::wstring& key, bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::wstring& section, const std::wstring& key, bool value) {
  WriteString(section, key, value ? L"1" : L"0");
}

TDateTime TCustomIniFile::ReadDateTime(const std::wstring& section, const std::wstring& key,
                                       TDateTime defaultValue) const {
  const std::wstring text = ReadString(section, key, L"");
  if (text.empty()) return defaultValue;
  return ParseSettingsDateTime(text).value_or(defaultValue);
}

void TCustomIniFile::WriteDateTime(const std::wstring& section, const std::wstring& key, TDateTime value) {
  WriteString(section, key, FormatSettingsDateTime(value));
}

bool TCustomIniFile::SectionExists(const std::wstring& section) const {
  const auto names = ReadSections();
  return std::any_of(names.begin(), names.end(), [&](const std::wstring& n) { return EqualsIgnoreCase(n, section); });
}

bool TCustomIniFile::ValueExists(const std::wstring& section, const std::wstring& key) const {
  const auto names = ReadSection(section);
  return std::any_of(names.begin(), names.end(), [&](const std::wstring& n) { return EqualsIgnoreCase(n, key); });
}

}  // namespace nudgelet
