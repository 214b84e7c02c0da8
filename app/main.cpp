// The one application object of the program; the framework's entry runs it.
#include "app/BugpostApp.h"

CBugpostApp theApp;
