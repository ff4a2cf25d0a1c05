#pragma once
// The four questions matching asks the update database. Every answer is text,
// empty when the database has none (or cannot answer).

#include <string>

namespace nudgelet::detection {

class UpdateQueries {
 public:
  virtual ~UpdateQueries() = default;
  virtual std::wstring FindKey(const std::wstring& displayName, const std::wstring& publisher) const = 0;
  virtual std::wstring FindKeyBySoftName(const std::wstring& displayName, const std::wstring& publisher,
                                         const std::wstring& softName) const = 0;
  virtual std::wstring GetBaseField(const std::wstring& key, const std::wstring& column) const = 0;
  virtual std::wstring GetDownField(const std::wstring& key, int bit, int lanId, const std::wstring& column) const = 0;
};

}  // namespace nudgelet::detection
