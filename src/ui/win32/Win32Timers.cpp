#include "ui/win32/Win32Timers.h"

#include <windows.h>

#include <map>
#include <memory>

namespace nudgelet::ui::win32 {
namespace {

// All timers run on the user-interface thread, so the map needs no lock.
std::map<UINT_PTR, std::shared_ptr<std::function<void()>>>& Live() {
  static std::map<UINT_PTR, std::shared_ptr<std::function<void()>>> live;
  return live;
}

void CALLBACK Fired(HWND, UINT, UINT_PTR id, DWORD) {
  const auto it = Live().find(id);
  if (it == Live().end()) {
    ::KillTimer(nullptr, id);  // a timer nobody owns any more
    return;
  }
  const auto tick = it->second;  // the tick may stop its own timer
  (*tick)();
}

std::wstring SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD n =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = n ? std::wstring(text, n) : L"System error " + std::to_wstring(code);
  if (text) ::LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.')) {
    message.pop_back();
  }
  return message;
}

}  // namespace

Win32Timers::~Win32Timers() {
  for (const auto& [id, tick] : Live()) ::KillTimer(nullptr, id);
  Live().clear();
}

std::optional<TimerId> Win32Timers::Start(unsigned intervalMs, std::function<void()> tick, std::wstring& error) {
  const UINT_PTR id = ::SetTimer(nullptr, 0, intervalMs, &Fired);
  if (id == 0) {
    error = SystemMessage(::GetLastError());
    return std::nullopt;
  }
  Live()[id] = std::make_shared<std::function<void()>>(std::move(tick));
  return static_cast<TimerId>(id);
}

void Win32Timers::Stop(TimerId id) {
  ::KillTimer(nullptr, static_cast<UINT_PTR>(id));
  Live().erase(static_cast<UINT_PTR>(id));
}

void Win32Timers::Sleep(unsigned ms) { ::Sleep(ms); }

}  // namespace nudgelet::ui::win32
