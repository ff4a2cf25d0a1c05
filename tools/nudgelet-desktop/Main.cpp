// nudgelet-desktop: the desktop as scripts see it.
//
//   nudgelet-desktop wait CLASS [SECONDS]   waits for a visible top-level window of
//                                           that class; prints its geometry and styles
//   nudgelet-desktop shot OUT.png           the primary screen as a PNG
//   nudgelet-desktop move X Y               the pointer to a screen point
//   nudgelet-desktop click X Y              a left click there
//   nudgelet-desktop drag X1 Y1 X2 Y2       a left-button drag
//   nudgelet-desktop wheel X Y NOTCHES      the wheel turned there (negative: down)
//   nudgelet-desktop cover SECONDS          a window in front covering the whole screen
//                                           (as a game or a film would), for that long
//   nudgelet-desktop lock FILE SECONDS      holds the file open, shared with no one
//
// Exit code 0 on success, 1 when the window never came or the command failed,
// 2 for a command it does not know.

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <fstream>
#include <string>
#include <vector>

#include "base/Bitmap.h"
#include "platform/win32/Handles.h"

namespace {

using nudgelet::Bitmap;

struct Found {
  const wchar_t* className;
  HWND window = nullptr;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM param) {
  auto* found = reinterpret_cast<Found*>(param);
  wchar_t name[256] = {};
  ::GetClassNameW(window, name, 255);
  if (::IsWindowVisible(window) && ::_wcsicmp(name, found->className) == 0) {
    found->window = window;
    return FALSE;
  }
  return TRUE;
}

int Wait(const wchar_t* className, double seconds) {
  const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  Found found{className};
  while (true) {
    ::EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&found));
    if (found.window || ::GetTickCount64() >= end) break;
    ::Sleep(50);
  }
  if (!found.window) return 1;
  RECT r{};
  ::GetWindowRect(found.window, &r);
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const HWND owner = ::GetWindow(found.window, GW_OWNER);
  const auto ex = static_cast<unsigned long>(::GetWindowLongPtrW(found.window, GWL_EXSTYLE));
  const auto ownerEx = owner ? static_cast<unsigned long>(::GetWindowLongPtrW(owner, GWL_EXSTYLE)) : 0ul;
  wchar_t title[512] = {};
  ::GetWindowTextW(found.window, title, 511);
  for (wchar_t* c = title; *c; ++c)
    if (*c == L'\r' || *c == L'\n') *c = L'|';
  std::printf("%ldx%ld+%ld+%ld exstyle=0x%lx topmost=%d owner=%d ownerexstyle=0x%lx workarea=%ld,%ld,%ld,%ld title=%ls\n",
              r.right - r.left, r.bottom - r.top, r.left, r.top, ex, (ex & WS_EX_TOPMOST) ? 1 : 0, owner ? 1 : 0,
              ownerEx, work.left, work.top, work.right, work.bottom, title);
  return 0;
}

int Shot(const wchar_t* path) {
  using namespace nudgelet::platform::win32;
  const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
  WindowDc screen(nullptr);
  UniqueDc memory(::CreateCompatibleDC(screen.Get()));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap dib(::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !dib || !bits) return 1;
  {
    SelectObjectScope select(memory.Get(), dib.Get());
    if (!::BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), 0, 0, SRCCOPY | CAPTUREBLT)) return 1;
  }
  ::GdiFlush();
  Bitmap image(width, height);
  const auto* source = static_cast<const std::uint32_t*>(bits);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.At(x, y) = source[y * width + x] | 0xFF000000u;  // the screen is opaque
  const std::vector<std::uint8_t> png = nudgelet::EncodePng(image);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  return out.flush() ? 0 : 1;
}

void Send(DWORD flags, int x = 0, int y = 0, DWORD data = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    input.mi.dx = static_cast<LONG>((x * 65535LL + ::GetSystemMetrics(SM_CXSCREEN) / 2) / (::GetSystemMetrics(SM_CXSCREEN) - 1));
    input.mi.dy = static_cast<LONG>((y * 65535LL + ::GetSystemMetrics(SM_CYSCREEN) / 2) / (::GetSystemMetrics(SM_CYSCREEN) - 1));
  }
  input.mi.mouseData = data;
  ::SendInput(1, &input, sizeof input);
  ::Sleep(60);  // as a hand would: each step reaches the window before the next
}

void MoveTo(int x, int y) {
  ::SetCursorPos(x, y);
  Send(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
}

LRESULT CALLBACK CoverProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_ERASEBKGND) {
    RECT r;
    ::GetClientRect(hwnd, &r);
    ::FillRect(reinterpret_cast<HDC>(wparam), &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    return 1;
  }
  return ::DefWindowProcW(hwnd, message, wparam, lparam);
}

int Cover(double seconds) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = CoverProcedure;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"NudgeletDesktopCover";
  ::RegisterClassW(&wc);
  const HWND window = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"Full screen", WS_POPUP | WS_VISIBLE, 0, 0,
                                        ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr,
                                        nullptr, wc.hInstance, nullptr);
  if (!window) return 1;
  ::SetForegroundWindow(window);
  const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  std::puts("covering");
  std::fflush(stdout);
  while (::GetTickCount64() < end) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    ::Sleep(20);
  }
  ::DestroyWindow(window);
  return 0;
}

int Lock(const wchar_t* path, double seconds) {
  const HANDLE file = ::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  std::puts("locked");
  std::fflush(stdout);
  ::Sleep(static_cast<DWORD>(seconds * 1000));
  ::CloseHandle(file);
  return 0;
}

int Number(const wchar_t* text) { return static_cast<int>(std::wcstol(text, nullptr, 10)); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::vector<std::wstring> a(argv + 1, argv + argc);
  const auto is = [&](const wchar_t* command, std::size_t values) { return !a.empty() && a[0] == command && a.size() == values + 1; };
  if (!a.empty() && a[0] == L"wait" && (a.size() == 2 || a.size() == 3)) {
    return Wait(a[1].c_str(), a.size() == 3 ? std::wcstod(a[2].c_str(), nullptr) : 10.0);
  }
  if (is(L"shot", 1)) return Shot(a[1].c_str());
  if (is(L"cover", 1)) return Cover(std::wcstod(argv[2], nullptr));
  if (is(L"lock", 2)) return Lock(argv[2], std::wcstod(argv[3], nullptr));
  if (is(L"move", 2)) {
    MoveTo(Number(argv[2]), Number(argv[3]));
    return 0;
  }
  if (is(L"click", 2)) {
    MoveTo(Number(argv[2]), Number(argv[3]));
    Send(MOUSEEVENTF_LEFTDOWN);
    Send(MOUSEEVENTF_LEFTUP);
    return 0;
  }
  if (is(L"drag", 4)) {
    MoveTo(Number(argv[2]), Number(argv[3]));
    Send(MOUSEEVENTF_LEFTDOWN);
    const int x1 = Number(argv[2]), y1 = Number(argv[3]), x2 = Number(argv[4]), y2 = Number(argv[5]);
    for (int i = 1; i <= 8; ++i) MoveTo(x1 + (x2 - x1) * i / 8, y1 + (y2 - y1) * i / 8);
    Send(MOUSEEVENTF_LEFTUP);
    return 0;
  }
  if (is(L"wheel", 3)) {
    MoveTo(Number(argv[2]), Number(argv[3]));
    Send(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(Number(argv[4]) * WHEEL_DELTA));
    return 0;
  }
  std::fputs("usage: nudgelet-desktop wait CLASS [SECONDS] | shot OUT.png | move X Y | click X Y | "
             "drag X1 Y1 X2 Y2 | wheel X Y NOTCHES | cover SECONDS | lock FILE SECONDS\n",
             stderr);
  return 2;
}
