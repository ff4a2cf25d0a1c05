#pragma once
// What the uninstall keys held when the inventory last read them, kept from one
// run to the next: a key whose last-write time has not moved since still holds
// the same values, and need not be read again. Under Wine every registry call
// is a round trip to another process, and reading a few hundred entries value
// by value took most of a run.
//
// The file is ours, in the user's temporary folder, and anything may happen to
// it there: it is read whole, checked against its checksum, and any fault in it
// makes it an empty snapshot, so that every key is read from the registry.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/Strings.h"
#include "platform/RegistryValue.h"

namespace nudgelet::detection {

struct SnapshotKey {
  std::uint64_t lastWriteTime = 0;  // as the parent listed it; 0 is never trusted
  bool leaf = false;                // had no subkeys, so nothing below it can change unseen
  // Every value asked for, and what it was (nullopt: absent), by name without regard to case.
  std::map<std::wstring, std::optional<platform::RegistryValue>, LessIgnoreCase> values;

  bool operator==(const SnapshotKey&) const = default;
};

class UninstallSnapshot {
 public:
  // Keys by an identity the registry walk gives them (see SnapshotRegistry).
  std::map<std::wstring, SnapshotKey> keys;

  // The file's bytes to a snapshot; nullopt for anything but a whole, unchanged
  // file of this format.
  static std::optional<UninstallSnapshot> Parse(const std::vector<std::uint8_t>& bytes);
  std::vector<std::uint8_t> Serialize() const;

  bool operator==(const UninstallSnapshot&) const = default;
};

// Its name in the user's temporary folder.
inline constexpr wchar_t kUninstallSnapshotFile[] = L"NudgeletUninstall.snapshot";

// Larger files are not read: a few hundred programs take some hundred kilobytes.
inline constexpr std::uint64_t kMaxSnapshotBytes = 32u << 20;

}  // namespace nudgelet::detection
