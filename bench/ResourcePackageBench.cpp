// Opening a skin-sized package and reading every entry, stored raw and zlib-compressed.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "uipack/ResourcePackage.h"

namespace {

using nudgelet::uipack::ResourcePackage;

const std::vector<std::uint8_t>& PackageBytes(bool compressed) {
  static const auto load = [](const char* name) {
    std::ifstream in(std::string(NUDGELET_BENCH_PACKAGES) + "/" + name, std::ios::binary);
    return std::vector<std::uint8_t>{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  };
  static const auto raw = load("bench-raw.rcc");
  static const auto zlib = load("bench-zlib.rcc");
  return compressed ? zlib : raw;
}

void Open(benchmark::State& state) {
  const auto& bytes = PackageBytes(state.range(0) != 0);
  for (auto _ : state) {
    auto package = ResourcePackage::Open(bytes);
    benchmark::DoNotOptimize(package);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void ReadEveryEntry(benchmark::State& state) {
  const auto package = ResourcePackage::Open(PackageBytes(state.range(0) != 0));
  std::int64_t bytes = 0, entries = 0;
  for (auto _ : state) {
    package.ForEachFile([&](const std::wstring&, const ResourcePackage::Entry& entry) {
      const auto content = package.Read(entry);
      benchmark::DoNotOptimize(content.data());
      bytes += static_cast<std::int64_t>(content.size());
      ++entries;
    });
  }
  state.SetBytesProcessed(bytes);
  state.SetItemsProcessed(entries);
}

void OpenAndReadEveryEntry(benchmark::State& state) {
  const auto& bytes = PackageBytes(state.range(0) != 0);
  std::int64_t entries = 0;
  for (auto _ : state) {
    const auto package = ResourcePackage::Open(bytes);
    package.ForEachFile([&](const std::wstring&, const ResourcePackage::Entry& entry) {
      benchmark::DoNotOptimize(package.Read(entry).data());
      ++entries;
    });
  }
  state.SetItemsProcessed(entries);
}

void FindEveryPath(benchmark::State& state) {
  const auto package = ResourcePackage::Open(PackageBytes(true));
  std::vector<std::wstring> paths;
  package.ForEachFile([&](const std::wstring& path, const ResourcePackage::Entry&) { paths.push_back(path); });
  for (auto _ : state) {
    for (const auto& path : paths) benchmark::DoNotOptimize(package.Find(path));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * paths.size()));
}

// Argument 0: stored raw; 1: zlib-compressed.
BENCHMARK(Open)->ArgName("zlib")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadEveryEntry)->ArgName("zlib")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(OpenAndReadEveryEntry)->ArgName("zlib")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(FindEveryPath)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
