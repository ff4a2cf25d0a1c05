#pragma once
// The process-wide package store behind every TRdSkinStyle: registers skin
// packages, reads resources with loose files taking precedence, builds the
// skin tables from the ini files inside the packages and hands out shared
// picture objects by resource name.
//
// Resource names: ":/" + top folder + "/" + path. A name without the leading
// ":" is relative to the current skin: "images/x.png" is :/classic/images/x.png
// while the skin "classic" is registered.
//
// Package paths are Windows paths. They are compared without regard to case
// and with "/" and "\" alike, but handed on as spelt, so that the native build
// on a case-sensitive file system finds its files.
// The skin name taken from a package path is lower case whatever the spelling.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "settings/IniSections.h"
#include "skin/ColorTable.h"
#include "skin/ResourceSource.h"
#include "skin/SkinPicture.h"
#include "skin/SkinSections.h"

namespace nudgelet::skin {

class PackageStore {
 public:
  // `skinFolder` is where the store looks until a style says otherwise: the
  // executable's folder.
  PackageStore(ResourceSource& source, const platform::FileSystem& files, const std::wstring& skinFolder);

  PackageStore(const PackageStore&) = delete;
  PackageStore& operator=(const PackageStore&) = delete;

  // --- Packages ---
  void RegisterPackage(const std::wstring& path, bool force);
  void UnregisterPackage(const std::wstring& path);

  // The skin folder with a trailing "\"; empty only when set so.
  std::wstring SkinPath() const;
  void SetSkinPath(const std::wstring& folder);
  std::wstring SkinName() const;
  std::wstring PublicPackage() const;
  std::wstring SkinPackage() const;
  // Registered package files, sorted (case ignored).
  std::vector<std::wstring> RegisteredFiles() const;
  // Moves on with every registration change; 0 before the first.
  std::uint64_t ChangeStamp() const;

  // --- Resources ---
  // The resource's bytes; nullopt when neither a loose file nor a package has it.
  std::optional<std::vector<std::uint8_t>> ReadResource(const std::wstring& name) const;
  // Sub-folders and files of a resource folder: the packages' entries, then
  // those of the matching loose folder that the packages lack.
  FolderListing ListFolder(const std::wstring& folder) const;

  // --- Skin tables ---
  // Rebuilds the sections, the named pictures and the colours; then RefreshPictures.
  void LoadSkinData();
  // A section's lines followed by what its parent chain adds; nullopt when the
  // class or section does not exist.
  std::optional<std::vector<std::wstring>> SectionValues(const std::wstring& cls, const std::wstring& section) const;
  std::optional<std::wstring> SectionValue(const std::wstring& cls, const std::wstring& section,
                                           const std::wstring& key) const;
  // The descriptor lines of an image section, by "[" + section + "]".
  std::optional<std::vector<std::wstring>> NamedPicture(const std::wstring& bracketedName) const;
  ColorTable& Colors() { return colors_; }
  const ColorTable& Colors() const { return colors_; }

  // --- Pictures ---
  // One object per resource name (case counts), created on first use and kept
  // also when nothing was found for it.
  std::shared_ptr<SkinPicture> LoadPicture(const std::wstring& name);
  // Reloads every cached picture in place.
  void RefreshPictures();
  std::size_t CachedPictureCount() const;

  // Re-applies every skin class and repaints every form; the user interface
  // installs what that means.
  void SetRefreshAllHook(std::function<void()> hook);
  void RefreshAll();

  // Loose files beyond this are not skin files.
  static constexpr std::uint64_t kMaxLooseFileBytes = 64u << 20;

 private:
  struct Resolved {
    std::wstring resource;
    std::wstring loose;  // empty when the name may not be looked up on disk
  };

  Resolved Resolve(const std::wstring& name) const;
  IniSections ReadIni(const std::wstring& name) const;
  std::wstring Existing(const std::wstring& path, const std::wstring& alt) const;
  void AddRegistered(const std::wstring& path);
  void DropRegistered(const std::wstring& path);
  void Stamp();
  void Refresh(SkinPicture& picture) const;

  ResourceSource& source_;
  const platform::FileSystem& files_;

  // Package state. Recursive: registering the skin loads the skin data, which reads resources.
  mutable std::recursive_mutex stateMutex_;
  std::wstring skinPath_;
  std::wstring publicPackage_;
  std::wstring skinPackage_;
  std::wstring skinName_;
  std::vector<std::wstring> registered_;
  std::uint64_t changeStamp_ = 0;

  mutable std::mutex sectionsMutex_;
  SectionTable sections_;

  mutable std::mutex namedMutex_;
  std::map<std::wstring, std::vector<std::wstring>, LessIgnoreCase> named_;

  ColorTable colors_;

  mutable std::mutex picturesMutex_;
  std::map<std::wstring, std::shared_ptr<SkinPicture>> pictures_;

  std::function<void()> refreshAll_;
};

// Windows path helpers of the store.
std::wstring NormalizeSeparators(const std::wstring& path);
// File name without folder and extension.
std::wstring PackageNameOf(const std::wstring& path);
// ".rcc" and ".dll" swap; any other extension (or none) becomes ".rcc".
std::wstring AlternatePackagePath(const std::wstring& path);
std::wstring WithoutExtension(const std::wstring& path);

}  // namespace nudgelet::skin
