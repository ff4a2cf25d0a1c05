#pragma once
// An error as the crash report names it: its class and its message, whether it
// came as a C++ exception or as a fault the system raised.

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <typeinfo>

namespace nudgelet::app {

struct CrashError {
  std::wstring className;
  std::wstring message;
};

// The class of a C++ exception without its namespaces, as the error kinds and
// filters compare it ("nudgelet::app::EStartServiceTimeout" is "EStartServiceTimeout").
std::wstring ErrorClassName(const std::type_info& type);
// The part after the last "::" that is not inside template arguments.
std::wstring StripNamespaces(std::string_view qualifiedName);

// The exception in flight, for a handler inside a catch block or std::terminate;
// an empty class name when none is.
CrashError DescribeCurrentException();

// System exception codes by their documented names; empty for codes not listed.
std::wstring_view ExceptionCodeName(std::uint32_t code);
// A fault the system raised: the code's name as class (or "EXCEPTION_0x…" for
// unlisted codes) and a message with the address, and for access violations
// what was read, written or executed where.
CrashError DescribeSystemException(std::uint32_t code, std::uint64_t address, std::uint32_t parameterCount,
                                   const std::uint64_t* parameters);

}  // namespace nudgelet::app
