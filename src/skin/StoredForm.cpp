#include "skin/StoredForm.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/Numbers.h"
#include "base/Strings.h"

namespace nudgelet::skin {

FormSyntaxError::FormSyntaxError(int line, const std::string& problem)
    : std::runtime_error("line " + std::to_string(line) + ": " + problem), line_(line) {}

namespace {

// Nesting of lists, sets and collections this deep is no form of ours.
constexpr int kMaxDepth = 64;

class Parser {
 public:
  explicit Parser(const std::wstring& text) : t_(text) {}

  FormValue Value(int depth = 0) {
    if (depth > kMaxDepth) Fail("values nested too deeply");
    SkipBlanks();
    if (AtEnd()) Fail("a value is missing");
    const wchar_t c = t_[pos_];
    if (c == L'\'' || c == L'#') return StringValue();
    if (c == L'[') return SetValue();
    if (c == L'(') return ListValue(depth);
    if (c == L'<') return CollectionValue(depth);
    if (c == L'{') return BinaryValue();
    if (c == L'-' || c == L'+' || IsDigit(c)) return NumberValue();
    if (IsIdentStart(c)) {
      FormValue v;
      v.kind = FormValue::Kind::Identifier;
      v.text = Identifier();
      return v;
    }
    Fail("unexpected character '" + WideToUtf8(std::wstring(1, c)) + "'");
  }

  FormObject Object(int depth = 0) {
    if (depth > kMaxDepth) Fail("objects nested too deeply");
    FormObject object;
    SkipBlanks();
    object.line = line_;
    object.kind = ToLower(Identifier());
    if (object.kind != L"object" && object.kind != L"inherited" && object.kind != L"inline") {
      Fail("expected \"object\"");
    }
    SkipBlanks();
    std::wstring first = Identifier();
    SkipBlanks();
    if (Peek() == L':') {
      ++pos_;
      SkipBlanks();
      object.name = first;
      object.className = Identifier();
    } else {
      object.className = first;
    }
    SkipBlanks();
    if (Peek() == L'[') {  // an index of inherited children: kept out of the model
      while (!AtEnd() && t_[pos_] != L']') ++pos_;
      Expect(L']');
    }
    while (true) {
      SkipBlanks();
      if (AtEnd()) Fail("\"end\" is missing for object " + WideToUtf8(object.name));
      const std::size_t mark = pos_;
      const int markLine = line_;
      const std::wstring word = Identifier();
      const std::wstring lower = ToLower(word);
      if (lower == L"end") return object;
      if (lower == L"object" || lower == L"inherited" || lower == L"inline") {
        pos_ = mark;
        line_ = markLine;
        object.children.push_back(Object(depth + 1));
        continue;
      }
      SkipBlanks();
      Expect(L'=');
      object.properties.emplace_back(word, Value(depth + 1));
      object.properties.back().second.line = markLine;
    }
  }

  void SkipBlanks() {
    while (!AtEnd() && (t_[pos_] == L' ' || t_[pos_] == L'\t' || t_[pos_] == L'\r' || t_[pos_] == L'\n')) {
      if (t_[pos_] == L'\n') ++line_;
      ++pos_;
    }
  }
  bool AtEnd() const { return pos_ >= t_.size(); }
  [[noreturn]] void Fail(const std::string& problem) const { throw FormSyntaxError(line_, problem); }

 private:
  wchar_t Peek() const { return AtEnd() ? L'\0' : t_[pos_]; }
  static bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
  static bool IsIdentStart(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_' || c > 0x7F;
  }
  static bool IsIdentPart(wchar_t c) { return IsIdentStart(c) || IsDigit(c) || c == L'.'; }

  void Expect(wchar_t c) {
    if (Peek() != c) Fail("expected '" + WideToUtf8(std::wstring(1, c)) + "'");
    ++pos_;
  }

  std::wstring Identifier() {
    if (AtEnd() || !IsIdentStart(t_[pos_])) Fail("expected a name");
    const std::size_t start = pos_;
    while (!AtEnd() && IsIdentPart(t_[pos_])) ++pos_;
    return t_.substr(start, pos_ - start);
  }

  FormValue StringValue() {
    FormValue v;
    v.kind = FormValue::Kind::String;
    while (true) {
      if (Peek() == L'\'') {
        ++pos_;
        while (true) {
          if (AtEnd() || t_[pos_] == L'\n') Fail("string is not closed with '");
          if (t_[pos_] == L'\'') {
            if (pos_ + 1 < t_.size() && t_[pos_ + 1] == L'\'') {
              v.text += L'\'';
              pos_ += 2;
              continue;
            }
            ++pos_;
            break;
          }
          v.text += t_[pos_++];
        }
      } else if (Peek() == L'#') {
        ++pos_;
        long code = 0;
        int digits = 0;
        while (!AtEnd() && IsDigit(t_[pos_]) && digits < 7) {
          code = code * 10 + (t_[pos_++] - L'0');
          ++digits;
        }
        if (digits == 0 || code > 0xFFFF) Fail("a character code needs a number up to 65535");
        v.text += static_cast<wchar_t>(code);
      } else {
        // A "+" joins the next part, possibly on the next line.
        const std::size_t mark = pos_;
        const int markLine = line_;
        SkipBlanks();
        if (Peek() == L'+') {
          ++pos_;
          SkipBlanks();
          if (Peek() != L'\'' && Peek() != L'#') Fail("a string part must follow '+'");
          continue;
        }
        pos_ = mark;
        line_ = markLine;
        return v;
      }
    }
  }

  FormValue NumberValue() {
    const std::size_t start = pos_;
    if (Peek() == L'-' || Peek() == L'+') ++pos_;
    bool isFloat = false;
    while (!AtEnd() && (IsDigit(t_[pos_]) || t_[pos_] == L'.' || t_[pos_] == L'e' || t_[pos_] == L'E' ||
                        ((t_[pos_] == L'-' || t_[pos_] == L'+') && (t_[pos_ - 1] == L'e' || t_[pos_ - 1] == L'E')))) {
      isFloat = isFloat || !IsDigit(t_[pos_]);
      ++pos_;
    }
    const std::string text = WideToUtf8(t_.substr(start, pos_ - start));
    FormValue v;
    char* end = nullptr;
    if (isFloat) {
      v.kind = FormValue::Kind::Float;
      v.number = std::strtod(text.c_str(), &end);
      if (end != text.c_str() + text.size() || !std::isfinite(v.number)) Fail("not a number: " + text);
    } else {
      v.kind = FormValue::Kind::Integer;
      const auto integer = ParseDecimal(std::string_view(text));
      if (!integer) Fail("not a number: " + text);
      v.integer = *integer;
    }
    return v;
  }

  FormValue SetValue() {
    FormValue v;
    v.kind = FormValue::Kind::Set;
    Expect(L'[');
    SkipBlanks();
    while (Peek() != L']') {
      FormValue member;
      member.kind = FormValue::Kind::Identifier;
      member.text = Identifier();
      v.items.push_back(member);
      SkipBlanks();
      if (Peek() == L',') {
        ++pos_;
        SkipBlanks();
      } else if (Peek() != L']') {
        Fail("set members are separated by ','");
      }
    }
    ++pos_;
    return v;
  }

  FormValue ListValue(int depth) {
    FormValue v;
    v.kind = FormValue::Kind::List;
    Expect(L'(');
    while (true) {
      SkipBlanks();
      if (AtEnd()) Fail("list is not closed with ')'");
      if (Peek() == L')') {
        ++pos_;
        return v;
      }
      v.items.push_back(Value(depth + 1));
    }
  }

  FormValue CollectionValue(int depth) {
    FormValue v;
    v.kind = FormValue::Kind::Collection;
    Expect(L'<');
    while (true) {
      SkipBlanks();
      if (Peek() == L'>') {
        ++pos_;
        return v;
      }
      if (ToLower(Identifier()) != L"item") Fail("expected \"item\" or '>'");
      std::vector<FormProperty> entry;
      while (true) {
        SkipBlanks();
        const std::wstring name = Identifier();
        if (ToLower(name) == L"end") break;
        SkipBlanks();
        Expect(L'=');
        entry.emplace_back(name, Value(depth + 1));
      }
      v.entries.push_back(std::move(entry));
    }
  }

  FormValue BinaryValue() {
    FormValue v;
    v.kind = FormValue::Kind::Binary;
    Expect(L'{');
    int high = -1;
    while (true) {
      SkipBlanks();
      if (AtEnd()) Fail("binary data is not closed with '}'");
      const wchar_t c = t_[pos_++];
      if (c == L'}') break;
      const int d = HexDigitValue(c);
      if (d < 0) Fail("binary data holds a character that is not a hexadecimal digit");
      if (high < 0) {
        high = d;
      } else {
        v.bytes.push_back(static_cast<std::uint8_t>(high * 16 + d));
        high = -1;
      }
    }
    if (high >= 0) Fail("binary data has an odd number of digits");
    return v;
  }

  const std::wstring& t_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

void AppendString(std::wstring& out, const std::wstring& text) {
  if (text.empty()) {
    out += L"''";
    return;
  }
  bool quoted = false;
  for (wchar_t c : text) {
    if (c < 0x20) {
      if (quoted) out += L'\'';
      quoted = false;
      out += L'#' + std::to_wstring(static_cast<int>(c));
      continue;
    }
    if (!quoted) out += L'\'';
    quoted = true;
    out += c;
    if (c == L'\'') out += L'\'';
  }
  if (quoted) out += L'\'';
}

}  // namespace

FormValue ParseFormValue(const std::wstring& text) {
  Parser parser(text);
  FormValue value = parser.Value();
  parser.SkipBlanks();
  if (!parser.AtEnd()) parser.Fail("unexpected text after the value");
  return value;
}

FormObject ParseFormText(const std::wstring& text) {
  Parser parser(text);
  FormObject object = parser.Object();
  parser.SkipBlanks();
  if (!parser.AtEnd()) parser.Fail("unexpected text after the last \"end\"");
  return object;
}

std::wstring FormatFormValue(const FormValue& v) {
  std::wstring out;
  switch (v.kind) {
    case FormValue::Kind::String:
      AppendString(out, v.text);
      break;
    case FormValue::Kind::Integer:
      out = std::to_wstring(v.integer);
      break;
    case FormValue::Kind::Float: {
      char buffer[40];
      std::snprintf(buffer, sizeof buffer, "%.17g", v.number);
      out = Utf8ToWide(buffer);
      if (out.find_first_of(L".eE") == std::wstring::npos) out += L".0";
      break;
    }
    case FormValue::Kind::Identifier:
      out = v.text;
      break;
    case FormValue::Kind::Set:
      out = L"[";
      for (std::size_t i = 0; i < v.items.size(); ++i) out += (i ? L", " : L"") + v.items[i].text;
      out += L"]";
      break;
    case FormValue::Kind::List:
      out = L"(";
      for (std::size_t i = 0; i < v.items.size(); ++i) out += (i ? L" " : L"") + FormatFormValue(v.items[i]);
      out += L")";
      break;
    case FormValue::Kind::Collection:
      out = L"<";
      for (const auto& entry : v.entries) {
        out += L" item";
        for (const auto& [name, value] : entry) out += L" " + name + L" = " + FormatFormValue(value);
        out += L" end";
      }
      out += L">";
      break;
    case FormValue::Kind::Binary: {
      static const wchar_t* const kHex = L"0123456789ABCDEF";
      out = L"{";
      for (std::uint8_t b : v.bytes) {
        out += kHex[b >> 4];
        out += kHex[b & 15];
      }
      out += L"}";
      break;
    }
  }
  return out;
}

}  // namespace nudgelet::skin
