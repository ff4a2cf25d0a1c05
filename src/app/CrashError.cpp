#include "app/CrashError.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "base/Numbers.h"
#include "base/Strings.h"

namespace nudgelet::app {
namespace {

struct NamedCode {
  std::uint32_t code;
  std::wstring_view name;
};

constexpr NamedCode kExceptionCodes[] = {
    {0x80000002u, L"EXCEPTION_DATATYPE_MISALIGNMENT"}, {0x80000003u, L"EXCEPTION_BREAKPOINT"},
    {0x80000004u, L"EXCEPTION_SINGLE_STEP"},           {0xC0000005u, L"EXCEPTION_ACCESS_VIOLATION"},
    {0xC0000006u, L"EXCEPTION_IN_PAGE_ERROR"},         {0xC0000008u, L"EXCEPTION_INVALID_HANDLE"},
    {0xC000001Du, L"EXCEPTION_ILLEGAL_INSTRUCTION"},   {0xC0000025u, L"EXCEPTION_NONCONTINUABLE_EXCEPTION"},
    {0xC0000026u, L"EXCEPTION_INVALID_DISPOSITION"},   {0xC000008Cu, L"EXCEPTION_ARRAY_BOUNDS_EXCEEDED"},
    {0xC000008Du, L"EXCEPTION_FLT_DENORMAL_OPERAND"},  {0xC000008Eu, L"EXCEPTION_FLT_DIVIDE_BY_ZERO"},
    {0xC000008Fu, L"EXCEPTION_FLT_INEXACT_RESULT"},    {0xC0000090u, L"EXCEPTION_FLT_INVALID_OPERATION"},
    {0xC0000091u, L"EXCEPTION_FLT_OVERFLOW"},          {0xC0000092u, L"EXCEPTION_FLT_STACK_CHECK"},
    {0xC0000093u, L"EXCEPTION_FLT_UNDERFLOW"},         {0xC0000094u, L"EXCEPTION_INT_DIVIDE_BY_ZERO"},
    {0xC0000095u, L"EXCEPTION_INT_OVERFLOW"},          {0xC0000096u, L"EXCEPTION_PRIV_INSTRUCTION"},
    {0xC00000FDu, L"EXCEPTION_STACK_OVERFLOW"},        {0xC0000374u, L"STATUS_HEAP_CORRUPTION"},
    {0xC0000409u, L"STATUS_STACK_BUFFER_OVERRUN"},
};

}  // namespace

std::wstring StripNamespaces(std::string_view name) {
  std::size_t start = 0;
  int depth = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '<') ++depth;
    else if (name[i] == '>' && depth > 0) --depth;
    else if (depth == 0 && name[i] == ':' && i + 1 < name.size() && name[i + 1] == ':') start = i + 2;
  }
  return Utf8ToWide(name.substr(start));
}

std::wstring ErrorClassName(const std::type_info& type) {
  int status = 0;
  // The demangler allocates with malloc; the name is freed with it.
  const std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                         std::free);
  return StripNamespaces(status == 0 && demangled ? demangled.get() : type.name());
}

CrashError DescribeCurrentException() {
  const std::exception_ptr current = std::current_exception();
  if (!current) return {};
  try {
    std::rethrow_exception(current);
  } catch (const std::exception& error) {
    return {ErrorClassName(typeid(error)), Utf8ToWide(error.what())};
  } catch (...) {
    const std::type_info* type = abi::__cxa_current_exception_type();
    if (type == nullptr) return {L"unknown", L"an error of unknown type"};
    return {ErrorClassName(*type), L"an error of type " + ErrorClassName(*type)};
  }
}

std::wstring_view ExceptionCodeName(std::uint32_t code) {
  for (const NamedCode& named : kExceptionCodes) {
    if (named.code == code) return named.name;
  }
  return {};
}

CrashError DescribeSystemException(std::uint32_t code, std::uint64_t address, std::uint32_t parameterCount,
                                   const std::uint64_t* parameters) {
  CrashError error;
  const std::wstring_view name = ExceptionCodeName(code);
  error.className = name.empty() ? L"EXCEPTION_0x" + FormatHex(code, 8) : std::wstring(name);
  error.message = L"Exception 0x" + FormatHex(code, 8) + L" at address 0x" + FormatHex(address, 16);
  // Access violations and page errors tell what was tried on which address.
  if ((code == 0xC0000005u || code == 0xC0000006u) && parameterCount >= 2 && parameters != nullptr) {
    const wchar_t* what = parameters[0] == 0   ? L"read of"
                          : parameters[0] == 1 ? L"write to"
                          : parameters[0] == 8 ? L"execution of"
                                               : L"access to";
    error.message += std::wstring(L": ") + what + L" address 0x" + FormatHex(parameters[1], 16);
  }
  return error;
}

}  // namespace nudgelet::app
