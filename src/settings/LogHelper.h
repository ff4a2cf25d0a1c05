#pragma once
// A small asynchronous logger. Callers append finished lines to a queue under a
// lock; one writer thread drains the queue every 100 ms and appends each kind's
// lines to that day's file with a single open/append/close. Callers never wait
// for file output.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/FileSystem.h"
#include "platform/SystemFacts.h"

namespace nudgelet {

class TLogHelper {
 public:
  // Prepares the process-wide state; called once as the program's components start.
  static void Initialize(const platform::FileSystem& files, const platform::SystemFacts& system, std::wstring exeName,
                         std::wstring programFolder = {});

  // Starts the writer on a folder (created with its parents when missing) and
  // waits until it runs or has given up because the folder cannot be made.
  // Without a folder the log goes to "Log" in the program folder.
  static void Start(const std::wstring& folder);
  // Debug output happens even without a writer; the line is dropped when no writer runs.
  // Kinds other than 0 to 2 are written as kind 0, in the order they came.
  static void Log(const std::wstring& code, const std::wstring& message, const std::wstring& module = L"",
                  bool debugOutput = false, int kind = 0);
  // Writes out what is queued and ends the writer. The writer's error count is
  // handed to the callback first (it adds it to the settings).
  static void Stop(const std::function<void(std::uint32_t errorCount)>& addErrorCount = {});
  // Waits at most maxWait until every line queued so far is on disk; the writer
  // keeps running. Used before the process is ended at once.
  static bool Flush(std::chrono::milliseconds maxWait);

  static bool IsRunning();
  static std::uint32_t ErrorCount();
};

}  // namespace nudgelet
