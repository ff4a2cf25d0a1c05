#pragma once
// Matching's four questions, answered by the update database.

#include "detection/UpdateDatabase.h"
#include "detection/UpdateQueries.h"

namespace nudgelet::detection {

class TUpdateDatabaseQueries final : public UpdateQueries {
 public:
  explicit TUpdateDatabaseQueries(TUpdateDatabase& db) : db_(db) {}

  std::wstring FindKey(const std::wstring& displayName, const std::wstring& publisher) const override {
    return db_.FindKey(displayName, publisher);
  }
  std::wstring FindKeyBySoftName(const std::wstring& displayName, const std::wstring& publisher,
                                 const std::wstring& softName) const override {
    return db_.FindKeyBySoftName(displayName, publisher, softName);
  }
  std::wstring GetBaseField(const std::wstring& key, const std::wstring& column) const override {
    return db_.GetBaseField(key, column);
  }
  std::wstring GetDownField(const std::wstring& key, int bit, int lanId, const std::wstring& column) const override {
    return db_.GetDownField(key, bit, lanId, column);
  }

 private:
  TUpdateDatabase& db_;  // its queries take the process-wide lock; they change nothing we can see
};

}  // namespace nudgelet::detection
