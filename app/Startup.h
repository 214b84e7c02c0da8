// The start-up decision: one instance per user, the report base path from the last
// command-line argument, and both report files present. Free of any window code; called
// once, on the user-interface thread, before any window exists.
#pragma once
#include <string>

#include "platform/win32/types.h"

enum class StartupOutcome {
  AnotherInstance,  // the mutex already existed: end at once
  EmptyBasePath,
  MissingDump,      // base path + ".dmp" cannot be opened; ".txt" was not tried
  MissingText,      // base path + ".txt" cannot be opened
  Run,              // both files are there: run the report dialog
};

struct StartupDecision {
  StartupOutcome outcome = StartupOutcome::EmptyBasePath;
  std::string basePath;          // OEM text; set unless another instance runs
  HANDLE instanceMutex = nullptr;  // held for the life of the process; null without protection
};

// The single-instance mutex name, one per user log-on.
inline constexpr char16_t kInstanceMutexName[] = u"VorpinBugpost";

// Decides from the process's command line (GetCommandLineW).
StartupDecision DecideStartup();
// The same for a given command line.
StartupDecision DecideStartup(const char16_t* commandLine);
