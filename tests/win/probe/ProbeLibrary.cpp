// A library of the build with one export, for the dynamic-library tests.
#include <windows.h>

extern "C" int WINAPI NudgeletProbeAdd(int a, int b) { return a + b; }
