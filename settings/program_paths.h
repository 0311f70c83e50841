// Where the program's files are: its directory, the settings file
// "Mosswick.ini" and the message log "Mosslog.txt" in it.
#pragma once
#include <cstddef>

constexpr size_t kProgramPathSize = 261;

struct ProgramPaths {
    char program_dir[kProgramPathSize] = {};  // ends with a path separator
    char ini_path[kProgramPathSize] = {};
    char log_path[kProgramPathSize] = {};
};

extern ProgramPaths g_program_paths;

// Derives the three paths from the program file's full path: the directory is
// everything up to and including the last path separator ('\\' or '/'), drive
// included, so a program on D:\\ keeps its files on D:\\. Returns false, with
// every path empty, when the path has no directory or a result does not fit
// its 261 bytes.
bool DeriveProgramPaths(const char* module_path, ProgramPaths* out);
