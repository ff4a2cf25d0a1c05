#include "app/BugReportText.h"

#include "base/Numbers.h"

namespace nudgelet::app {
namespace {

std::wstring Hex(std::uint64_t value, int digits) { return L"0x" + FormatHex(value, digits); }

void Line(std::wstring& out, const std::wstring& label, const std::wstring& value) {
  std::wstring padded = label;
  if (padded.size() < 18) padded.resize(18, L' ');
  out += padded + L": " + value + L"\r\n";
}

}  // namespace

std::wstring DescribeCodeAddress(std::uint64_t address, const std::vector<LoadedModule>& modules) {
  for (const LoadedModule& m : modules) {
    if (address >= m.base && address - m.base < m.size) return m.name + L" + " + Hex(address - m.base, 8);
  }
  return Hex(address, 16);
}

std::wstring FormatBugReport(const CrashFacts& f) {
  std::wstring out;
  const DateTimeParts& t = f.time;
  Line(out, L"date/time", FormatIsoDate(t) + L" " + FormatTimeOfDay(t));
  Line(out, L"executable", f.executable);
  Line(out, L"product version", f.productVersion);
  Line(out, L"operating system", f.osVersion);
  Line(out, L"process id", std::to_wstring(f.processId));
  Line(out, L"thread id", std::to_wstring(f.threadId));
  Line(out, L"exception class", f.error.className);
  Line(out, L"exception message", f.error.message);

  out += L"\r\n" + f.stackTitle + L":\r\n";
  if (f.frames.empty()) out += L"  (no frames)\r\n";
  for (const std::uint64_t frame : f.frames) {
    out += L"  " + Hex(frame, 16) + L"  " + DescribeCodeAddress(frame, f.modules) + L"\r\n";
  }

  out += L"\r\nmodules:";
  for (const LoadedModule& m : f.modules) {
    out += L"\r\n  " + Hex(m.base, 16) + L"  " + Hex(m.size, 8) + L"  " + (m.path.empty() ? m.name : m.path);
  }
  return out;
}

}  // namespace nudgelet::app
