// The program's paths from the path of its own file.
#pragma once

// GetModuleFileNameW, converted to CP932 (code page 932, whatever the
// system's code page), then DeriveProgramPaths into g_program_paths: the
// paths stay the program's CP932 text and are converted back where a file is
// opened (platform/file_access.h). A path CP932 cannot hold exactly (a
// simplified Chinese character, an emoji) is taken in its short (8.3) form.
// False when the path cannot be obtained, neither form is held by CP932, or
// it gives no usable paths (more than 260 CP932 bytes): the caller takes the
// fatal-error path.
bool LoadProgramPaths();
