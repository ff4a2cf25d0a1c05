#pragma once
#include <windows.h>
#include <cstdio>
inline void NudgeMark(const char* what) {
  FILETIME created, e, k, u, now;
  ::GetProcessTimes(::GetCurrentProcess(), &created, &e, &k, &u);
  ::GetSystemTimePreciseAsFileTime(&now);
  auto v = [](FILETIME f) { return (static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
  char line[128];
  const int n = std::snprintf(line, sizeof line, "%s %.1f\r\n", what, (v(now) - v(created)) / 10000.0);
  HANDLE h = ::CreateFileA("C:\\marks.txt", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
  DWORD w;
  ::WriteFile(h, line, n, &w, nullptr);
  ::CloseHandle(h);
}
