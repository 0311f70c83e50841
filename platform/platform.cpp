#include "platform/platform.h"

ShellFlags g_flags;
Platform g_platform;

void ResetShellFlags() { g_flags = ShellFlags{}; }
