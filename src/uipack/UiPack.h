#pragma once
// The skin resource library "uipack.dll": its eight entry points, as the program
// resolves them by name at run time.
//
// Every entry point uses the standard Windows calling convention and is exported
// under its plain name. Texts are zero-terminated UTF-16; handles and sizes are
// 32-bit, and handles are table indexes, not pointers. Results are 32-bit
// truth values: 1 for success, 0 for failure. No entry point throws, and each
// may be called from any thread.
//
// Resource names: ":/" + top folder + "/" + path, for example ":/public/main.ini"
// or ":/classic/images/btn_close_normal.png"; a folder name ends in "/", and ":/"
// is the root that holds every package's top folder. "\" separates names as "/"
// does; names compare exactly, case included.
//
// Several packages may hold the same name: the package registered first wins,
// and folder listings merge all packages, each name listed once.

#include <cstdint>

#if defined(_WIN32)
#define UIPACK_CALL __stdcall
#else
#define UIPACK_CALL
#endif

extern "C" {

// Reads the package file into memory, checks it and makes its resources
// readable. Registering a file that is already registered reads it again and
// keeps its precedence. Returns 0, and changes nothing, when the path is empty,
// the file cannot be read or is not an acceptable package (malformed, larger
// than 256 MiB, or using zstd compression).
int UIPACK_CALL UiPackRegister(const wchar_t* path);

// Removes exactly the resources of that package file. Returns 0 when the file
// was not registered. Paths compare as Windows paths: full path, case ignored.
int UIPACK_CALL UiPackUnregister(const wchar_t* path);

// Reads a resource file, in three ways:
//   buffer null, size set:   stores the resource's size in bytes in *size (0 when
//                            there is none) and returns 1 when it exists. The
//                            bytes are kept for this thread's next fetch.
//   buffer set, size null:   the fetch. Copies the bytes that this thread's last
//                            size query reported for the same name, exactly that
//                            many, and returns 1. Returns 0 and copies nothing
//                            when this thread has no such query pending; a query
//                            serves one fetch. Packages registered or removed in
//                            between do not change what is copied, so the
//                            caller's buffer is never overrun.
//   buffer set, size set:    *size is the buffer's capacity. Copies the resource
//                            when it fits and returns 1; else returns 0 and copies
//                            nothing. Either way *size becomes the resource's size.
// A name that is a folder, or compressed data that is corrupt, counts as no resource.
int UIPACK_CALL UiPackData(const wchar_t* name, void* buffer, std::uint32_t* size);

// Sets the text of foldersText to the names of the folder's sub-folders and the
// text of filesText to the names of its files, each name followed by "|", in
// package order. A handle of 0, or one that is not open, is left alone. Returns
// 0, with both texts emptied, when no package holds the folder.
int UIPACK_CALL UiPackEnum(const wchar_t* folder, std::uint32_t foldersText, std::uint32_t filesText);

// A new empty text; 0 when no handle is available (65535 are open).
std::uint32_t UIPACK_CALL QStringCreate();

// The text of a handle, valid until the handle is closed, also when the text
// changes meanwhile (QStringSet, UiPackEnum). Never null: a handle that is not
// open gives "".
const wchar_t* UIPACK_CALL QStringGet(std::uint32_t handle);

// Replaces the text (null means empty). Returns 0 for a handle that is not open.
int UIPACK_CALL QStringSet(std::uint32_t handle, const wchar_t* text);

// Frees the handle. Returns 0 for a handle that is not open.
int UIPACK_CALL QStringClose(std::uint32_t handle);

}  // extern "C"

// The types the program casts resolved entry points to.
using UiPackRegisterFn = decltype(&UiPackRegister);
using UiPackUnregisterFn = decltype(&UiPackUnregister);
using UiPackDataFn = decltype(&UiPackData);
using UiPackEnumFn = decltype(&UiPackEnum);
using QStringCreateFn = decltype(&QStringCreate);
using QStringGetFn = decltype(&QStringGet);
using QStringSetFn = decltype(&QStringSet);
using QStringCloseFn = decltype(&QStringClose);
