// Starts a program again and again under Wine and reports the time from its
// start to its decision (it ends, or it shows a window of its own) and its peak
// working set, sampled while it runs.
//
//   start-to-decision RUNS HOLD PROGRAM [ARGS...]
//
// HOLD is a file kept open, without delete sharing, while the program runs
// ("-" for none): the reminder then finds its temporary database copy in use
// and reads it as it is instead of deciphering it again. One line of JSON out.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::wstring Quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  std::wstring q = L"\"";
  for (wchar_t c : argument) {
    if (c == L'"') q += L'\\';
    q += c;
  }
  return q + L"\"";
}

struct Found {
  DWORD process;
  bool shown = false;
};

BOOL CALLBACK FindShownWindow(HWND window, LPARAM argument) {
  auto* found = reinterpret_cast<Found*>(argument);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == found->process && ::IsWindowVisible(window)) {
    found->shown = true;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: start-to-decision RUNS HOLD|- PROGRAM [ARGS...]\n");
    return 2;
  }
  const int runs = std::max(1, _wtoi(argv[1]));
  HANDLE hold = INVALID_HANDLE_VALUE;
  if (std::wstring(argv[2]) != L"-") {
    hold = ::CreateFileW(argv[2], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hold == INVALID_HANDLE_VALUE) {
      std::fprintf(stderr, "start-to-decision: cannot hold %ls\n", argv[2]);
      return 2;
    }
  }
  std::wstring command;
  for (int i = 3; i < argc; ++i) command += (i > 3 ? L" " : L"") + Quoted(argv[i]);

  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE nul =
      ::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0, nullptr);
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  std::vector<double> times;
  SIZE_T peak = 0;
  int exitCode = 0;
  bool shown = false;
  for (int run = 0; run < runs; ++run) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION process{};
    std::wstring line = command;
    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                          &process)) {
      std::fprintf(stderr, "start-to-decision: cannot start %ls (%lu)\n", command.c_str(), ::GetLastError());
      return 2;
    }
    SIZE_T runPeak = 0;
    while (true) {
      const DWORD waited = ::WaitForSingleObject(process.hProcess, 1);
      PROCESS_MEMORY_COUNTERS counters{};
      if (::GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters)) {
        runPeak = std::max(runPeak, counters.PeakWorkingSetSize);
      }
      if (waited == WAIT_OBJECT_0) break;
      Found found{process.dwProcessId};
      ::EnumWindows(FindShownWindow, reinterpret_cast<LPARAM>(&found));
      if (found.shown) {
        shown = true;
        break;
      }
    }
    ::QueryPerformanceCounter(&end);
    if (shown) ::TerminateProcess(process.hProcess, 0);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    exitCode = static_cast<int>(code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    times.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
                    static_cast<double>(frequency.QuadPart));
    peak = std::max(peak, runPeak);
  }
  if (hold != INVALID_HANDLE_VALUE) ::CloseHandle(hold);
  std::sort(times.begin(), times.end());
  std::printf(
      "{\"runs\": %d, \"median_ms\": %.1f, \"min_ms\": %.1f, \"max_ms\": %.1f, \"peak_working_set_mb\": %.1f, "
      "\"exit_code\": %d, \"shown\": %s}\n",
      runs, times[times.size() / 2], times.front(), times.back(), static_cast<double>(peak) / (1 << 20), exitCode,
      shown ? "true" : "false");
  return 0;
}
