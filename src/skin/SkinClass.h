#pragma once
// TRdSkinClass: binds an object to a section of the skin. The section's
// key=value lines are property paths with values; they are applied to the
// owner when it has loaded, when the section name changes and whenever the
// skin changes, so every control looks like the skin says without knowing
// any skin itself.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "skin/Component.h"
#include "skin/Published.h"

namespace nudgelet::skin {

class PackageStore;
class TRdSkinClass;

// Every skin class that names a section, in creation order, and the store
// their sections come from. One per process in the program; tests make their own.
class SkinClassRegistry {
 public:
  explicit SkinClassRegistry(PackageStore& store) : store_(store) {}
  // Takes back the store's refresh hook when it installed one.
  ~SkinClassRegistry();

  SkinClassRegistry(const SkinClassRegistry&) = delete;
  SkinClassRegistry& operator=(const SkinClassRegistry&) = delete;

  PackageStore& Store() const { return store_; }
  std::uint64_t NextSerial() { return ++serial_; }

  void Add(TRdSkinClass* skinClass);
  void Remove(TRdSkinClass* skinClass);
  const std::vector<TRdSkinClass*>& Registered() const { return registered_; }

  // Applies every registered skin class, without recursion, in creation
  // order; the first failure is passed on after all had their turn.
  void ApplyAll();
  // Makes the store's RefreshAll apply every skin class and then `repaint`.
  void ConnectRefresh(std::function<void()> repaint);

 private:
  PackageStore& store_;
  std::uint64_t serial_ = 0;
  std::vector<TRdSkinClass*> registered_;  // ordered by serial
  bool connected_ = false;
};

class TRdSkinClass : public TPersistent {
 public:
  // `component` is used for its loading state when the owner is no component itself.
  TRdSkinClass(SkinClassRegistry& registry, TPersistent* owner, TRdSkinClass* parent = nullptr,
               TComponent* component = nullptr);
  ~TRdSkinClass() override;

  TRdSkinClass(const TRdSkinClass&) = delete;
  TRdSkinClass& operator=(const TRdSkinClass&) = delete;

  static const ClassInfo& ClassType();
  const ClassInfo& Class() const override { return ClassType(); }

  // --- Published ---
  const std::wstring& SkinClass() const { return skinClass_; }
  void SetSkinClass(const std::wstring& name);
  const std::vector<std::wstring>& IgnoreValues() const { return ignoreValues_; }
  void SetIgnoreValues(std::vector<std::wstring> paths) { ignoreValues_ = std::move(paths); }
  const std::vector<std::wstring>& SkinValues() const { return skinValues_; }
  // The owner's current values as lines a section could hold; empty while it loads.
  std::vector<std::wstring> CurrentValues() const;
  bool ClearOwnerPic() const { return clearOwnerPic_; }
  void SetClearOwnerPic(bool value);
  bool ForceUseSkinPic() const { return forceUseSkinPic_; }
  void SetForceUseSkinPic(bool value);

  // The class whose sections are looked up; empty means the owner's class name.
  const std::wstring& ClassKey() const { return classKey_; }
  void SetClassKey(std::wstring key) { classKey_ = std::move(key); }
  std::wstring EffectiveClassKey() const;

  // Sets the section's values (with what its parents add) on the owner; with
  // `recursive` the child skin classes follow. A value that does not fit its
  // property is passed on as EPropertyValueError once every line had its turn.
  void Apply(bool recursive);

  // Takes IgnoreValues and SkinClass from the other.
  void Assign(const TRdSkinClass& other);
  // The same object, or the same section (case ignored) ignoring the same paths.
  bool SameAs(const TRdSkinClass& other) const;

  std::uint64_t Serial() const { return serial_; }
  TPersistent* Owner() const { return owner_; }
  // The owner when it is a component, else the component given at creation.
  TComponent* Component() const;
  TRdSkinClass* Parent() const { return parent_; }
  const std::vector<TRdSkinClass*>& Children() const { return children_; }

  std::function<void()> onChange;

 private:
  bool ComponentBusy() const;
  void Notify();
  // Applies unless the owning component is still arriving or being skinned.
  void ApplyWhenIdle();

  SkinClassRegistry& registry_;
  TPersistent* const owner_;
  // Settled on first use: owners create their skin class while they are
  // themselves still being constructed, when their type cannot be asked yet.
  mutable TComponent* component_;
  mutable bool componentSettled_;
  TRdSkinClass* parent_;
  std::vector<TRdSkinClass*> children_;
  const std::uint64_t serial_;
  bool registered_ = false;

  std::wstring skinClass_;
  std::vector<std::wstring> ignoreValues_;
  std::vector<std::wstring> skinValues_;
  bool clearOwnerPic_ = false;
  bool forceUseSkinPic_ = false;
  std::wstring classKey_;
};

// Empties every stored picture of the object, of its stored sub-objects and
// of their collection items.
void ClearStoredPictures(TPersistent& object);

}  // namespace nudgelet::skin
