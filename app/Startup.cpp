#include "app/Startup.h"

#include "platform/win32/kernel/kernel.h"
#include "util/TextConversion.h"

namespace {

// Opens the file as the report is later read (no one else may write it) and closes it.
bool CanOpen(const std::string& oemPath) {
  std::u16string path = OemToWide(oemPath);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

std::u16string LastArgument(const char16_t* commandLine) {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(commandLine, &count);
  if (args == nullptr) return std::u16string();
  std::u16string last = count > 0 ? args[count - 1] : u"";
  LocalFree(args);
  return last;
}

}  // namespace

StartupDecision DecideStartup() { return DecideStartup(GetCommandLineW()); }

StartupDecision DecideStartup(const char16_t* commandLine) {
  StartupDecision decision;
  HANDLE mutex = CreateMutexW(nullptr, TRUE, kInstanceMutexName);
  if (mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    decision.outcome = StartupOutcome::AnotherInstance;
    return decision;
  }
  // Without a mutex we go on unprotected.
  decision.instanceMutex = mutex;
  decision.basePath = WideToOem(LastArgument(commandLine));
  if (decision.basePath.empty()) {
    decision.outcome = StartupOutcome::EmptyBasePath;
  } else if (!CanOpen(decision.basePath + ".dmp")) {
    decision.outcome = StartupOutcome::MissingDump;
  } else if (!CanOpen(decision.basePath + ".txt")) {
    decision.outcome = StartupOutcome::MissingText;
  } else {
    decision.outcome = StartupOutcome::Run;
  }
  return decision;
}
