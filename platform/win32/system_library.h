// Libraries of Windows itself, taken from the system folder only. A program
// unzipped into a folder of the user's choice (Downloads, say) would otherwise
// load a library of the same name lying beside it in place of the system's.
#pragma once
#include <windows.h>

// From now on, a library loaded by bare name (by the program or by a system
// library on its behalf) is searched for in the system folder only. Called
// first thing at start.
void RestrictLibrarySearchToSystemFolder();

// Loads the system's own library of that name (a bare file name), never one
// from the program's folder or the current directory. Null when it is not
// there.
HMODULE LoadSystemLibrary(const wchar_t* name);
