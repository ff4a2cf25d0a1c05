#include "settings/LogLine.h"

namespace nudgelet {

const wchar_t* LogKindExtension(int kind) {
  switch (kind) {
    case 1:
      return L"err";
    case 2:
      return L"loop";
    default:
      return L"dbg";
  }
}

std::wstring FormatLogLine(const DateTimeParts& t, const std::wstring& exeName, const std::wstring& code,
                           std::uint32_t threadId, const std::wstring& message, const std::wstring& module) {
  const bool timeValid = t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0 &&
                         t.second < 60 && t.millisecond >= 0 && t.millisecond < 1000;
  std::wstring line = L"[";
  line += timeValid ? FormatTimeOfDay(t) : L"UnKowwn";
  line += L"][" + exeName + L"][" + code + L"][" + std::to_wstring(threadId).substr(0, 4) + L"] - ";
  if (!module.empty()) line += L"[" + module + L"]";
  line += message;
  return line;
}

std::wstring LogFileName(const std::wstring& folder, const DateTimeParts& d, int kind) {
  return folder + FormatIsoDate(d) + L"." + LogKindExtension(kind);
}

}  // namespace nudgelet
