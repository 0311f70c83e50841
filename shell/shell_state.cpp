#include "shell/shell_state.h"

ShellFlags g_flags;
Platform g_platform;

void ResetShellFlags() { g_flags = ShellFlags{}; }
