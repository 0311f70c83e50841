// The program's paths from the path of its own file.
#pragma once

// GetModuleFileNameA into a 261-byte buffer, then DeriveProgramPaths into
// g_program_paths. False when the path cannot be obtained, was cut to the
// buffer, or gives no usable paths: the caller takes the fatal-error path.
bool LoadProgramPaths();
