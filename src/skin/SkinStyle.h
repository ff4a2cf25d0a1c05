#pragma once
// TRdSkinStyle: the component a skinned form holds to name its skin folder,
// the public packages every skin shares and the skin package itself. All
// styles share one package store; the first style marked MainSkin governs it,
// and while it lives the others only remember file names.

#include <functional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "skin/PackageStore.h"

namespace nudgelet::skin {

class TRdSkinStyle;

// What every style of the process shares.
struct SkinStyleContext {
  SkinStyleContext(PackageStore& store, const platform::FileSystem& files, std::wstring executableFolder)
      : store(store), files(files), executableFolder(std::move(executableFolder)) {}

  PackageStore& store;
  const platform::FileSystem& files;
  std::wstring executableFolder;
  // True while forms are edited in the designer rather than run.
  bool designing = false;
  // Loads the resource library from a design-time folder; false when it cannot.
  std::function<bool(const std::wstring& folder)> loadLibraryFrom;
  // How warnings reach the person editing the form.
  std::function<void(const std::wstring&)> showMessage;
  // The chain of styles that asked to be the main one; the first one is.
  std::vector<TRdSkinStyle*> mainChain;
};

class TRdSkinStyle {
 public:
  static constexpr const wchar_t* kDefaultDesigntimePath = L"C:\\Program Files (x86)\\Corvane\\Tidewell Care\\skin";

  // `ownerUnit` is the unit of the owning form's class; empty when the style has no owner.
  TRdSkinStyle(SkinStyleContext& context, std::wstring name, std::wstring ownerUnit);
  ~TRdSkinStyle();

  TRdSkinStyle(const TRdSkinStyle&) = delete;
  TRdSkinStyle& operator=(const TRdSkinStyle&) = delete;

  // --- Published properties ---
  std::wstring CurSkinRccFile() const { return context_.store.SkinPackage(); }
  std::wstring CurSkinPath() const { return context_.store.SkinPath(); }
  std::wstring CurMainStyle() const;
  bool MainSkin() const { return mainSkin_; }
  void SetMainSkin(bool value);
  const std::wstring& RuntimePath() const { return runtimePath_; }
  void SetRuntimePath(const std::wstring& value);
  const std::wstring& DesigntimePath() const { return designtimePath_; }
  void SetDesigntimePath(const std::wstring& value);
  const std::vector<std::wstring>& PublicRccFiles() const { return publicRccFiles_; }
  void SetPublicRccFiles(std::vector<std::wstring> files);
  const std::wstring& SkinRccFile() const { return skinRccFile_; }
  void SetSkinRccFile(const std::wstring& value);

  // Whether stored form data writes the property.
  bool Stores(std::wstring_view property) const;

  // --- Loading from stored form data ---
  void BeginLoading() { loading_ = true; }
  // Registers the public packages and then the skin package.
  void Loaded();

  const std::wstring& Name() const { return name_; }
  const std::wstring& OwnerUnit() const { return ownerUnit_; }
  // The public package paths this style registered.
  const std::vector<std::wstring>& RegisteredPublic() const { return registeredPublic_; }

 private:
  bool AnotherIsMain() const;
  std::wstring Qualified() const;
  void RegisterPublicPackages();
  void LeaveChain();

  SkinStyleContext& context_;
  const std::wstring name_;
  const std::wstring ownerUnit_;
  bool mainSkin_ = false;
  bool loading_ = false;
  std::wstring runtimePath_ = L"skin";
  std::wstring designtimePath_;
  std::vector<std::wstring> publicRccFiles_;
  std::wstring skinRccFile_;
  std::vector<std::wstring> registeredPublic_;
};

}  // namespace nudgelet::skin
