#pragma once
// A registry that answers from the last run's snapshot where a key has not
// changed since, and notes what this run read for the next one.
//
// A key is known unchanged when its parent lists it with the same, trusted
// last-write time as the snapshot holds: Windows moves that time whenever a
// value of the key is set or deleted and whenever a subkey comes or goes. Such
// a key is not even opened for the values the snapshot holds, nor listed when
// it had no subkeys. Everything else is read from the registry, as without a
// snapshot: keys are opened when first asked and kept open for their subkeys.

#include <memory>
#include <string_view>

#include "detection/UninstallSnapshot.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"

namespace nudgelet::detection {

class SnapshotRegistry final : public platform::Registry {
 public:
  SnapshotRegistry(const platform::Registry& registry, UninstallSnapshot previous);
  SnapshotRegistry(const SnapshotRegistry&) = delete;
  SnapshotRegistry& operator=(const SnapshotRegistry&) = delete;

  std::unique_ptr<platform::RegistryKey> OpenReadOnly(platform::RegistryRoot root, std::wstring_view path,
                                                      platform::RegistryView view) const override;

  // The snapshot it was given, and the keys opened through this registry with
  // what was asked of them: the next run's snapshot. Keys not opened this run
  // are gone from it.
  const UninstallSnapshot& Previous() const { return previous_; }
  const UninstallSnapshot& Next() const { return next_; }

 private:
  const platform::Registry& registry_;
  const UninstallSnapshot previous_;
  mutable UninstallSnapshot next_;
};

// The snapshot file at path, or an empty snapshot when it is missing or damaged.
UninstallSnapshot LoadUninstallSnapshot(const platform::FileSystem& files, const std::wstring& path);
// Writes next over the file when it differs from what was loaded; a snapshot
// that cannot be written only costs the next run its speed.
void SaveUninstallSnapshot(const platform::FileSystem& files, const std::wstring& path, const UninstallSnapshot& loaded,
                           const UninstallSnapshot& next);

}  // namespace nudgelet::detection
