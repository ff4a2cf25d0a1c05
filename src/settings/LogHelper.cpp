#include "settings/LogHelper.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "base/Paths.h"
#include "base/Strings.h"
#include "settings/LogLine.h"
#include "settings/SafeIniFile.h"
#include "settings/TextFile.h"

namespace nudgelet {
namespace {

class TLogWriter {
 public:
  TLogWriter(const platform::FileSystem& files, const platform::SystemFacts& system, std::wstring folder)
      : files_(files), system_(system), folder_(IncludeTrailingBackslash(std::move(folder))) {
    thread_ = std::thread([this] { Run(); });
  }

  ~TLogWriter() {
    {
      std::lock_guard lock(wakeMutex_);
      terminate_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  std::atomic<bool> startRequest{false};
  std::atomic<bool> running{false};
  // Set once the folder is known to exist, or known not to.
  std::atomic<bool> startupDone{false};
  // Lines taken from the queue but not yet on disk.
  std::atomic<int> inFlight{0};

  // Ends the current 100 ms pause early.
  void Wake() {
    {
      std::lock_guard lock(wakeMutex_);
      kick_ = true;
    }
    wake_.notify_all();
  }

 private:
  void Run();
  void WriteBatch(const std::map<int, std::wstring>& batch);
  bool SleepPass();

  const platform::FileSystem& files_;
  const platform::SystemFacts& system_;
  std::wstring folder_;
  std::thread thread_;
  std::mutex wakeMutex_;
  std::condition_variable wake_;
  bool terminate_ = false;
  bool kick_ = false;
};

struct LogState {
  std::mutex queueLock;
  std::deque<std::wstring> queue;  // kind digit followed by the line
  const platform::FileSystem* files = nullptr;
  const platform::SystemFacts* system = nullptr;
  std::wstring exeName;
  std::wstring programFolder;
  std::unique_ptr<TLogWriter> writer;
  std::atomic<std::uint32_t> errorCount{0};
};

LogState& State() {
  static LogState state;
  return state;
}

bool TLogWriter::SleepPass() {
  std::unique_lock lock(wakeMutex_);
  wake_.wait_for(lock, std::chrono::milliseconds(100), [this] { return terminate_ || kick_; });
  kick_ = false;
  return !terminate_;
}

void TLogWriter::Run() {
  while (!startRequest) {
    if (!SleepPass()) return;
  }
  running = true;
  if (!ForceFolder(files_, folder_)) {
    startRequest = false;
    running = false;
    startupDone = true;
    return;
  }
  startupDone = true;
  LogState& state = State();
  while (true) {
    std::map<int, std::wstring> batch;
    {
      std::lock_guard lock(state.queueLock);
      for (auto& item : state.queue) {
        const int kind = item[0] - L'0';
        auto [it, fresh] = batch.try_emplace(kind, item.substr(1));
        if (!fresh) it->second += L"\r\n" + item.substr(1);
      }
      inFlight = static_cast<int>(state.queue.size());
      state.queue.clear();
    }
    if (!batch.empty()) WriteBatch(batch);
    inFlight = 0;
    if (batch.empty() && !startRequest) break;
    // A terminate request still drains what is queued on the next pass.
    SleepPass();
    std::lock_guard lock(wakeMutex_);
    if (terminate_) {
      std::lock_guard queueLock(state.queueLock);
      if (state.queue.empty()) break;
    }
  }
  running = false;
}

void TLogWriter::WriteBatch(const std::map<int, std::wstring>& batch) {
  const DateTimeParts today = system_.LocalTime();
  for (const auto& [kind, text] : batch) {
    auto file = files_.OpenForAppend(LogFileName(folder_, today, kind));
    if (!file) continue;  // file errors are not reported
    std::vector<std::uint8_t> bytes;
    if (file->Size() == 0) {
      bytes = {0xFF, 0xFE};
    } else {
      bytes = {'\r', 0, '\n', 0};
    }
    const auto body = WideToUtf16Le(text);
    bytes.insert(bytes.end(), body.begin(), body.end());
    file->Append(bytes);
  }
}

}  // namespace

void TLogHelper::Initialize(const platform::FileSystem& files, const platform::SystemFacts& system,
                            std::wstring exeName, std::wstring programFolder) {
  LogState& state = State();
  state.files = &files;
  state.system = &system;
  state.exeName = std::move(exeName);
  state.programFolder = std::move(programFolder);
}

void TLogHelper::Start(const std::wstring& folder) {
  LogState& state = State();
  if (state.writer || !state.files) return;
  state.errorCount = 0;
  // An empty folder would name the root of the current drive: beside the program instead.
  std::wstring where = folder;
  if (where.empty()) {
    where = (state.programFolder.empty() ? std::wstring() : IncludeTrailingBackslash(state.programFolder)) + L"Log";
  }
  state.writer = std::make_unique<TLogWriter>(*state.files, *state.system, where);
  state.writer->startRequest = true;
  state.writer->Wake();
  // Callers may log as soon as this returns, and must find logging off when the
  // folder cannot be made: wait for the writer to know which.
  while (!state.writer->startupDone) std::this_thread::yield();
}

void TLogHelper::Log(const std::wstring& code, const std::wstring& message, const std::wstring& module,
                     bool debugOutput, int kind) {
  LogState& state = State();
  if (!state.system) return;
  if (debugOutput) state.system->DebugOutput(L"[Patchwell Hub][" + code + L"] - " + message);
  TLogWriter* writer = state.writer.get();
  if (!writer || !writer->startRequest || !writer->running) return;
  // Mapped here, not when writing: lines of one pass then reach the dbg file
  // in the order they came, and a kind of two digits cannot spill into the line.
  if (kind < 0 || kind > 2) kind = 0;
  std::wstring item(1, static_cast<wchar_t>(L'0' + kind));
  item +=
      FormatLogLine(state.system->LocalTime(), state.exeName, code, state.system->CurrentThreadId(), message, module);
  std::lock_guard lock(state.queueLock);
  state.queue.push_back(std::move(item));
}

void TLogHelper::Stop(const std::function<void(std::uint32_t)>& addErrorCount) {
  LogState& state = State();
  if (!state.writer) return;
  if (addErrorCount) addErrorCount(state.errorCount);
  state.writer->startRequest = false;
  state.writer->Wake();
  while (state.writer->running) std::this_thread::yield();
  state.writer.reset();
}

bool TLogHelper::Flush(std::chrono::milliseconds maxWait) {
  LogState& state = State();
  TLogWriter* writer = state.writer.get();
  if (!writer || !writer->running) return true;
  const auto deadline = std::chrono::steady_clock::now() + maxWait;
  while (std::chrono::steady_clock::now() < deadline) {
    {
      std::lock_guard lock(state.queueLock);
      if (state.queue.empty() && writer->inFlight == 0) return true;
    }
    writer->Wake();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

bool TLogHelper::IsRunning() {
  LogState& state = State();
  return state.writer && state.writer->running;
}

std::uint32_t TLogHelper::ErrorCount() { return State().errorCount; }

}  // namespace nudgelet
