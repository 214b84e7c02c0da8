// The program's main: records the command line and runs the framework's entry.
#include <cstdio>
#include <exception>

#include "platform/mfc/WinApp.h"
#include "platform/win32/kernel/cmdline.h"

int main(int argc, char** argv) {
  try {
    bp::kernel::SetCommandLine(argc, argv);
    return AfxWinMain();
  } catch (const std::exception& e) {  // a last stop, so that the program ends instead of aborting
    std::fprintf(stderr, "%s\n", e.what());
  } catch (...) {
  }
  return 1;
}
