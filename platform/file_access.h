// Files named by a path in the program's own text (CP932 bytes). On POSIX
// systems the bytes are the file name as they are. On Windows they are
// converted with code page 932 and the wide file functions open the file, so
// that a folder whose name holds characters outside the system's code page
// is found on an English, Chinese or UTF-8 Windows as on a Japanese one.
#pragma once
#include <cstdio>
#include <string>

// fopen with a mode of ASCII letters ("ab", "rb", "wb"); null on failure.
std::FILE* OpenNamedFile(const char* path, const char* mode);

// Deletes the file; false when it could not be deleted (or was not there).
bool RemoveNamedFile(const char* path);

enum class WholeFile { Read, Absent, Failed };

// The file's bytes. Absent when neither the file nor its folder is there;
// Failed when it is there but cannot be read, or is no ordinary file.
WholeFile ReadWholeFile(const char* path, std::string* bytes);

// Makes `bytes` the file's whole content, creating the file when it is not
// there: a new file written beside it replaces it in one step, so that a
// crash part-way leaves the old file or the new one, never a cut one.
bool ReplaceWholeFile(const char* path, const std::string& bytes);
