#include "base/Json.h"

#include <limits>

#include "base/Numbers.h"
#include "base/Strings.h"

namespace nudgelet {
namespace {

constexpr char kHex[] = "0123456789abcdef";

// Deep nesting can only come from a damaged or hostile file; refusing it keeps
// the recursion bounded.
constexpr int kMaxDepth = 32;

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::optional<JsonObjectFields> TopLevelObject() {
    SkipBlanks();
    JsonObjectFields fields;
    if (!Object(0, &fields)) return std::nullopt;
    SkipBlanks();
    if (pos_ != text_.size()) return std::nullopt;
    return fields;
  }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

  void SkipBlanks() {
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) ++pos_;
  }

  bool Consume(char c) {
    if (Peek() != c || AtEnd()) return false;
    ++pos_;
    return true;
  }

  // fields is null for nested objects, whose members are only checked.
  bool Object(int depth, JsonObjectFields* fields) {
    if (depth > kMaxDepth || !Consume('{')) return false;
    SkipBlanks();
    if (Consume('}')) return true;
    for (;;) {
      SkipBlanks();
      std::string name;
      if (!String(&name)) return false;
      SkipBlanks();
      if (!Consume(':')) return false;
      SkipBlanks();
      if (!Member(depth, fields, name)) return false;
      SkipBlanks();
      if (Consume('}')) return true;
      if (!Consume(',')) return false;
    }
  }

  bool Member(int depth, JsonObjectFields* fields, const std::string& name) {
    const char c = Peek();
    if (c == '"') {
      std::string value;
      if (!String(&value)) return false;
      if (fields) fields->strings[name] = Utf8ToWide(value);
      return true;
    }
    if (c == '-' || (c >= '0' && c <= '9')) {
      std::optional<std::int64_t> integer;
      if (!Number(&integer)) return false;
      if (fields && integer) fields->integers[name] = *integer;
      return true;
    }
    return Value(depth + 1);
  }

  bool Value(int depth) {
    switch (Peek()) {
      case '{':
        return Object(depth, nullptr);
      case '[':
        return Array(depth);
      case '"':
        return String(nullptr);
      case 't':
        return Literal("true");
      case 'f':
        return Literal("false");
      case 'n':
        return Literal("null");
      default: {
        std::optional<std::int64_t> ignored;
        return Number(&ignored);
      }
    }
  }

  bool Array(int depth) {
    if (depth > kMaxDepth || !Consume('[')) return false;
    SkipBlanks();
    if (Consume(']')) return true;
    for (;;) {
      SkipBlanks();
      if (!Value(depth + 1)) return false;
      SkipBlanks();
      if (Consume(']')) return true;
      if (!Consume(',')) return false;
    }
  }

  bool Literal(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  bool Digits() {
    const std::size_t start = pos_;
    while (!AtEnd() && Peek() >= '0' && Peek() <= '9') ++pos_;
    return pos_ > start;
  }

  // integer is set only for numbers without fraction or exponent that fit 64 bits.
  bool Number(std::optional<std::int64_t>* integer) {
    const std::size_t start = pos_;
    Consume('-');
    if (Peek() == '0') {
      ++pos_;
    } else if (!Digits()) {
      return false;
    }
    bool whole = true;
    if (Consume('.')) {
      whole = false;
      if (!Digits()) return false;
    }
    if (Peek() == 'e' || Peek() == 'E') {
      whole = false;
      ++pos_;
      if (!Consume('+')) Consume('-');
      if (!Digits()) return false;
    }
    integer->reset();
    if (whole) *integer = ToInteger(text_.substr(start, pos_ - start));
    return true;
  }

  static std::optional<std::int64_t> ToInteger(std::string_view digits) { return ParseDecimal(digits); }

  std::optional<unsigned> Hex4() {
    if (text_.size() - pos_ < 4) return std::nullopt;
    unsigned value = 0;
    for (int i = 0; i < 4; ++i) {
      const int d = HexDigitValue(static_cast<unsigned char>(text_[pos_++]));
      if (d < 0) return std::nullopt;
      value = (value << 4) | static_cast<unsigned>(d);
    }
    return value;
  }

  // Decodes into UTF-8; out may be null when the value is not needed.
  bool String(std::string* out) {
    if (!Consume('"')) return false;
    std::string scratch;
    std::string& value = out ? *out : scratch;
    for (;;) {
      if (AtEnd()) return false;
      const char c = text_[pos_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        value.push_back(c);
        continue;
      }
      if (AtEnd()) return false;
      switch (text_[pos_++]) {
        case '"':
          value.push_back('"');
          break;
        case '\\':
          value.push_back('\\');
          break;
        case '/':
          value.push_back('/');
          break;
        case 'b':
          value.push_back('\b');
          break;
        case 'f':
          value.push_back('\f');
          break;
        case 'n':
          value.push_back('\n');
          break;
        case 'r':
          value.push_back('\r');
          break;
        case 't':
          value.push_back('\t');
          break;
        case 'u': {
          auto unit = Hex4();
          if (!unit) return false;
          char32_t cp = *unit;
          if (cp >= 0xD800 && cp <= 0xDBFF && text_.substr(pos_, 2) == "\\u") {
            const std::size_t mark = pos_;
            pos_ += 2;
            auto low = Hex4();
            if (!low) return false;
            if (*low >= 0xDC00 && *low <= 0xDFFF) {
              cp = 0x10000 + ((cp - 0xD800) << 10) + (*low - 0xDC00);
            } else {
              pos_ = mark;  // the next escape stands on its own
            }
          }
          if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;
          AppendUtf8(value, cp);
          break;
        }
        default:
          return false;
      }
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

void AppendJsonString(std::string& out, std::wstring_view text) {
  out.push_back('"');
  for (char c : WideToUtf8(text)) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      default:
        if (u < 0x20) {
          out += "\\u00";
          out.push_back(kHex[u >> 4]);
          out.push_back(kHex[u & 0xF]);
        } else {
          out.push_back(c);
        }
    }
  }
  out.push_back('"');
}

std::string JsonString(std::wstring_view text) {
  std::string out;
  AppendJsonString(out, text);
  return out;
}

std::optional<JsonObjectFields> ParseJsonObject(std::string_view text) { return Reader(text).TopLevelObject(); }

}  // namespace nudgelet
