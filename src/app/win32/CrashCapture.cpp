#include "app/win32/CrashCapture.h"

#include <windows.h>

#include <objbase.h>

#include <atomic>
#include <exception>

#include "app/BugReportText.h"
#include "app/CrashHandoff.h"
#include "app/CrashReportSettings.h"
#include "app/win32/CrashFacts.h"
#include "app/win32/WindowScreenshot.h"
#include "platform/win32/SystemPlatform.h"

namespace nudgelet::app::win32 {
namespace {

// The hand-off gets this long; a handler stuck on a lock the crashed thread
// held must not keep a dead process around.
constexpr DWORD kHandoffTimeoutMs = 60000;

std::atomic<bool> g_handling{false};
std::atomic<DWORD> g_handlingThread{0};
std::atomic<DWORD> g_workerThread{0};

// Unlike EndProcessAtOnce, the log is not flushed: the crashed thread may hold its lock.
[[noreturn]] void EndAtOnce() {
  ::TerminateProcess(::GetCurrentProcess(), 0);
  ::ExitProcess(0);  // should TerminateProcess ever return
}

// Only one error is handled. A second one raised by the handler itself ends
// the process at once; one from another thread waits for the first to end it.
void Enter() {
  bool idle = false;
  if (!g_handling.compare_exchange_strong(idle, true)) {
    const DWORD self = ::GetCurrentThreadId();
    if (self == g_handlingThread.load() || self == g_workerThread.load()) EndAtOnce();
    for (;;) ::Sleep(INFINITE);
  }
  g_handlingThread.store(::GetCurrentThreadId());
}

void Leave() {
  g_handlingThread.store(0);
  g_workerThread.store(0);
  g_handling.store(false);
}

// What one error brings along. For a fault, everything is gathered on the
// worker thread: the faulting thread may have no stack left.
struct Job {
  const EXCEPTION_POINTERS* fault = nullptr;
  CrashError error;  // for C++ errors, named on the thread that caught it
  void* callerFrames[kMaxStackFrames] = {};
  USHORT callerFrameCount = 0;
  CrashOutcome outcome = CrashOutcome::NotReported;
};

class ProcessEvidence final : public CrashEvidence {
 public:
  ProcessEvidence(const platform::Platform& p, const Job& job, const CrashError& error)
      : p_(p), job_(job), error_(error) {}

  std::wstring ReportText() override {
    CrashFacts facts;
    facts.error = error_;
    wchar_t executable[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, executable, MAX_PATH);
    facts.executable = executable;
    facts.productVersion = CurrentCrashReportSettings().version;
    facts.osVersion = DescribeWindowsVersion();
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    facts.time = {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
    facts.processId = ::GetCurrentProcessId();
    facts.threadId = g_handlingThread.load();
    if (job_.fault != nullptr) {
      facts.stackTitle = L"stack of the faulting thread";
      facts.frames = WalkStack(*job_.fault->ContextRecord);
    } else {
      // The error was raised further in; its own frames are gone by now.
      facts.stackTitle = L"stack where the error was caught (not where it was raised)";
      for (USHORT i = 0; i < job_.callerFrameCount; ++i) {
        facts.frames.push_back(reinterpret_cast<std::uint64_t>(job_.callerFrames[i]));
      }
    }
    facts.modules = ListLoadedModules();
    return FormatBugReport(facts);
  }

  bool SaveScreenshot(const std::wstring& path) override { return SaveProcessWindowsScreenshot(p_.files, path); }

 private:
  const platform::Platform& p_;
  const Job& job_;
  const CrashError& error_;
};

void RunJob(Job& job) {
  try {
    const platform::Platform& p = platform::win32::SystemPlatform();
    CrashError error = job.error;
    if (job.fault != nullptr) {
      const EXCEPTION_RECORD& record = *job.fault->ExceptionRecord;
      std::uint64_t parameters[EXCEPTION_MAXIMUM_PARAMETERS] = {};
      for (DWORD i = 0; i < record.NumberParameters && i < EXCEPTION_MAXIMUM_PARAMETERS; ++i) {
        parameters[i] = record.ExceptionInformation[i];
      }
      error = DescribeSystemException(record.ExceptionCode, reinterpret_cast<std::uint64_t>(record.ExceptionAddress),
                                      record.NumberParameters, parameters);
    }
    ProcessEvidence evidence(p, job, error);
    job.outcome = HandOffCrash(p, CurrentCrashReportSettings(), error, evidence);
  } catch (...) {
    job.outcome = CrashOutcome::NotReported;
  }
}

DWORD WINAPI Worker(void* param) {
  // The shell may want COM to start the sender.
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  RunJob(*static_cast<Job*>(param));
  if (SUCCEEDED(com)) ::CoUninitialize();
  return 0;
}

// The hand-off runs on a thread of its own with a fresh stack; only when none
// can be made does the crashed thread do the work itself.
CrashOutcome Handle(Job& job) {
  DWORD workerId = 0;
  const HANDLE worker = ::CreateThread(nullptr, 1 << 20, &Worker, &job, CREATE_SUSPENDED, &workerId);
  if (worker == nullptr) {
    RunJob(job);
    return job.outcome;
  }
  g_workerThread.store(workerId);
  ::ResumeThread(worker);
  if (::WaitForSingleObject(worker, kHandoffTimeoutMs) != WAIT_OBJECT_0) EndAtOnce();
  ::CloseHandle(worker);
  return job.outcome;
}

// libgcc raises C++ throws as system exceptions of its own ("GCC" with flag
// bits). One that reaches this filter has no catch block: it must continue,
// so that the C++ runtime calls std::terminate, which reports it.
bool IsGccThrow(const EXCEPTION_RECORD& record) {
  constexpr DWORD kGccMagic = ('G' << 16) | ('C' << 8) | 'C' | (1u << 29);
  return (record.ExceptionCode & 0x20FFFFFFu) == kGccMagic && !(record.ExceptionFlags & EXCEPTION_NONCONTINUABLE);
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* pointers) {
  if (pointers != nullptr && pointers->ExceptionRecord != nullptr && IsGccThrow(*pointers->ExceptionRecord)) {
    return EXCEPTION_CONTINUE_EXECUTION;
  }
  Enter();
  if (pointers == nullptr || pointers->ExceptionRecord == nullptr || pointers->ContextRecord == nullptr) EndAtOnce();
  Job job;
  job.fault = pointers;
  Handle(job);
  // Whatever the filter said, a fault leaves nothing to go on with.
  EndAtOnce();
}

// Called inside a catch block or from std::terminate: names the error in
// flight and hands it off. Answers the outcome.
CrashOutcome HandleCurrentException() {
  Enter();
  Job job;
  job.callerFrameCount = ::RtlCaptureStackBackTrace(1, kMaxStackFrames, job.callerFrames, nullptr);
  try {
    job.error = DescribeCurrentException();
    if (job.error.className.empty()) job.error = {L"terminate", L"the program ended abnormally without an error"};
  } catch (...) {
    job.error = {L"unknown", L"the error could not be described"};
  }
  const CrashOutcome outcome = Handle(job);
  if (outcome != CrashOutcome::Ignored) EndAtOnce();
  Leave();
  return outcome;
}

[[noreturn]] void OnTerminate() {
  HandleCurrentException();
  EndAtOnce();  // an ignored error cannot go on from here
}

}  // namespace

void InstallCrashCapture() {
  // Made now, while all is well: the handler only uses it.
  platform::win32::SystemPlatform();
  ::SetUnhandledExceptionFilter(&OnUnhandledException);
  std::set_terminate(&OnTerminate);
}

void ReportCaughtException() { HandleCurrentException(); }

}  // namespace nudgelet::app::win32
