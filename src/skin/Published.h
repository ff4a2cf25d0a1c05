#pragma once
// Published properties: what skins and stored form data may reach on an
// object. Each skinned class declares its properties once, by name and type,
// with how to read and write them, their default and whether stored form data
// keeps them. Skin lines ("Font.Color=text_color.cl_text_b") and the writing
// of current values both go through these declarations.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace nudgelet::skin {

class TPersistent;
class TPicture;

enum class PropKind {
  Integer,
  Boolean,      // held as 0 or 1
  Enumeration,  // held as the ordinal of `identifiers`
  Set,          // held as a bit mask over `identifiers`
  Color,        // held as the stored colour value (identifiers allowed)
  String,
  Float,
  Strings,     // a list of lines
  Object,      // a published persistent sub-object, followed by paths
  Collection,  // items selected by "Name[n]"
  Picture,     // a picture slot holding a descriptor or another graphic
};

using PropValue = std::variant<std::int64_t, double, std::wstring, std::vector<std::wstring>>;

struct PropertyInfo {
  std::wstring name;
  PropKind kind = PropKind::Integer;
  std::vector<std::wstring> identifiers;  // Enumeration and Set

  // Scalar kinds and Strings. A property without a setter is read-only.
  std::function<PropValue(const TPersistent&)> get;
  std::function<void(TPersistent&, const PropValue&)> set;
  std::optional<PropValue> defaultValue;
  // Overrides the default rule (stored when the value differs from the
  // default; strings and lists when not empty).
  std::function<bool(const TPersistent&)> stored;

  std::function<TPersistent*(TPersistent&)> object;             // Object
  std::function<std::size_t(const TPersistent&)> count;         // Collection
  std::function<TPersistent*(TPersistent&, std::size_t)> item;  // Collection
  std::function<void(TPersistent&)> clear;                      // Collection
  std::function<TPersistent*(TPersistent&)> add;                // Collection
  std::function<TPicture*(TPersistent&)> picture;               // Picture

  bool ReadOnly() const;
  bool IsStored(const TPersistent& owner) const;
};

class ClassInfo {
 public:
  ClassInfo(std::wstring name, const ClassInfo* parent) : name_(std::move(name)), parent_(parent) {}

  ClassInfo(const ClassInfo&) = delete;
  ClassInfo& operator=(const ClassInfo&) = delete;
  ClassInfo(ClassInfo&&) = default;

  const std::wstring& Name() const { return name_; }
  const ClassInfo* Parent() const { return parent_; }
  bool InheritsFrom(const ClassInfo& other) const;

  // The ancestors' properties that this class does not redeclare, then its
  // own in declaration order.
  std::vector<const PropertyInfo*> Properties() const;
  // By name, case ignored; a class's own declaration hides an ancestor's.
  const PropertyInfo* Find(std::wstring_view name) const;

  PropertyInfo& Add(PropertyInfo info);

 private:
  std::wstring name_;
  const ClassInfo* parent_;
  // Stable addresses: callers keep pointers to the declarations.
  std::vector<std::unique_ptr<PropertyInfo>> own_;
};

class TPersistent {
 public:
  virtual ~TPersistent() = default;
  virtual const ClassInfo& Class() const = 0;
  const std::wstring& ClassName() const { return Class().Name(); }

  // Told after a property path set one of this object's own properties, for
  // objects that keep more than the value (a font remembers its base height).
  virtual void PathPropertySet(const PropertyInfo& /*info*/) {}
};

// Declares the properties of T in a ClassInfo with typed accessors, so that
// a class's declaration reads as the list of its published properties.
template <class T>
class Publisher {
 public:
  explicit Publisher(ClassInfo& info) : info_(info) {}

  template <class G, class S>
  PropertyInfo& Integer(std::wstring name, G get, S set, std::optional<std::int64_t> def = std::nullopt) {
    return Scalar<std::int64_t>(std::move(name), PropKind::Integer, get, set, def);
  }
  template <class G, class S>
  PropertyInfo& Boolean(std::wstring name, G get, S set, std::optional<bool> def = false) {
    auto& info = Scalar<std::int64_t>(std::move(name), PropKind::Boolean, get, set, std::optional<std::int64_t>());
    if (def) info.defaultValue.emplace(std::in_place_type<std::int64_t>, *def ? 1 : 0);
    return info;
  }
  template <class G, class S>
  PropertyInfo& Enumeration(std::wstring name, std::vector<std::wstring> identifiers, G get, S set,
                            std::optional<std::int64_t> def = 0) {
    auto& info = Scalar<std::int64_t>(std::move(name), PropKind::Enumeration, get, set, def);
    info.identifiers = std::move(identifiers);
    return info;
  }
  template <class G, class S>
  PropertyInfo& Set(std::wstring name, std::vector<std::wstring> identifiers, G get, S set,
                    std::optional<std::int64_t> def = 0) {
    auto& info = Scalar<std::int64_t>(std::move(name), PropKind::Set, get, set, def);
    info.identifiers = std::move(identifiers);
    return info;
  }
  template <class G, class S>
  PropertyInfo& Color(std::wstring name, G get, S set, std::optional<std::int64_t> def = std::nullopt) {
    return Scalar<std::int64_t>(std::move(name), PropKind::Color, get, set, def);
  }
  template <class G, class S>
  PropertyInfo& String(std::wstring name, G get, S set) {
    return Scalar<std::wstring>(std::move(name), PropKind::String, get, set, std::optional<std::wstring>());
  }
  template <class G, class S>
  PropertyInfo& Float(std::wstring name, G get, S set, std::optional<double> def = std::nullopt) {
    return Scalar<double>(std::move(name), PropKind::Float, get, set, def);
  }
  template <class G, class S>
  PropertyInfo& Strings(std::wstring name, G get, S set) {
    return Scalar<std::vector<std::wstring>>(std::move(name), PropKind::Strings, get, set,
                                             std::optional<std::vector<std::wstring>>());
  }
  template <class G>
  PropertyInfo& ReadOnlyStrings(std::wstring name, G get) {
    PropertyInfo info = Make(std::move(name), PropKind::Strings);
    info.get = [get](const TPersistent& p) { return PropValue(std::vector<std::wstring>(get(Self(p)))); };
    return info_.Add(std::move(info));
  }
  template <class G>
  PropertyInfo& Object(std::wstring name, G get) {
    PropertyInfo info = Make(std::move(name), PropKind::Object);
    info.object = [get](TPersistent& p) -> TPersistent* { return get(Self(p)); };
    return info_.Add(std::move(info));
  }
  template <class G>
  PropertyInfo& Picture(std::wstring name, G get) {
    PropertyInfo info = Make(std::move(name), PropKind::Picture);
    info.picture = [get](TPersistent& p) -> TPicture* { return get(Self(p)); };
    return info_.Add(std::move(info));
  }
  template <class Count, class Item, class Clear, class Add>
  PropertyInfo& Collection(std::wstring name, Count count, Item item, Clear clear, Add add) {
    PropertyInfo info = Make(std::move(name), PropKind::Collection);
    info.count = [count](const TPersistent& p) { return static_cast<std::size_t>(count(Self(p))); };
    info.item = [item](TPersistent& p, std::size_t i) -> TPersistent* { return item(Self(p), i); };
    info.clear = [clear](TPersistent& p) { clear(Self(p)); };
    info.add = [add](TPersistent& p) -> TPersistent* { return add(Self(p)); };
    return info_.Add(std::move(info));
  }

 private:
  static PropertyInfo Make(std::wstring name, PropKind kind) {
    PropertyInfo info;
    info.name = std::move(name);
    info.kind = kind;
    return info;
  }
  static const T& Self(const TPersistent& p) { return static_cast<const T&>(p); }
  static T& Self(TPersistent& p) { return static_cast<T&>(p); }

  template <class V, class G, class S, class D>
  PropertyInfo& Scalar(std::wstring name, PropKind kind, G get, S set, const std::optional<D>& def) {
    PropertyInfo info = Make(std::move(name), kind);
    info.get = [get](const TPersistent& p) { return PropValue(static_cast<V>(get(Self(p)))); };
    if constexpr (!std::is_same_v<S, std::nullptr_t>) {
      info.set = [set](TPersistent& p, const PropValue& v) { set(Self(p), std::get<V>(v)); };
    }
    if (def) info.defaultValue.emplace(std::in_place_type<V>, static_cast<V>(*def));
    return info_.Add(std::move(info));
  }

  ClassInfo& info_;
};

}  // namespace nudgelet::skin
