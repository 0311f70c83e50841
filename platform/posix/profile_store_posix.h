// The settings file on POSIX systems: the byte-exact store the program uses
// on Windows too (platform/profile_file.h), opening files through
// platform/posix/file_access_posix.cpp.
#pragma once
#include "platform/profile_file.h"

using PosixProfileStore = ProfileFileStore;
