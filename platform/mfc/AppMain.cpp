// The program's main: records the command line and runs the framework's entry.
#include "platform/mfc/WinApp.h"
#include "platform/win32/kernel/cmdline.h"

int main(int argc, char** argv) {
  bp::kernel::SetCommandLine(argc, argv);
  return AfxWinMain();
}
