#include "skin/UiPackSource.h"

#include "base/Paths.h"
#include "settings/TextFile.h"

namespace nudgelet::skin {

std::vector<std::wstring> SplitBarList(std::wstring_view text) {
  std::vector<std::wstring> out;
  std::size_t start = 0;
  while (start < text.size()) {
    auto bar = text.find(L'|', start);
    if (bar == std::wstring_view::npos) bar = text.size();
    if (bar > start) out.emplace_back(text.substr(start, bar - start));
    start = bar + 1;
  }
  return out;
}

UiPackSource::UiPackSource(const platform::DynamicLibraries& libraries, std::vector<std::wstring> extraFolders)
    : libraries_(libraries), extraFolders_(std::move(extraFolders)) {}

UiPackSource::~UiPackSource() {
  // Nothing may call into the library once it is gone.
  Clear();
  library_.reset();
}

void UiPackSource::Clear() {
  register_ = nullptr;
  unregister_ = nullptr;
  data_ = nullptr;
  enum_ = nullptr;
  create_ = nullptr;
  get_ = nullptr;
  set_ = nullptr;
  close_ = nullptr;
}

bool UiPackSource::Load() {
  if (library_) return true;
  if ((library_ = libraries_.FindLoaded(kLibraryName))) {
    owned_ = false;
  } else {
    library_ = libraries_.Load(kLibraryName);
    for (std::size_t i = 0; !library_ && i < extraFolders_.size(); ++i) {
      if (!extraFolders_[i].empty())
        library_ = libraries_.Load(IncludeTrailingBackslash(extraFolders_[i]) + kLibraryName);
    }
    owned_ = library_ != nullptr;
  }
  if (!library_) return false;
  Resolve();
  return true;
}

void UiPackSource::Resolve() {
  register_ = library_->ResolveAs<UiPackRegisterFn>("UiPackRegister");
  unregister_ = library_->ResolveAs<UiPackUnregisterFn>("UiPackUnregister");
  data_ = library_->ResolveAs<UiPackDataFn>("UiPackData");
  enum_ = library_->ResolveAs<UiPackEnumFn>("UiPackEnum");
  create_ = library_->ResolveAs<QStringCreateFn>("QStringCreate");
  get_ = library_->ResolveAs<QStringGetFn>("QStringGet");
  set_ = library_->ResolveAs<QStringSetFn>("QStringSet");
  close_ = library_->ResolveAs<QStringCloseFn>("QStringClose");
}

void UiPackSource::Register(const std::wstring& packagePath) {
  if (Load() && register_) register_(packagePath.c_str());
}

void UiPackSource::Unregister(const std::wstring& packagePath) {
  if (Load() && unregister_) unregister_(packagePath.c_str());
}

std::optional<std::vector<std::uint8_t>> UiPackSource::Read(const std::wstring& name) {
  // Reads only from a library that some other call has loaded.
  if (!library_ || !data_) return std::nullopt;
  std::uint32_t size = 0;
  data_(name.c_str(), nullptr, &size);
  if (size == 0 || size > kMaxResourceBytes) return std::nullopt;
  std::vector<std::uint8_t> bytes(size);
  // The fetch copies exactly the size the query reported, so the buffer fits.
  if (!data_(name.c_str(), bytes.data(), nullptr)) return std::nullopt;
  return bytes;
}

std::optional<FolderListing> UiPackSource::List(const std::wstring& folder) {
  if (!Load() || !enum_ || !create_ || !get_ || !close_) return std::nullopt;
  const std::uint32_t folders = create_();
  const std::uint32_t files = create_();
  std::optional<FolderListing> out;
  if (folders != 0 && files != 0 && enum_(folder.c_str(), folders, files)) {
    const wchar_t* f = get_(folders);
    const wchar_t* g = get_(files);
    out = FolderListing{SplitBarList(f ? f : L""), SplitBarList(g ? g : L"")};
  }
  if (folders != 0) close_(folders);
  if (files != 0) close_(files);
  return out;
}

}  // namespace nudgelet::skin
