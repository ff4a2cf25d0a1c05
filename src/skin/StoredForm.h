#pragma once
// Stored form data as text: the syntax forms are kept in and the syntax skin
// values use for anything that is not plain text.
//
//   object Name: TClass            objects nest; "inherited" and "inline" too
//     Prop = value
//     Sub.Prop = value
//   end
//
// Values: strings 'it''s' joined with character codes #13#10 (and "+" across
// lines), integers and floats, identifiers (clRed, text_color.cl_text_b, True),
// sets [a, b], lists ('a' 'b'), collections <item Prop = v end item end> and
// binary data {0A1B...}.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace nudgelet::skin {

struct FormProperty;

struct FormValue {
  enum class Kind { String, Integer, Float, Identifier, Set, List, Collection, Binary };
  Kind kind = Kind::Identifier;
  std::wstring text;                               // String, Identifier
  std::int64_t integer = 0;                        // Integer
  double number = 0;                               // Float
  std::vector<FormValue> items;                    // Set (identifiers), List
  std::vector<std::vector<FormProperty>> entries;  // Collection: one property list per item
  std::vector<std::uint8_t> bytes;                 // Binary
  int line = 0;  // of the property that holds it, for messages about it
};

// One "Name = value" of an object or a collection item.
struct FormProperty {
  FormProperty() = default;
  FormProperty(std::wstring name, FormValue value) : first(std::move(name)), second(std::move(value)) {}

  std::wstring first;  // the name, possibly a dotted path
  FormValue second;
};

struct FormObject {
  std::wstring kind;  // "object", "inherited" or "inline"
  std::wstring name;
  std::wstring className;
  std::vector<FormProperty> properties;
  std::vector<FormObject> children;
  int line = 0;  // of its "object" line
};

// A malformed text; the message names the line.
class FormSyntaxError : public std::runtime_error {
 public:
  FormSyntaxError(int line, const std::string& problem);
  int Line() const { return line_; }

 private:
  int line_;
};

// One value as a skin writes it (the whole text must be one value).
FormValue ParseFormValue(const std::wstring& text);
// A whole stored form: one top-level object.
FormObject ParseFormText(const std::wstring& text);

// Values back to text, in the same syntax (strings quoted, control characters as codes).
std::wstring FormatFormValue(const FormValue& value);

}  // namespace nudgelet::skin
