// A stand-in for the product's other programs: records its command line in
// "<own name>.cmdline" beside itself, then waits the given number of seconds
// (default 0) before it ends.
#include <windows.h>

#include <cwchar>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring record = std::wstring(path) + L".cmdline";
  const HANDLE file = ::CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    const std::wstring line = std::wstring(commandLine) + L"\r\n";
    DWORD written = 0;
    ::WriteFile(file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written, nullptr);
    ::CloseHandle(file);
  }
  const int seconds = std::wcstol(commandLine, nullptr, 10);
  if (seconds > 0) ::Sleep(static_cast<DWORD>(seconds) * 1000);
  return 0;
}
