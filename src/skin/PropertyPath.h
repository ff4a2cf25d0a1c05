#pragma once
// Property paths: "Font.Color", "Columns[1].Width", "ImageNormal.Text" name a
// published property reached from an object. Skin lines set values through
// them, and an object's current values are written back as such lines.

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "skin/ColorTable.h"
#include "skin/Published.h"
#include "skin/StoredForm.h"

namespace nudgelet::skin {

class PackageStore;

// A value that does not fit the property it is meant for.
class EPropertyValueError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A value as a skin line carries it: stored-form syntax when it begins with
// one of # ' ( < [ {, plain text otherwise (a number, an identifier, an
// unquoted string; empty included).
struct SkinValue {
  std::optional<FormValue> form;
  std::wstring plain;
};
SkinValue ReadSkinValue(std::wstring_view text);

struct PropertyContext {
  // Where descriptor pictures find their resources and colour identifiers
  // their table; without one, pictures are left alone and colours are kept
  // as identifiers.
  PackageStore* store = nullptr;
  // Skin pictures replace descriptors that did not come from a skin.
  bool forceSkinPictures = false;
};

// Sets the property that `path` names. False when the path names nothing
// that can be set (an unknown property, an item beyond the collection, a
// picture that stays); EPropertyValueError when the value does not fit.
bool SetPropertyPath(TPersistent& object, std::wstring_view path, const SkinValue& value,
                     const PropertyContext& context);
bool SetPropertyPath(TPersistent& object, std::wstring_view path, std::wstring_view value,
                     const PropertyContext& context);

// The object's published, stored properties as key=value lines in stored-form
// syntax: sub-objects as dotted paths, collections as <item .. end> values,
// descriptor pictures as their "Text" lists. `skip` leaves out paths.
std::vector<std::wstring> WritePropertyLines(TPersistent& object, const ColorTable* colors,
                                             const std::function<bool(const std::wstring& path)>& skip);

// One value as stored-form text.
std::wstring FormatPropertyValue(const PropertyInfo& info, const PropValue& value, const ColorTable* colors);

}  // namespace nudgelet::skin
