#pragma once
// The rcc-made packages of the build (tests/CMakeLists.txt) and the files they were made from.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace nudgelet::uipack::testing {

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// "public-v2-zlib" -> the bytes of uipack-fixtures/public-v2-zlib.rcc
inline std::vector<std::uint8_t> Fixture(const std::string& name) {
  return ReadBytes(std::filesystem::path(NUDGELET_UIPACK_FIXTURES) / (name + ".rcc"));
}

inline std::vector<std::uint8_t> Source(const std::string& relative) {
  return ReadBytes(std::filesystem::path(NUDGELET_UIPACK_SOURCES) / relative);
}

inline std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace nudgelet::uipack::testing
