// libFuzzer target for stored form text and skin values: forms and skins are
// files anyone can edit, so reading them may only ever succeed or report a
// syntax error, and what is read must write back to text that reads the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/Strings.h"
#include "skin/StoredForm.h"

namespace {

using nudgelet::skin::FormProperty;
using nudgelet::skin::FormValue;

void Check(bool condition) {
  if (!condition) std::abort();
}

// Structural equality of what was read and what its text reads back as.
bool Same(const FormValue& a, const FormValue& b);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace nudgelet::skin;
  // UTF-16LE, as skins and forms are stored; lone surrogates included.
  const std::wstring text = nudgelet::Utf16LeToWide(data, size);

  try {
    const FormValue value = ParseFormValue(text);
    const std::wstring written = FormatFormValue(value);
    FormValue again;
    try {
      again = ParseFormValue(written);
    } catch (const FormSyntaxError&) {
      Check(false);  // what was written cannot be read back
    }
    Check(Same(value, again));
    Check(FormatFormValue(again) == written);
  } catch (const FormSyntaxError& e) {
    Check(e.Line() >= 1);
  }

  // The same text as a whole form, and as one property of a form.
  try {
    ParseFormText(text);
  } catch (const FormSyntaxError&) {
  }
  try {
    const FormObject form = ParseFormText(L"object Form1: TForm\n  Prop = " + text + L"\nend\n");
    Check(!form.properties.empty());
  } catch (const FormSyntaxError&) {
  }
  return 0;
}

namespace {

bool SameProperties(const std::vector<FormProperty>& a, const std::vector<FormProperty>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].first != b[i].first || !Same(a[i].second, b[i].second)) return false;
  }
  return true;
}

bool Same(const FormValue& a, const FormValue& b) {
  if (a.kind != b.kind || a.text != b.text || a.integer != b.integer || a.number != b.number || a.bytes != b.bytes ||
      a.items.size() != b.items.size() || a.entries.size() != b.entries.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.items.size(); ++i) {
    if (!Same(a.items[i], b.items[i])) return false;
  }
  for (std::size_t i = 0; i < a.entries.size(); ++i) {
    if (!SameProperties(a.entries[i], b.entries[i])) return false;
  }
  return true;
}

}  // namespace
