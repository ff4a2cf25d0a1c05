#pragma once
// Reader of .reg files as regedit writes them: "Windows Registry Editor Version 5.00"
// (UTF-16LE with byte-order mark, or UTF-8) and "REGEDIT4".

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/InMemoryRegistry.h"

namespace nudgelet::platform {

// A malformed file. The message names the source and the line: "<source>:<line>: <problem>".
class RegFileError : public std::runtime_error {
 public:
  RegFileError(const std::string& source, int line, const std::string& problem);
  int Line() const { return line_; }

 private:
  int line_;
};

// Applies the file's keys, values and deletions to the registry, in file order.
// Throws RegFileError on the first malformed line; what came before it stays applied.
void LoadRegFile(InMemoryRegistry& registry, const std::vector<std::uint8_t>& bytes,
                 const std::string& sourceName = "<reg>");
void LoadRegFile(InMemoryRegistry& registry, const std::filesystem::path& path);

}  // namespace nudgelet::platform
