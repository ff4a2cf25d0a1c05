// Deciphering a 20 MB update database: in memory, and file to temporary copy as
// the program does at start. The database is made by a child process first so
// that the peak resident size reported belongs to the deciphering alone.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "DbTool.h"
#include "detection/DatabaseCipher.h"
#include "platform/posix/PosixDynamicLibraries.h"
#include "platform/posix/PosixFileSystem.h"

namespace {

namespace fs = std::filesystem;
using namespace nudgelet;

constexpr std::uint64_t kTargetBytes = 20u << 20;

const platform::posix::PosixFileSystem kFiles;
const platform::posix::PosixDynamicLibraries kLibraries;

struct Paths {
  fs::path folder = fs::temp_directory_path() / ("nudgelet-bench-" + std::to_string(::getpid()));
  std::wstring dbd = (folder / "VessaUpdate.dbd").wstring();
  std::wstring copy = (folder / "temp-VessaUpdate.dbd").wstring();
  std::wstring sqlite = (folder / "original.sqlite").wstring();
};
const Paths kPaths;

// Rows shaped like SoftBase's: a GUID-like key, names, and an icon as
// hexadecimal text, which is what makes the real file large.
std::string GeneratorSql(int rows) {
  return "PRAGMA page_size=4096;"
         "CREATE TABLE SoftBase(Key varchar(50), DisplayName varchar(200), Publisher varchar(200), "
         "SoftName varchar(100), MainExeName varchar(200), VerCompareNum varchar(4), ICON text);"
         "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
         std::to_string(rows) +
         ") INSERT INTO SoftBase SELECT printf('{%08X-0000-4000-8000-%012X}', i, i * 7919), "
         "'Program ' || i, 'Publisher ' || (i % 997), 'Program ' || i, 'program' || i || '.exe', '3', "
         "hex(randomblob(1200)) FROM n;";
}

int MakeDatabase() {
  const tools::DbToolServices services{kFiles, kLibraries, platform::SystemCrypto(), L"libsqlite3.so.0"};
  try {
    // A row takes about 4 KB of pages.
    tools::BuildDatabaseFromSql(services, GeneratorSql(static_cast<int>(kTargetBytes / 4060)), kPaths.dbd);
    tools::DecipherFile(services, kPaths.dbd, kPaths.sqlite);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "cannot make the database: %s\n", e.what());
    return 1;
  }
  return 0;
}

double PeakResidentMegabytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

void Report(benchmark::State& state, std::uint64_t plainBytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * plainBytes));
  state.counters["sqlite_MB"] = static_cast<double>(plainBytes) / (1 << 20);
  state.counters["dbd_MB"] = static_cast<double>(fs::file_size(fs::path(kPaths.dbd))) / (1 << 20);
  state.counters["peak_RSS_MB"] = PeakResidentMegabytes();
}

void DecipherInMemory(benchmark::State& state) {
  const auto key = *detection::DatabaseKey(detection::kDatabasePassword, detection::kDatabaseKeyBits);
  const auto stored = kFiles.ReadFile(kPaths.dbd, detection::kMaxEncipheredBytes).bytes;
  std::uint64_t plain = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::uint8_t> buffer = stored;
    state.ResumeTiming();
    if (!detection::DecipherDatabaseBytes(platform::SystemCrypto(), key, buffer))
      state.SkipWithError("provider failed");
    plain = buffer.size();
    benchmark::DoNotOptimize(buffer.data());
  }
  Report(state, plain);
}

void DecipherToTemporaryCopy(benchmark::State& state) {
  for (auto _ : state) {
    kFiles.RemoveFile(kPaths.copy);
    if (!detection::DecipherDatabaseFile(kFiles, platform::SystemCrypto(), kPaths.dbd, kPaths.copy,
                                         detection::kDatabasePassword, detection::kDatabaseKeyBits)) {
      state.SkipWithError("deciphering failed");
    }
  }
  if (fs::file_size(fs::path(kPaths.copy)) != fs::file_size(fs::path(kPaths.sqlite)))
    state.SkipWithError("the copy differs from the original");
  Report(state, fs::file_size(fs::path(kPaths.copy)));
}

// The same file through the usual command-line tools, file to file: Base64
// decoded (ignoring the line breaks' carriage returns) and piped into OpenSSL.
void OpensslPipeline(benchmark::State& state) {
  const auto key = *detection::DatabaseKey(detection::kDatabasePassword, detection::kDatabaseKeyBits);
  std::string hex;
  for (std::uint8_t b : key) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02x", b);
    hex += digits;
  }
  const std::string command = "base64 -d -i '" + fs::path(kPaths.dbd).string() +
                              "' | openssl enc -d -aes-128-ecb -nopad -K " + hex + " -out '" +
                              fs::path(kPaths.copy).string() + "'";
  for (auto _ : state) {
    kFiles.RemoveFile(kPaths.copy);
    if (std::system(command.c_str()) != 0) state.SkipWithError("the pipeline failed");
  }
  if (fs::file_size(fs::path(kPaths.copy)) != fs::file_size(fs::path(kPaths.sqlite)))
    state.SkipWithError("the pipeline's copy differs from the original");
  state.counters["sqlite_MB"] = static_cast<double>(fs::file_size(fs::path(kPaths.sqlite))) / (1 << 20);
}

// File to file first: its peak is the one the program sees.
BENCHMARK(DecipherToTemporaryCopy)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(OpensslPipeline)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(DecipherInMemory)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  fs::create_directories(kPaths.folder);
  const pid_t child = ::fork();
  if (child == 0) ::_exit(MakeDatabase());
  int status = 0;
  ::waitpid(child, &status, 0);
  int result = 1;
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    std::printf("database: %.1f MB SQLite, %.1f MB enciphered; resident before the runs: %.1f MB\n",
                static_cast<double>(fs::file_size(fs::path(kPaths.sqlite))) / (1 << 20),
                static_cast<double>(fs::file_size(fs::path(kPaths.dbd))) / (1 << 20), PeakResidentMegabytes());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    result = 0;
  }
  std::error_code ignored;
  fs::remove_all(kPaths.folder, ignored);
  return result;
}
