#include "skin/SkinStyle.h"

#include <algorithm>

#include "base/Paths.h"
#include "base/Strings.h"
#include "settings/TextFile.h"

namespace nudgelet::skin {

TRdSkinStyle::TRdSkinStyle(SkinStyleContext& context, std::wstring name, std::wstring ownerUnit)
    : context_(context), name_(std::move(name)), ownerUnit_(std::move(ownerUnit)) {
  if (context_.designing) designtimePath_ = kDefaultDesigntimePath;
}

TRdSkinStyle::~TRdSkinStyle() {
  publicRccFiles_.clear();
  LeaveChain();
}

bool TRdSkinStyle::AnotherIsMain() const { return !context_.mainChain.empty() && context_.mainChain.front() != this; }

std::wstring TRdSkinStyle::Qualified() const { return ownerUnit_.empty() ? name_ : ownerUnit_ + L"." + name_; }

std::wstring TRdSkinStyle::CurMainStyle() const {
  return context_.mainChain.empty() ? std::wstring() : context_.mainChain.front()->Qualified();
}

void TRdSkinStyle::LeaveChain() {
  auto& chain = context_.mainChain;
  chain.erase(std::remove(chain.begin(), chain.end(), this), chain.end());
}

void TRdSkinStyle::SetMainSkin(bool value) {
  if (value == mainSkin_) return;
  mainSkin_ = value;
  auto& chain = context_.mainChain;
  if (!value) {
    // The next style in the chain, if any, governs from now on.
    LeaveChain();
    return;
  }
  chain.push_back(this);
  if (chain.front() == this) return;
  const TRdSkinStyle* main = chain.front();
  const std::wstring text = main->ownerUnit_.empty()
                                ? L"warning: main.SkinStyle exists!"
                                : L"warning: main.SkinStyle exists! must close unit: " + main->Qualified();
  if (context_.showMessage) context_.showMessage(text);
}

void TRdSkinStyle::SetRuntimePath(const std::wstring& value) {
  runtimePath_ = value;
  if (context_.designing) return;
  std::wstring folder = IncludeTrailingBackslash(context_.executableFolder) + value;
  if (!context_.files.DirectoryExists(folder)) folder = value;
  if (!AnotherIsMain()) context_.store.SetSkinPath(folder);
}

void TRdSkinStyle::SetDesigntimePath(const std::wstring& value) {
  designtimePath_ = value;
  if (!context_.designing || value.empty()) return;
  if (context_.loadLibraryFrom) context_.loadLibraryFrom(value);
  context_.store.SetSkinPath(value);
  if (skinRccFile_.empty()) return;
  const std::wstring package = IncludeTrailingBackslash(NormalizeSeparators(value)) + skinRccFile_;
  if (context_.files.FileExists(package) || context_.files.DirectoryExists(WithoutExtension(package))) {
    context_.store.RegisterPackage(package, false);
  }
}

void TRdSkinStyle::SetSkinRccFile(const std::wstring& value) {
  const std::wstring v = NormalizeSeparators(value);
  const std::wstring fileName = ExtractFileName(v);
  if (AnotherIsMain()) {
    skinRccFile_ = fileName;
    return;
  }
  std::wstring package;
  const std::wstring folder = ExtractFilePath(v);
  if (!folder.empty()) {
    if (context_.designing) {
      SetDesigntimePath(folder);
    } else {
      SetRuntimePath(folder);
    }
    package = v;
  } else {
    const std::wstring base = context_.designing ? designtimePath_ : CurSkinPath();
    package = IncludeTrailingBackslash(NormalizeSeparators(base)) + v;
  }
  // Stored form data keeps only the file name, so its folder must be in place
  // now: Loaded registers the packages from there.
  if (loading_) {
    skinRccFile_ = fileName;
    return;
  }

  const std::wstring packageFolder = ExtractFilePath(package);
  const std::wstring stem = WithoutExtension(package);
  if (!packageFolder.empty() && !fileName.empty() &&
      (context_.files.FileExists(stem + L".dll") || context_.files.FileExists(stem + L".rcc") ||
       context_.files.DirectoryExists(stem))) {
    context_.store.SetSkinPath(packageFolder);
    context_.store.RegisterPackage(package, false);
  }
  skinRccFile_ = fileName;
  context_.store.RefreshAll();
}

void TRdSkinStyle::SetPublicRccFiles(std::vector<std::wstring> files) {
  publicRccFiles_ = std::move(files);
  if (!loading_) RegisterPublicPackages();
}

void TRdSkinStyle::RegisterPublicPackages() {
  bool libraryLoaded = false;
  for (const auto& entry : publicRccFiles_) {
    if (AnotherIsMain()) break;
    std::wstring path = NormalizeSeparators(entry);
    if (ExtractFilePath(path).empty()) {
      if (context_.designing) {
        if (!libraryLoaded && context_.loadLibraryFrom) context_.loadLibraryFrom(designtimePath_);
        libraryLoaded = true;
        path = IncludeTrailingBackslash(designtimePath_) + path;
      } else {
        path = CurSkinPath() + path;
      }
    }
    context_.store.RegisterPackage(path, true);
    registeredPublic_.push_back(path);
  }
  if (!loading_) {
    context_.store.LoadSkinData();
    context_.store.RefreshAll();
  }
}

void TRdSkinStyle::Loaded() {
  if (skinRccFile_.empty()) SetSkinRccFile(L"");
  const std::size_t publicBefore = registeredPublic_.size();
  RegisterPublicPackages();
  const std::uint64_t stamp = context_.store.ChangeStamp();
  loading_ = false;
  if (!context_.designing && context_.store.SkinPath().empty()) {
    context_.store.SetSkinPath(context_.executableFolder);
  }
  if (!skinRccFile_.empty()) SetSkinRccFile(skinRccFile_);
  // The skin package may have been registered before the public ones (the
  // design-time folder registers it as soon as it is set); then setting it
  // again changes nothing, and the skin data must still take the public
  // packages in.
  if (registeredPublic_.size() > publicBefore && context_.store.ChangeStamp() == stamp) {
    context_.store.LoadSkinData();
    context_.store.RefreshAll();
  }
}

bool TRdSkinStyle::Stores(std::wstring_view property) const {
  if (property == L"RuntimePath") return !runtimePath_.empty();
  if (property == L"DesigntimePath") {
    return !designtimePath_.empty() && !EqualsIgnoreCase(designtimePath_, kDefaultDesigntimePath);
  }
  if (property == L"SkinRccFile") return !skinRccFile_.empty();
  if (property == L"PublicRccFiles") return !publicRccFiles_.empty();
  if (property == L"MainSkin") return mainSkin_;
  return false;
}

}  // namespace nudgelet::skin
