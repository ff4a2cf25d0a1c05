#include "platform/RegistryValue.h"

#include "base/ByteOrder.h"
#include "base/Strings.h"

namespace nudgelet::platform {

RegistryValue RegistryValue::FromString(const std::wstring& text, RegistryValueType type) {
  RegistryValue v;
  v.type = type;
  v.data = WideToUtf16Le(text);
  v.data.push_back(0);
  v.data.push_back(0);
  return v;
}

RegistryValue RegistryValue::FromDword(std::uint32_t value) {
  RegistryValue v;
  v.type = RegistryValueType::Dword;
  for (int i = 0; i < 4; ++i) v.data.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  return v;
}

RegistryValue RegistryValue::FromQword(std::uint64_t value) {
  RegistryValue v;
  v.type = RegistryValueType::Qword;
  for (int i = 0; i < 8; ++i) v.data.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  return v;
}

namespace {

std::wstring Utf16UpToNul(const std::vector<std::uint8_t>& data, std::size_t from, std::size_t& end) {
  std::size_t i = from;
  while (i + 1 < data.size() && (data[i] != 0 || data[i + 1] != 0)) i += 2;
  end = i;
  return Utf16LeToWide(data.data() + from, i - from);
}

}  // namespace

std::wstring RegistryValueAsText(const RegistryValue& value) {
  const auto& d = value.data;
  switch (value.type) {
    case RegistryValueType::String:
    case RegistryValueType::ExpandString:
    case RegistryValueType::Link: {
      std::size_t end = 0;
      return Utf16UpToNul(d, 0, end);
    }
    case RegistryValueType::MultiString: {
      std::wstring text;
      std::size_t pos = 0;
      bool first = true;
      while (pos + 1 < d.size()) {
        std::size_t end = 0;
        std::wstring part = Utf16UpToNul(d, pos, end);
        if (part.empty()) break;  // the empty string ends the list
        if (!first) text += L"\r\n";
        text += part;
        first = false;
        pos = end + 2;
      }
      return text;
    }
    case RegistryValueType::Dword:
      if (d.size() == 4) return std::to_wstring(ReadLe32(d.data()));
      break;
    case RegistryValueType::DwordBigEndian:
      if (d.size() == 4) return std::to_wstring(ReadBe32(d.data()));
      break;
    case RegistryValueType::Qword:
      if (d.size() == 8) return std::to_wstring(ReadLe64(d.data()));
      break;
    default:
      break;
  }
  static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
  std::wstring hex;
  hex.reserve(d.size() * 2);
  for (std::uint8_t b : d) {
    hex.push_back(kHex[b >> 4]);
    hex.push_back(kHex[b & 0xF]);
  }
  return hex;
}

std::optional<std::uint32_t> RegistryValueAsDword(const RegistryValue& value) {
  if (value.type != RegistryValueType::Dword || value.data.size() != 4) return std::nullopt;
  return ReadLe32(value.data.data());
}

}  // namespace nudgelet::platform
