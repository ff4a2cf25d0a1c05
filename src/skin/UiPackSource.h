#pragma once
// Resources through the skin resource library uipack.dll, loaded at run time.
//
// A uipack.dll that the process has loaded already is used as it is and never
// freed; otherwise the library is loaded by plain name (the executable's folder
// first) and freed when this object goes, after its entry points are dropped.
// An entry point the library lacks makes its operation do nothing.

#include <memory>
#include <string>
#include <vector>

#include "platform/DynamicLibrary.h"
#include "skin/ResourceSource.h"
#include "uipack/UiPack.h"

namespace nudgelet::skin {

class UiPackSource final : public ResourceSource {
 public:
  // `extraFolders` are tried in order after the plain name (the form designer's
  // skin folder and its parent); each is a folder path with or without a trailing "\".
  explicit UiPackSource(const platform::DynamicLibraries& libraries, std::vector<std::wstring> extraFolders = {});
  ~UiPackSource() override;

  UiPackSource(const UiPackSource&) = delete;
  UiPackSource& operator=(const UiPackSource&) = delete;

  bool Load() override;
  void Register(const std::wstring& packagePath) override;
  void Unregister(const std::wstring& packagePath) override;
  std::optional<std::vector<std::uint8_t>> Read(const std::wstring& name) override;
  std::optional<FolderListing> List(const std::wstring& folder) override;

  bool Loaded() const { return library_ != nullptr; }
  // Whether this object loaded the library (and so frees it).
  bool Owned() const { return owned_; }

  static constexpr const wchar_t* kLibraryName = L"uipack.dll";
  // Largest resource fetched: a size beyond it is a damaged library, not a picture.
  static constexpr std::uint32_t kMaxResourceBytes = 64u << 20;

 private:
  void Resolve();
  void Clear();

  const platform::DynamicLibraries& libraries_;
  std::vector<std::wstring> extraFolders_;
  std::unique_ptr<platform::DynamicLibrary> library_;
  bool owned_ = false;

  UiPackRegisterFn register_ = nullptr;
  UiPackUnregisterFn unregister_ = nullptr;
  UiPackDataFn data_ = nullptr;
  UiPackEnumFn enum_ = nullptr;
  QStringCreateFn create_ = nullptr;
  QStringGetFn get_ = nullptr;
  QStringSetFn set_ = nullptr;
  QStringCloseFn close_ = nullptr;
};

// "a|b|" -> {"a", "b"}; empty names are dropped.
std::vector<std::wstring> SplitBarList(std::wstring_view text);

}  // namespace nudgelet::skin
