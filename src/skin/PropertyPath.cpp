#include "skin/PropertyPath.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "base/Coordinates.h"
#include "base/Numbers.h"
#include "base/Strings.h"
#include "skin/PackageStore.h"
#include "skin/Picture.h"
#include "skin/RdgImage.h"

namespace nudgelet::skin {
namespace {

[[noreturn]] void InvalidIdent(std::wstring_view identifier) {
  throw EPropertyValueError("Invalid Ident value: " + WideToUtf8(identifier));
}

[[noreturn]] void InvalidValue(const PropertyInfo& info) {
  throw EPropertyValueError("Invalid property value for " + WideToUtf8(info.name));
}

// "12", "-3", "$1F": the integer forms plain skin text uses.
std::optional<std::int64_t> PlainInteger(std::wstring_view text) {
  text = TrimView(text);
  if (!text.empty() && text.front() == L'$') {
    const auto digits = ParseDigits(text.substr(1), 16, std::numeric_limits<std::int64_t>::max());
    return digits ? std::optional<std::int64_t>(static_cast<std::int64_t>(*digits)) : std::nullopt;
  }
  return ParseDecimal(text);
}

std::optional<double> PlainFloat(std::wstring_view text) {
  text = TrimView(text);
  if (text.empty()) return std::nullopt;
  const std::string narrow = WideToUtf8(text);
  char* end = nullptr;
  const double value = std::strtod(narrow.c_str(), &end);
  if (*end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::int64_t IdentifierIndex(const PropertyInfo& info, std::wstring_view name) {
  name = TrimView(name);
  for (std::size_t i = 0; i < info.identifiers.size(); ++i) {
    if (EqualsIgnoreCase(info.identifiers[i], name)) return static_cast<std::int64_t>(i);
  }
  InvalidIdent(name);
}

std::int64_t SetMask(const PropertyInfo& info, const std::vector<std::wstring>& names) {
  std::int64_t mask = 0;
  for (const auto& name : names) {
    if (TrimView(name).empty()) continue;
    const std::int64_t index = IdentifierIndex(info, name);
    if (index < 63) mask |= std::int64_t{1} << index;
  }
  return mask;
}

std::vector<std::wstring> ListLines(const PropertyInfo& info, const FormValue& list) {
  std::vector<std::wstring> lines;
  for (const auto& item : list.items) {
    if (item.kind != FormValue::Kind::String && item.kind != FormValue::Kind::Identifier) InvalidValue(info);
    lines.push_back(item.text);
  }
  return lines;
}

Color ColorOf(std::wstring_view text, const PropertyContext& context) {
  if (context.store) return context.store->Colors().IdentToColor(text);
  if (auto number = ParseColorInteger(text)) return *number;
  return ColorIdOf(TrimView(text));
}

// The property's value from a skin value of plain text.
PropValue FromPlain(const PropertyInfo& info, const std::wstring& text, const PropertyContext& context) {
  switch (info.kind) {
    case PropKind::Integer:
      if (auto n = PlainInteger(text)) return *n;
      InvalidIdent(text);
    case PropKind::Boolean:
      if (EqualsIgnoreCase(TrimView(text), L"True")) return std::int64_t{1};
      if (EqualsIgnoreCase(TrimView(text), L"False")) return std::int64_t{0};
      InvalidIdent(text);
    case PropKind::Enumeration:
      return IdentifierIndex(info, text);
    case PropKind::Set: {
      std::vector<std::wstring> names;
      std::size_t start = 0;
      for (std::size_t comma; (comma = text.find(L',', start)) != std::wstring::npos; start = comma + 1) {
        names.push_back(text.substr(start, comma - start));
      }
      names.push_back(text.substr(start));
      return SetMask(info, names);
    }
    case PropKind::Color:
      return std::int64_t{ColorOf(text, context)};
    case PropKind::String:
      return text;
    case PropKind::Float:
      if (auto f = PlainFloat(text)) return *f;
      InvalidIdent(text);
    case PropKind::Strings:
      return text.empty() ? std::vector<std::wstring>() : std::vector<std::wstring>{text};
    default:
      InvalidValue(info);
  }
}

// The property's value from a value in stored-form syntax.
PropValue FromForm(const PropertyInfo& info, const FormValue& v, const PropertyContext& context) {
  using Kind = FormValue::Kind;
  if (v.kind == Kind::Identifier) return FromPlain(info, v.text, context);
  switch (info.kind) {
    case PropKind::Integer:
      if (v.kind == Kind::Integer) return v.integer;
      break;
    case PropKind::Color:
      if (v.kind == Kind::Integer) return std::int64_t{static_cast<Color>(v.integer)};
      break;
    case PropKind::Set:
      if (v.kind == Kind::Set) {
        std::vector<std::wstring> names;
        for (const auto& item : v.items) names.push_back(item.text);
        return SetMask(info, names);
      }
      break;
    case PropKind::String:
      if (v.kind == Kind::String) return v.text;
      if (v.kind == Kind::Integer) return std::to_wstring(v.integer);
      break;
    case PropKind::Float:
      if (v.kind == Kind::Float) return v.number;
      if (v.kind == Kind::Integer) return static_cast<double>(v.integer);
      break;
    case PropKind::Strings:
      if (v.kind == Kind::List) return ListLines(info, v);
      if (v.kind == Kind::String) return std::vector<std::wstring>{v.text};
      break;
    default:
      break;
  }
  InvalidValue(info);
}

// "Name[3]" -> Name and 3; "Name" -> Name and none.
struct PathPart {
  std::wstring_view name;
  std::optional<std::size_t> index;
  bool valid = true;
};

PathPart SplitPart(std::wstring_view part) {
  PathPart result{TrimView(part), std::nullopt};
  const std::size_t open = result.name.find(L'[');
  if (open == std::wstring_view::npos) return result;
  const std::wstring_view inside = result.name.substr(open + 1);
  result.name = TrimView(result.name.substr(0, open));
  const std::size_t close = inside.find(L']');
  const auto number = close == std::wstring_view::npos ? std::nullopt : PlainInteger(inside.substr(0, close));
  if (!number || *number < 0 || close + 1 != inside.size()) {
    result.valid = false;
  } else {
    result.index = static_cast<std::size_t>(*number);
  }
  return result;
}

std::vector<std::wstring> DescriptorLines(const SkinValue& value) {
  if (!value.form) return value.plain.empty() ? std::vector<std::wstring>() : std::vector<std::wstring>{value.plain};
  std::vector<std::wstring> lines;
  const FormValue& v = *value.form;
  if (v.kind == FormValue::Kind::List) {
    for (const auto& item : v.items) {
      if (item.kind != FormValue::Kind::String) throw EPropertyValueError("rdg: a descriptor line must be a string");
      lines.push_back(item.text);
    }
  } else if (v.kind == FormValue::Kind::String) {
    lines.push_back(v.text);
  } else {
    throw EPropertyValueError("rdg: a descriptor is a list of lines");
  }
  return lines;
}

// A descriptor that came from a skin carries the skin's name and follows the
// next skin; one the form designer gave stays unless the skin forces it.
bool SetDescriptor(TPicture& picture, const SkinValue& value, const PropertyContext& context) {
  if (!context.store) return false;
  if (const TRdgImage* held = picture.Descriptor()) {
    if (!context.forceSkinPictures && !LineValue(held->Values(), L"SkinRcc")) return false;
  } else if (!picture.Empty()) {
    return false;
  }
  std::vector<std::wstring> lines = DescriptorLines(value);
  SetLineValue(lines, L"SkinRcc", context.store->SkinName());
  picture.ReadDescriptor(*context.store, lines);
  return true;
}

bool FillCollection(TPersistent& object, const PropertyInfo& info, const FormValue& v, const PropertyContext& context) {
  if (v.kind != FormValue::Kind::Collection) InvalidValue(info);
  info.clear(object);
  for (const auto& entry : v.entries) {
    TPersistent* item = info.add(object);
    if (!item) InvalidValue(info);  // the collection takes no more
    for (const auto& [name, value] : entry) {
      SetPropertyPath(*item, name, SkinValue{value, {}}, context);
    }
  }
  return true;
}

bool SetLast(TPersistent& object, const PathPart& part, const SkinValue& value, const PropertyContext& context) {
  const PropertyInfo* info = object.Class().Find(part.name);
  if (!info || part.index) return false;
  switch (info->kind) {
    case PropKind::Object:
      return false;
    case PropKind::Collection:
      if (!value.form) InvalidValue(*info);
      return FillCollection(object, *info, *value.form, context);
    case PropKind::Picture: {
      TPicture* picture = info->picture(object);
      return picture && SetDescriptor(*picture, value, context);
    }
    default:
      break;
  }
  if (info->ReadOnly()) return false;
  const PropValue v = value.form ? FromForm(*info, *value.form, context) : FromPlain(*info, value.plain, context);
  // Every integer a form or skin sets is a position, size, count or step of
  // something drawn; past the coordinate range it can only overflow the layout.
  if (info->kind == PropKind::Integer && ClampCoordinate(std::get<std::int64_t>(v)) != std::get<std::int64_t>(v))
    InvalidValue(*info);
  info->set(object, v);
  object.PathPropertySet(*info);
  return true;
}

FormValue ToFormValue(const PropertyInfo& info, const PropValue& value, const ColorTable* colors);

void ObjectEntries(TPersistent& object, const ColorTable* colors, std::vector<FormProperty>& out,
                   const std::wstring& prefix);

FormValue CollectionValue(TPersistent& object, const PropertyInfo& info, const ColorTable* colors) {
  FormValue v;
  v.kind = FormValue::Kind::Collection;
  const std::size_t count = info.count(object);
  for (std::size_t i = 0; i < count; ++i) {
    std::vector<FormProperty> entry;
    if (TPersistent* item = info.item(object, i)) ObjectEntries(*item, colors, entry, L"");
    v.entries.push_back(std::move(entry));
  }
  return v;
}

void Append(std::vector<FormProperty>& out, const std::wstring& path, FormValue value) {
  FormProperty& entry = out.emplace_back();
  entry.first = path;
  entry.second = std::move(value);
}

FormValue DescriptorValue(TRdgImage& descriptor) {
  FormValue v;
  v.kind = FormValue::Kind::List;
  for (const auto& line : descriptor.ToLines()) {
    FormValue item;
    item.kind = FormValue::Kind::String;
    item.text = line;
    v.items.push_back(std::move(item));
  }
  return v;
}

// Every stored property of the object as (path, value), sub-objects flattened.
void ObjectEntries(TPersistent& object, const ColorTable* colors, std::vector<FormProperty>& out,
                   const std::wstring& prefix) {
  for (const PropertyInfo* info : object.Class().Properties()) {
    const std::wstring path = prefix + info->name;
    switch (info->kind) {
      case PropKind::Object:
        if (TPersistent* child = info->object(object); child && info->IsStored(object)) {
          ObjectEntries(*child, colors, out, path + L".");
        }
        break;
      case PropKind::Collection:
        if (info->count(object) > 0) Append(out, path, CollectionValue(object, *info, colors));
        break;
      case PropKind::Picture:
        if (TPicture* picture = info->picture(object); picture && picture->Descriptor()) {
          Append(out, path + L".Text", DescriptorValue(*picture->Descriptor()));
        }
        break;
      default:
        if (info->get && info->IsStored(object)) Append(out, path, ToFormValue(*info, info->get(object), colors));
        break;
    }
  }
}

FormValue ToFormValue(const PropertyInfo& info, const PropValue& value, const ColorTable* colors) {
  FormValue v;
  auto identifier = [&](std::wstring text) {
    v.kind = FormValue::Kind::Identifier;
    v.text = std::move(text);
  };
  switch (info.kind) {
    case PropKind::Boolean:
      identifier(std::get<std::int64_t>(value) ? L"True" : L"False");
      break;
    case PropKind::Enumeration: {
      const auto ordinal = std::get<std::int64_t>(value);
      if (ordinal >= 0 && static_cast<std::size_t>(ordinal) < info.identifiers.size()) {
        identifier(info.identifiers[static_cast<std::size_t>(ordinal)]);
      } else {
        v.kind = FormValue::Kind::Integer;
        v.integer = ordinal;
      }
      break;
    }
    case PropKind::Set: {
      v.kind = FormValue::Kind::Set;
      const auto mask = std::get<std::int64_t>(value);
      for (std::size_t i = 0; i < info.identifiers.size() && i < 63; ++i) {
        if (mask & (std::int64_t{1} << i)) {
          FormValue member;
          member.kind = FormValue::Kind::Identifier;
          member.text = info.identifiers[i];
          v.items.push_back(std::move(member));
        }
      }
      break;
    }
    case PropKind::Color: {
      const auto color = static_cast<Color>(std::get<std::int64_t>(value));
      if (auto name = colors ? colors->ColorToIdent(color) : std::nullopt) {
        identifier(*name);
      } else {
        v.kind = FormValue::Kind::Integer;
        v.integer = color;
      }
      break;
    }
    case PropKind::String:
      v.kind = FormValue::Kind::String;
      v.text = std::get<std::wstring>(value);
      break;
    case PropKind::Float:
      v.kind = FormValue::Kind::Float;
      v.number = std::get<double>(value);
      break;
    case PropKind::Strings:
      v.kind = FormValue::Kind::List;
      for (const auto& line : std::get<std::vector<std::wstring>>(value)) {
        FormValue item;
        item.kind = FormValue::Kind::String;
        item.text = line;
        v.items.push_back(std::move(item));
      }
      break;
    default:
      v.kind = FormValue::Kind::Integer;
      v.integer = std::holds_alternative<std::int64_t>(value) ? std::get<std::int64_t>(value) : 0;
      break;
  }
  return v;
}

}  // namespace

SkinValue ReadSkinValue(std::wstring_view text) {
  SkinValue value;
  const std::wstring_view trimmed = TrimView(text);
  if (!trimmed.empty() && std::wstring_view(L"#'(<[{").find(trimmed.front()) != std::wstring_view::npos) {
    try {
      value.form = ParseFormValue(std::wstring(trimmed));
    } catch (const FormSyntaxError& e) {
      throw EPropertyValueError(e.what());
    }
  } else {
    value.plain = std::wstring(text);
  }
  return value;
}

bool SetPropertyPath(TPersistent& object, std::wstring_view path, const SkinValue& value,
                     const PropertyContext& context) {
  TPersistent* current = &object;
  for (;;) {
    const std::size_t dot = path.find(L'.');
    const PathPart part = SplitPart(path.substr(0, dot));
    if (!part.valid || part.name.empty()) return false;
    if (dot == std::wstring_view::npos) return SetLast(*current, part, value, context);
    path.remove_prefix(dot + 1);

    const PropertyInfo* info = current->Class().Find(part.name);
    if (!info) return false;
    switch (info->kind) {
      case PropKind::Object:
        if (part.index) return false;
        current = info->object(*current);
        break;
      case PropKind::Collection:
        if (!part.index || *part.index >= info->count(*current)) return false;
        current = info->item(*current, *part.index);
        break;
      case PropKind::Picture: {
        if (part.index) return false;
        TPicture* picture = info->picture(*current);
        if (!picture) return false;
        // A picture publishes nothing: whatever follows names its descriptor.
        if (!picture->Class().Find(path)) return SetDescriptor(*picture, value, context);
        current = picture;
        break;
      }
      default:
        return false;
    }
    if (!current) return false;
  }
}

bool SetPropertyPath(TPersistent& object, std::wstring_view path, std::wstring_view value,
                     const PropertyContext& context) {
  return SetPropertyPath(object, path, ReadSkinValue(value), context);
}

std::vector<std::wstring> WritePropertyLines(TPersistent& object, const ColorTable* colors,
                                             const std::function<bool(const std::wstring& path)>& skip) {
  std::vector<FormProperty> entries;
  ObjectEntries(object, colors, entries, L"");
  std::vector<std::wstring> lines;
  for (const auto& [path, value] : entries) {
    if (skip && skip(path)) continue;
    lines.push_back(path + L"=" + FormatFormValue(value));
  }
  return lines;
}

std::wstring FormatPropertyValue(const PropertyInfo& info, const PropValue& value, const ColorTable* colors) {
  return FormatFormValue(ToFormValue(info, value, colors));
}

}  // namespace nudgelet::skin
