#include "app/SenderParameters.h"

namespace nudgelet::app {
namespace {

void AddSwitch(std::wstring& out, const wchar_t* name, std::wstring value) {
  for (wchar_t& c : value) {
    if (c == L'"') c = L'\'';
  }
  out += L" ";
  out += name;
  out += L" \"";
  out += value;
  out += L"\"";
}

}  // namespace

std::wstring BuildSenderParameters(const SenderRequest& r) {
  std::wstring out = L"/AntRun";
  AddSwitch(out, L"/Addr", r.address);
  AddSwitch(out, L"/Subject", r.subject);
  AddSwitch(out, L"/Product", r.product);
  AddSwitch(out, L"/App", r.application);
  if (r.kind != ErrorKind::Other) AddSwitch(out, L"/Exception", std::wstring(ExceptionSwitchValue(r.kind)));
  if (!r.infoProgram.empty()) AddSwitch(out, L"/GetInfo", r.infoProgram);
  AddSwitch(out, L"/files", r.screenshotPath.empty() ? r.reportPath : r.screenshotPath + L"|" + r.reportPath);
  if (!r.language.empty()) AddSwitch(out, L"/Lan", r.language);
  return out;
}

}  // namespace nudgelet::app
