#include "skin/PackageStore.h"

#include <algorithm>
#include <chrono>

#include "base/Paths.h"
#include "base/Strings.h"
#include "base/TextEncoding.h"
#include "settings/TextFile.h"

namespace nudgelet::skin {
namespace {

std::size_t ExtensionStart(const std::wstring& path) {
  const std::size_t length = ExtractFileExt(path).size();
  return length == 0 ? std::wstring::npos : path.size() - length;
}

// A relative name must stay inside the skin folder on disk.
bool StaysInside(const std::wstring& relative) {
  std::size_t start = 0;
  while (start <= relative.size()) {
    auto sep = relative.find(L'\\', start);
    if (sep == std::wstring::npos) sep = relative.size();
    if (relative.compare(start, sep - start, L"..") == 0 && sep - start == 2) return false;
    start = sep + 1;
  }
  return relative.find(L':') == std::wstring::npos;
}

bool HasIniExtension(const std::wstring& name) {
  return name.size() > 4 && EqualsIgnoreCase(std::wstring_view(name).substr(name.size() - 4), L".ini");
}

std::uint64_t TickCount() {
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count());
}

}  // namespace

std::wstring NormalizeSeparators(const std::wstring& path) { return ToBackslashes(path); }

std::wstring WithoutExtension(const std::wstring& path) {
  const auto dot = ExtensionStart(path);
  return dot == std::wstring::npos ? path : path.substr(0, dot);
}

std::wstring PackageNameOf(const std::wstring& path) { return WithoutExtension(ExtractFileName(path)); }

std::wstring AlternatePackagePath(const std::wstring& path) {
  const auto dot = ExtensionStart(path);
  const std::wstring ext = dot == std::wstring::npos ? std::wstring() : path.substr(dot);
  const wchar_t* other = EqualsIgnoreCase(ext, L".rcc") ? L".dll" : L".rcc";
  return WithoutExtension(path) + other;
}

PackageStore::PackageStore(ResourceSource& source, const platform::FileSystem& files, const std::wstring& skinFolder)
    : source_(source), files_(files) {
  SetSkinPath(skinFolder);
}

std::wstring PackageStore::SkinPath() const {
  std::lock_guard lock(stateMutex_);
  return skinPath_;
}

void PackageStore::SetSkinPath(const std::wstring& folder) {
  std::lock_guard lock(stateMutex_);
  skinPath_ = folder.empty() ? std::wstring() : IncludeTrailingBackslash(NormalizeSeparators(folder));
}

std::wstring PackageStore::SkinName() const {
  std::lock_guard lock(stateMutex_);
  return skinName_;
}

std::wstring PackageStore::PublicPackage() const {
  std::lock_guard lock(stateMutex_);
  return publicPackage_;
}

std::wstring PackageStore::SkinPackage() const {
  std::lock_guard lock(stateMutex_);
  return skinPackage_;
}

std::vector<std::wstring> PackageStore::RegisteredFiles() const {
  std::lock_guard lock(stateMutex_);
  return registered_;
}

std::uint64_t PackageStore::ChangeStamp() const {
  std::lock_guard lock(stateMutex_);
  return changeStamp_;
}

void PackageStore::Stamp() {
  // A tick count, but never the same twice: two changes within one
  // millisecond are still two changes.
  changeStamp_ = std::max(TickCount(), changeStamp_ + 1);
}

void PackageStore::AddRegistered(const std::wstring& path) {
  const auto less = [](const std::wstring& a, const std::wstring& b) { return LessIgnoreCase()(a, b); };
  const auto at = std::lower_bound(registered_.begin(), registered_.end(), path, less);
  if (at != registered_.end() && EqualsIgnoreCase(*at, path)) return;
  registered_.insert(at, path);
}

void PackageStore::DropRegistered(const std::wstring& path) {
  std::erase_if(registered_, [&](const std::wstring& p) { return EqualsIgnoreCase(p, path); });
}

std::wstring PackageStore::Existing(const std::wstring& path, const std::wstring& alt) const {
  return !files_.FileExists(path) && files_.FileExists(alt) ? alt : path;
}

void PackageStore::RegisterPackage(const std::wstring& rawPath, bool force) {
  std::unique_lock lock(stateMutex_);
  if (!source_.Load()) return;
  std::wstring path = NormalizeSeparators(rawPath);
  // The skin's name is the top folder inside its package, and resource names
  // are case-sensitive there: "Classic.rcc" holds :/classic/.
  std::wstring name = ToLower(PackageNameOf(path));
  std::wstring alt = AlternatePackagePath(path);

  const bool isPublic =
      EqualsIgnoreCase(name, L"public") ||
      (!publicPackage_.empty() && EqualsIgnoreCase(WithoutExtension(path), WithoutExtension(publicPackage_)));
  if (isPublic) {
    if (!skinName_.empty() && EqualsIgnoreCase(path, publicPackage_)) return;
    if (!publicPackage_.empty()) {
      DropRegistered(publicPackage_);
      source_.Unregister(publicPackage_);
    }
    const std::wstring use = Existing(path, alt);
    source_.Register(use);
    AddRegistered(use);
    publicPackage_ = use;
    Stamp();
    return;
  }

  if (force) {
    for (const auto& p : {path, alt}) {
      DropRegistered(p);
      source_.Unregister(p);
    }
    const std::wstring use = Existing(path, alt);
    source_.Register(use);
    AddRegistered(use);
    Stamp();
    return;
  }

  if (!files_.FileExists(path) && !files_.FileExists(alt) && !files_.DirectoryExists(WithoutExtension(path))) {
    const std::wstring folder = ExtractFilePath(path);
    path = folder + L"classic.rcc";
    alt = folder + L"classic.dll";
    name = L"classic";
  }
  if (EqualsIgnoreCase(path, skinPackage_) && EqualsIgnoreCase(name, skinName_)) return;
  if (!skinPackage_.empty()) {
    source_.Unregister(skinPackage_);
    DropRegistered(skinPackage_);
    skinPackage_.clear();
  }
  const std::wstring use = Existing(path, alt);
  source_.Register(use);
  AddRegistered(use);
  skinPackage_ = use;
  skinName_ = name;
  Stamp();
  lock.unlock();
  LoadSkinData();
}

void PackageStore::UnregisterPackage(const std::wstring& rawPath) {
  std::lock_guard lock(stateMutex_);
  const std::wstring path = NormalizeSeparators(rawPath);
  const std::wstring alt = AlternatePackagePath(path);
  const std::wstring name = PackageNameOf(path);

  if (!skinName_.empty() && EqualsIgnoreCase(name, skinName_)) {
    if (!skinPackage_.empty()) {
      source_.Unregister(skinPackage_);
      DropRegistered(skinPackage_);
    }
    skinPackage_.clear();
    skinName_.clear();
    Stamp();
  }
  if (!EqualsIgnoreCase(name, L"public")) {
    for (const auto& p : {path, alt}) {
      DropRegistered(p);
      source_.Unregister(p);
      if (EqualsIgnoreCase(p, publicPackage_)) publicPackage_.clear();
      if (EqualsIgnoreCase(p, skinPackage_)) skinPackage_.clear();
    }
  } else if (!publicPackage_.empty()) {
    DropRegistered(publicPackage_);
    source_.Unregister(publicPackage_);
    publicPackage_.clear();
  }
  Stamp();
}

PackageStore::Resolved PackageStore::Resolve(const std::wstring& name) const {
  std::lock_guard lock(stateMutex_);
  Resolved r;
  std::wstring relative;
  if (!skinName_.empty() && (name.empty() || name.front() != L':')) {
    r.resource = L":/" + skinName_ + L"/" + ToForwardSlashes(name);
    relative = skinName_ + L"\\" + NormalizeSeparators(name);
  } else {
    r.resource = name;
    relative = NormalizeSeparators(name);
    if (!relative.empty() && relative.front() == L':') relative.erase(0, 1);
    if (!relative.empty() && relative.front() == L'\\') relative.erase(0, 1);
  }
  if (!relative.empty() && StaysInside(relative)) r.loose = skinPath_ + relative;
  return r;
}

std::optional<std::vector<std::uint8_t>> PackageStore::ReadResource(const std::wstring& name) const {
  const Resolved r = Resolve(name);
  if (!r.loose.empty() && files_.FileExists(r.loose)) {
    if (auto read = files_.ReadFile(r.loose, kMaxLooseFileBytes); read.error == 0) return std::move(read.bytes);
  }
  std::lock_guard lock(stateMutex_);
  return source_.Read(r.resource);
}

FolderListing PackageStore::ListFolder(const std::wstring& folder) const {
  FolderListing out;
  std::wstring loose;
  {
    std::lock_guard lock(stateMutex_);
    if (auto listed = source_.List(folder)) out = std::move(*listed);
    if (folder.size() >= 2 && folder[0] == L':' && folder[1] == L'/') {
      const std::wstring rest = NormalizeSeparators(folder.substr(2));
      if (StaysInside(rest)) loose = skinPath_ + rest;
    }
  }
  if (loose.empty()) return out;
  for (const auto& entry : files_.ListFolder(loose)) {
    auto& list = entry.folder ? out.folders : out.files;
    if (std::find(list.begin(), list.end(), entry.name) == list.end()) list.push_back(entry.name);
  }
  return out;
}

IniSections PackageStore::ReadIni(const std::wstring& name) const {
  const auto bytes = ReadResource(name);
  if (!bytes) return {};
  const auto decoded = DecodeText(*bytes);
  return IniSections::Parse(SplitLines(decoded.text));
}

void PackageStore::LoadSkinData() {
  const std::wstring skin = SkinName();
  const IniSections publicMain = ReadIni(L":/public/main.ini");
  const IniSections colorSetting = ReadIni(L"color_setting.ini");

  // Files in the order they merge: later ones change what earlier ones said.
  std::vector<std::wstring> more;
  for (const auto& file : ListFolder(L":/public/").files) {
    if (HasIniExtension(file) && !EqualsIgnoreCase(file, L"main.ini")) more.push_back(L":/public/" + file);
  }
  if (!skin.empty()) {
    more.push_back(L":/" + skin + L"/main.ini");
    for (const auto& file : ListFolder(L":/" + skin + L"/").files) {
      if (HasIniExtension(file) && !EqualsIgnoreCase(file, L"main.ini")) more.push_back(L":/" + skin + L"/" + file);
    }
  }
  std::vector<IniSections> files;
  for (const auto& name : more) files.push_back(ReadIni(name));

  std::vector<std::pair<std::wstring, std::vector<std::wstring>>> colorSections;
  std::vector<std::pair<std::wstring, std::vector<std::wstring>>> imageSections;
  {
    std::lock_guard lock(sectionsMutex_);
    sections_.Clear();
    sections_.MergeFile(publicMain);
    for (const auto& ini : files) sections_.MergeFile(ini);
    sections_.LinkParents();
    for (const auto* s : sections_.SectionsOf(L"color")) colorSections.emplace_back(s->Name(), s->Lines());
    for (const auto* s : sections_.SectionsOf(L"image")) imageSections.emplace_back(s->Name(), s->Lines());
  }

  // Built aside and swapped in: painting meanwhile sees the old colours or the new ones.
  ColorTable colors;
  for (const auto& [name, lines] : colorSections) colors.AddSection(name, lines);
  const bool fileBgr = EqualsIgnoreCase(colorSetting.Value(L"validate", L"type").value_or(L"RGB"), L"BGR");
  for (const auto& [name, lines] : SectionsInOrder(colorSetting)) {
    if (EqualsIgnoreCase(name, L"validate")) continue;
    colors.AddSection(name, lines, fileBgr);
  }
  colors_.ReplaceWith(colors);

  {
    std::lock_guard lock(namedMutex_);
    named_.clear();
    for (auto& [name, lines] : imageSections) named_[L"[" + name + L"]"] = std::move(lines);
  }
  RefreshPictures();
}

std::optional<std::vector<std::wstring>> PackageStore::SectionValues(const std::wstring& cls,
                                                                     const std::wstring& section) const {
  std::lock_guard lock(sectionsMutex_);
  const auto* s = sections_.Find(cls, section);
  if (!s) return std::nullopt;
  return s->LinesWithInherited();
}

std::optional<std::wstring> PackageStore::SectionValue(const std::wstring& cls, const std::wstring& section,
                                                       const std::wstring& key) const {
  std::lock_guard lock(sectionsMutex_);
  const auto* s = sections_.Find(cls, section);
  if (!s) return std::nullopt;
  return s->Value(key);
}

std::optional<std::vector<std::wstring>> PackageStore::NamedPicture(const std::wstring& bracketedName) const {
  std::lock_guard lock(namedMutex_);
  const auto it = named_.find(bracketedName);
  if (it == named_.end()) return std::nullopt;
  return it->second;
}

void PackageStore::Refresh(SkinPicture& picture) const {
  if (picture.GetKind() == SkinPicture::Kind::Named) {
    picture.ReplaceLines(NamedPicture(picture.Name()).value_or(std::vector<std::wstring>{}));
  } else {
    picture.ReplaceData(ReadResource(picture.Name()).value_or(std::vector<std::uint8_t>{}));
  }
}

std::shared_ptr<SkinPicture> PackageStore::LoadPicture(const std::wstring& name) {
  std::lock_guard lock(picturesMutex_);
  if (auto it = pictures_.find(name); it != pictures_.end()) return it->second;
  const bool named = name.size() >= 2 && name.front() == L'[' && name.back() == L']';
  auto picture = std::make_shared<SkinPicture>(name, named ? SkinPicture::Kind::Named : SkinPicture::Kind::Png);
  Refresh(*picture);
  pictures_.emplace(name, picture);
  return picture;
}

void PackageStore::RefreshPictures() {
  std::lock_guard lock(picturesMutex_);
  for (auto& [name, picture] : pictures_) Refresh(*picture);
}

std::size_t PackageStore::CachedPictureCount() const {
  std::lock_guard lock(picturesMutex_);
  return pictures_.size();
}

void PackageStore::SetRefreshAllHook(std::function<void()> hook) { refreshAll_ = std::move(hook); }

void PackageStore::RefreshAll() {
  if (refreshAll_) refreshAll_();
}

}  // namespace nudgelet::skin
