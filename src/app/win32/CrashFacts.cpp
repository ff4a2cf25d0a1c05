#include "app/win32/CrashFacts.h"

#include <tlhelp32.h>

#include "platform/win32/Handles.h"

namespace nudgelet::app::win32 {
namespace {

// Committed memory that may be read without touching a guard page.
bool IsReadable(std::uint64_t address, std::size_t bytes) {
  MEMORY_BASIC_INFORMATION info{};
  if (::VirtualQuery(reinterpret_cast<const void*>(address), &info, sizeof(info)) != sizeof(info)) return false;
  const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE |
                         PAGE_EXECUTE_WRITECOPY;
  if (info.State != MEM_COMMIT || (info.Protect & PAGE_GUARD) || !(info.Protect & readable)) return false;
  const auto end = reinterpret_cast<std::uint64_t>(info.BaseAddress) + info.RegionSize;
  return address + bytes <= end;
}

}  // namespace

std::vector<std::uint64_t> WalkStack(const CONTEXT& start) {
  std::vector<std::uint64_t> frames;
  frames.reserve(kMaxStackFrames);
#if defined(__x86_64__) || defined(_M_X64)
  CONTEXT context = start;
  while (frames.size() < kMaxStackFrames && context.Rip != 0) {
    frames.push_back(context.Rip);
    const std::uint64_t stackBefore = context.Rsp;
    DWORD64 imageBase = 0;
    PRUNTIME_FUNCTION function = ::RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr);
    if (function == nullptr) {
      // A leaf function: the return address is on top of the stack.
      if (!IsReadable(context.Rsp, sizeof(DWORD64))) break;
      context.Rip = *reinterpret_cast<const DWORD64*>(context.Rsp);
      context.Rsp += sizeof(DWORD64);
    } else {
      // The unwind reads the frame's saved registers above the stack pointer.
      if (!IsReadable(context.Rsp, 16)) break;
      PVOID handlerData = nullptr;
      DWORD64 establisher = 0;
      ::RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, context.Rip, function, &context, &handlerData, &establisher,
                         nullptr);
    }
    // Stacks grow down: a frame further out lies higher, or the walk is lost.
    if (context.Rsp <= stackBefore) break;
  }
#else
  (void)start;
#endif
  return frames;
}

std::vector<LoadedModule> ListLoadedModules() {
  std::vector<LoadedModule> modules;
  platform::win32::UniqueKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0));
  if (!snapshot) return modules;
  MODULEENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Module32FirstW(snapshot.Get(), &entry); more; more = ::Module32NextW(snapshot.Get(), &entry)) {
    modules.push_back(
        {entry.szModule, entry.szExePath, reinterpret_cast<std::uint64_t>(entry.modBaseAddr), entry.modBaseSize});
  }
  return modules;
}

std::wstring DescribeWindowsVersion() {
  using RtlGetVersionFn = LONG(WINAPI*)(RTL_OSVERSIONINFOW*);
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  const auto getVersion =
      ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void (*)()>(::GetProcAddress(ntdll, "RtlGetVersion")))
            : nullptr;
  RTL_OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (getVersion == nullptr || getVersion(&info) != 0) return L"Windows (version unknown)";
  std::wstring text = L"Windows " + std::to_wstring(info.dwMajorVersion) + L"." + std::to_wstring(info.dwMinorVersion) +
                      L" (build " + std::to_wstring(info.dwBuildNumber);
  if (info.szCSDVersion[0] != L'\0') text += std::wstring(L", ") + info.szCSDVersion;
  return text + L")";
}

}  // namespace nudgelet::app::win32
