#pragma once
// The standard Windows calling convention (callee clears the stack) for entry
// points shared with other modules. It only matters for 32-bit Windows builds;
// elsewhere it is the platform's one convention.

#if defined(_WIN32) && !defined(_WIN64)
#define NUDGELET_STDCALL __stdcall
#else
#define NUDGELET_STDCALL
#endif
