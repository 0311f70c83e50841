#include "settings/win32/program_paths_win32.h"

#include <windows.h>

#include "settings/program_paths.h"

bool LoadProgramPaths() {
    char module_path[kProgramPathSize] = {};
    DWORD length = GetModuleFileNameA(nullptr, module_path, sizeof module_path);
    // A path that fills the buffer was cut (and may lack its NUL).
    if (length == 0 || length >= sizeof module_path) return false;
    return DeriveProgramPaths(module_path, &g_program_paths);
}
