#include "platform/RegFile.h"

#include <fstream>
#include <iterator>
#include <optional>

#include "base/Numbers.h"
#include "base/Strings.h"
#include "base/TextEncoding.h"

namespace nudgelet::platform {

RegFileError::RegFileError(const std::string& source, int line, const std::string& problem)
    : std::runtime_error(source + ":" + std::to_string(line) + ": " + problem), line_(line) {}

namespace {

enum class Format { Version5, Regedit4 };

struct LogicalLine {
  std::wstring text;
  int number = 0;
};

class Parser {
 public:
  Parser(InMemoryRegistry& registry, std::string source) : registry_(registry), source_(std::move(source)) {}

  void Run(const std::vector<std::uint8_t>& bytes) {
    const auto lines = SplitLines(DecodeText(bytes).text);
    std::size_t i = 0;
    while (i < lines.size() && TrimView(lines[i]).empty()) ++i;
    if (i == lines.size()) Fail(1, "empty file: expected \"Windows Registry Editor Version 5.00\" or \"REGEDIT4\"");
    const std::wstring header = Trim(lines[i]);
    if (header == L"Windows Registry Editor Version 5.00") {
      format_ = Format::Version5;
    } else if (header == L"REGEDIT4") {
      format_ = Format::Regedit4;
    } else {
      Fail(static_cast<int>(i) + 1,
           "not a registry file: expected \"Windows Registry Editor Version 5.00\" or \"REGEDIT4\"");
    }
    for (++i; i < lines.size(); ++i) {
      LogicalLine line{lines[i], static_cast<int>(i) + 1};
      // Hex data continues over lines that end with a backslash.
      while (IsHexValue(line.text) && EndsWithBackslash(line.text) && i + 1 < lines.size()) {
        std::wstring_view t = TrimView(line.text);
        line.text = std::wstring(t.substr(0, t.size() - 1)) + Trim(lines[++i]);
      }
      HandleLine(line);
    }
  }

 private:
  [[noreturn]] void Fail(int line, const std::string& problem) const { throw RegFileError(source_, line, problem); }

  static bool EndsWithBackslash(const std::wstring& text) {
    auto t = TrimView(text);
    return !t.empty() && t.back() == L'\\';
  }

  static bool IsHexValue(const std::wstring& text) {
    auto t = TrimView(text);
    if (t.empty() || (t[0] != L'"' && t[0] != L'@')) return false;
    const auto eq = t.find(L"=hex");
    return eq != std::wstring_view::npos;
  }

  void HandleLine(const LogicalLine& line) {
    const std::wstring_view t = TrimView(line.text);
    if (t.empty() || t[0] == L';') return;
    if (t[0] == L'[') return HandleKey(t, line.number);
    if (t[0] == L'"' || t[0] == L'@') return HandleValue(t, line.number);
    Fail(line.number, "expected a [key] or a \"name\"=value line");
  }

  void HandleKey(std::wstring_view t, int number) {
    if (t.back() != L']') Fail(number, "key line does not end with ']'");
    std::wstring_view inner = t.substr(1, t.size() - 2);
    const bool remove = !inner.empty() && inner[0] == L'-';
    if (remove) inner.remove_prefix(1);
    const auto slash = inner.find(L'\\');
    const std::wstring rootName(inner.substr(0, slash));
    const auto root = RegistryRootFromName(rootName);
    if (!root) Fail(number, "unknown root key \"" + WideToUtf8(rootName) + "\"");
    const std::wstring path = slash == std::wstring_view::npos ? L"" : std::wstring(inner.substr(slash + 1));
    if (remove) {
      registry_.DeleteKey(*root, path);
      current_.reset();
      return;
    }
    registry_.CreateKey(*root, path);
    current_ = CurrentKey{*root, path};
  }

  // Reads a quoted string starting at pos (which holds the opening quote); returns
  // the text and leaves pos after the closing quote.
  std::wstring ReadQuoted(std::wstring_view t, std::size_t& pos, int number) const {
    std::wstring out;
    ++pos;
    while (pos < t.size()) {
      const wchar_t c = t[pos++];
      if (c == L'"') return out;
      if (c == L'\\') {
        if (pos >= t.size()) break;
        const wchar_t e = t[pos++];
        if (e == L'\\' || e == L'"') out.push_back(e);
        else if (e == L'n') out.push_back(L'\n');
        else if (e == L'r') out.push_back(L'\r');
        else if (e == L'0') out.push_back(L'\0');
        else {
          out.push_back(L'\\');
          out.push_back(e);
        }
        continue;
      }
      out.push_back(c);
    }
    Fail(number, "string is not closed with '\"'");
  }

  void HandleValue(std::wstring_view t, int number) {
    if (!current_) Fail(number, "value outside of a key");
    std::size_t pos = 0;
    std::wstring name;
    if (t[0] == L'@') {
      pos = 1;
    } else {
      name = ReadQuoted(t, pos, number);
    }
    while (pos < t.size() && (t[pos] == L' ' || t[pos] == L'\t')) ++pos;
    if (pos >= t.size() || t[pos] != L'=') Fail(number, "expected '=' after the value name");
    ++pos;
    while (pos < t.size() && (t[pos] == L' ' || t[pos] == L'\t')) ++pos;
    const std::wstring_view data = t.substr(pos);

    if (data == L"-") {
      registry_.DeleteValue(current_->root, current_->path, name);
      return;
    }
    registry_.SetValue(current_->root, current_->path, name, ParseData(data, number));
  }

  RegistryValue ParseData(std::wstring_view data, int number) const {
    if (!data.empty() && data[0] == L'"') {
      std::size_t pos = 0;
      std::wstring text = ReadQuoted(data, pos, number);
      if (!TrimView(data.substr(pos)).empty()) Fail(number, "unexpected text after the closing '\"'");
      return RegistryValue::FromString(text);
    }
    if (data.rfind(L"dword:", 0) == 0) {
      const std::wstring_view digits = data.substr(6);
      if (digits.empty() || digits.size() > 8) Fail(number, "dword needs 1 to 8 hexadecimal digits");
      const auto v = ParseDigits(digits, 16);
      if (!v) Fail(number, "dword holds a character that is not a hexadecimal digit");
      return RegistryValue::FromDword(static_cast<std::uint32_t>(*v));
    }
    if (data.rfind(L"hex", 0) == 0) return ParseHex(data, number);
    Fail(number, "unknown value data: expected \"string\", dword:, hex: or hex(n):");
  }

  RegistryValue ParseHex(std::wstring_view data, int number) const {
    RegistryValue value;
    std::size_t pos = 3;
    value.type = RegistryValueType::Binary;
    if (pos < data.size() && data[pos] == L'(') {
      const auto close = data.find(L')', pos);
      if (close == std::wstring_view::npos || close == pos + 1 || close - pos > 9)
        Fail(number, "hex(n): needs a hexadecimal type number");
      const auto type = ParseDigits(data.substr(pos + 1, close - pos - 1), 16);
      if (!type) Fail(number, "hex(n): needs a hexadecimal type number");
      value.type = static_cast<RegistryValueType>(*type);
      pos = close + 1;
    }
    if (pos >= data.size() || data[pos] != L':') Fail(number, "expected ':' after hex");
    ++pos;

    std::vector<std::uint8_t> bytes;
    std::wstring_view rest = data.substr(pos);
    std::size_t k = 0;
    while (k < rest.size()) {
      while (k < rest.size() && (rest[k] == L' ' || rest[k] == L'\t')) ++k;
      if (k >= rest.size()) break;
      const int hi = HexDigitValue(rest[k]);
      if (hi < 0) Fail(number, "hex data holds a character that is not a hexadecimal digit");
      int byte = hi;
      ++k;
      if (k < rest.size() && HexDigitValue(rest[k]) >= 0) byte = byte * 16 + HexDigitValue(rest[k++]);
      bytes.push_back(static_cast<std::uint8_t>(byte));
      while (k < rest.size() && (rest[k] == L' ' || rest[k] == L'\t')) ++k;
      if (k < rest.size()) {
        if (rest[k] != L',') Fail(number, "hex bytes must be separated by ','");
        ++k;
      }
      if (bytes.size() > kMaxRegistryValueBytes) Fail(number, "hex data is larger than 1 MiB");
    }

    const bool textual = value.type == RegistryValueType::String || value.type == RegistryValueType::ExpandString ||
                         value.type == RegistryValueType::MultiString;
    if (format_ == Format::Regedit4 && textual) {
      // REGEDIT4 writes text one byte a character; the registry holds UTF-16.
      const std::wstring text =
          DecodeUtf8OrLatin1(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
      bytes = WideToUtf16Le(text);
    }
    value.data = std::move(bytes);
    return value;
  }

  struct CurrentKey {
    RegistryRoot root;
    std::wstring path;
  };

  InMemoryRegistry& registry_;
  std::string source_;
  Format format_ = Format::Version5;
  std::optional<CurrentKey> current_;
};

}  // namespace

void LoadRegFile(InMemoryRegistry& registry, const std::vector<std::uint8_t>& bytes, const std::string& sourceName) {
  Parser(registry, sourceName).Run(bytes);
}

void LoadRegFile(InMemoryRegistry& registry, const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw RegFileError(path.string(), 0, "cannot open the file");
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LoadRegFile(registry, bytes, path.string());
}

}  // namespace nudgelet::platform
