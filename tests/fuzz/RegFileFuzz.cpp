// libFuzzer target for the .reg reader of the native tools: any bytes either
// load or stop with the reader's own error at a line of the file. A registry
// that loaded, written out again as regedit would (every value as hex(type)),
// loads into the very same keys and values; and every value, of whatever type
// and size, reads as text the way the inventory reads it.
#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "FuzzSupport.h"
#include "base/Strings.h"
#include "base/TextEncoding.h"
#include "platform/RegFile.h"

namespace {

using namespace nudgelet::platform;
using nudgelet::fuzz::Check;

const std::pair<RegistryRoot, const wchar_t*> kRoots[] = {
    {RegistryRoot::ClassesRoot, L"HKEY_CLASSES_ROOT"},     {RegistryRoot::CurrentUser, L"HKEY_CURRENT_USER"},
    {RegistryRoot::LocalMachine, L"HKEY_LOCAL_MACHINE"},   {RegistryRoot::Users, L"HKEY_USERS"},
    {RegistryRoot::CurrentConfig, L"HKEY_CURRENT_CONFIG"},
};

std::wstring Quoted(const std::wstring& name) {
  std::wstring out = L"\"";
  for (wchar_t c : name) {
    switch (c) {
      case L'\\':
        out += L"\\\\";
        break;
      case L'"':
        out += L"\\\"";
        break;
      case L'\n':
        out += L"\\n";
        break;
      case L'\r':
        out += L"\\r";
        break;
      case L'\0':
        out += L"\\0";
        break;
      default:
        out += c;
    }
  }
  return out + L"\"";
}

// Every key with its values, keyed by full path as the registry spells it.
using Dump = std::map<std::wstring, std::map<std::wstring, std::pair<RegistryValueType, std::vector<std::uint8_t>>>>;

// The export spells out every key's full path, so it grows with the square of
// how deep keys nest: half a megabyte of one key inside the next would export
// to terabytes. Past this many characters only the loading counts; the deepest
// file of 8 KiB stays well within it.
constexpr std::size_t kMaxExportChars = std::size_t{1} << 25;

bool Walk(const InMemoryRegistry& registry, RegistryRoot root, const std::wstring& rootName, Dump& dump,
          std::wstring& text) {
  // Depth first, without recursion: keys may nest as deep as a file can say.
  // Each key is opened from its parent, as the inventory walks the registry.
  std::vector<std::pair<std::wstring, std::unique_ptr<RegistryKey>>> pending;
  pending.emplace_back(L"", registry.OpenReadOnly(root, L"", RegistryView::Default));
  while (!pending.empty()) {
    if (text.size() > kMaxExportChars) return false;
    const std::wstring path = std::move(pending.back().first);
    const std::unique_ptr<RegistryKey> key = std::move(pending.back().second);
    pending.pop_back();
    Check(key != nullptr);
    const std::wstring full = path.empty() ? rootName : rootName + L"\\" + path;
    auto& values = dump[full];
    text += L"\r\n[" + full + L"]\r\n";
    for (const auto& name : key->ValueNames()) {
      const auto value = key->ReadValue(name);
      Check(value.has_value());
      values[name] = {value->type, value->data};
      // The inventory reads values of any type as text: never with a NUL in it.
      Check(RegistryValueAsText(*value).find(L'\0') == std::wstring::npos);
      if (RegistryValueAsDword(*value)) Check(value->type == RegistryValueType::Dword && value->data.size() == 4);
      wchar_t type[16];
      std::swprintf(type, 16, L"%x", static_cast<unsigned>(value->type));
      text += (name.empty() ? std::wstring(L"@") : Quoted(name)) + L"=hex(" + type + L"):";
      for (std::size_t i = 0; i < value->data.size(); ++i) {
        wchar_t byte[4];
        std::swprintf(byte, 4, L"%02x", value->data[i]);
        text += (i ? L"," : L"") + std::wstring(byte);
      }
      text += L"\r\n";
    }
    for (const auto& name : key->SubKeyNames()) {
      pending.emplace_back(path.empty() ? name : path + L"\\" + name, key->OpenSubKey(name));
    }
  }
  return true;
}

std::optional<Dump> Export(const InMemoryRegistry& registry, std::wstring& text) {
  Dump dump;
  text = L"Windows Registry Editor Version 5.00\r\n";
  for (const auto& [root, name] : kRoots) {
    if (!Walk(registry, root, name, dump, text)) return std::nullopt;
  }
  return dump;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);
  InMemoryRegistry registry;
  try {
    LoadRegFile(registry, bytes, "fuzz.reg");
  } catch (const RegFileError& e) {
    const auto lines = nudgelet::SplitLines(nudgelet::DecodeText(bytes).text).size();
    Check(e.Line() >= 1 && static_cast<std::size_t>(e.Line()) <= std::max<std::size_t>(lines, 1));
    return 0;
  }
  std::wstring text;
  const auto loaded = Export(registry, text);
  if (!loaded) return 0;
  std::vector<std::uint8_t> file{0xFF, 0xFE};
  const auto body = nudgelet::WideToUtf16Le(text);
  file.insert(file.end(), body.begin(), body.end());
  InMemoryRegistry again;
  try {
    LoadRegFile(again, file, "exported.reg");
  } catch (const RegFileError&) {
    Check(false);
  }
  std::wstring ignored;
  Check(Export(again, ignored) == loaded);
  return 0;
}
