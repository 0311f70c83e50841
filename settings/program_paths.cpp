#include "settings/program_paths.h"

#include <cstring>

#include "platform/cp932.h"

ProgramPaths g_program_paths;

namespace {

// dir followed by name into out (kProgramPathSize bytes); false when too long.
bool JoinPath(const char* dir, size_t dir_length, const char* name, char* out) {
    size_t name_length = std::strlen(name);
    if (dir_length + name_length >= kProgramPathSize) return false;
    std::memcpy(out, dir, dir_length);
    std::memcpy(out + dir_length, name, name_length + 1);
    return true;
}

}  // namespace

bool DeriveProgramPaths(const char* module_path, ProgramPaths* out) {
    *out = ProgramPaths{};
    if (module_path == nullptr) return false;
    size_t length = std::strlen(module_path);
    // The directory ends after the last separator; the scan goes character by
    // character because a CP932 trail byte can equal '\\' ("表" is 0x95 0x5C).
    size_t dir_length = 0;
    for (size_t at = 0; at < length;) {
        size_t step = Cp932CharBytes(module_path + at, length - at);
        if (step == 1 && (module_path[at] == '\\' || module_path[at] == '/')) dir_length = at + 1;
        at += step;
    }
    ProgramPaths paths;
    if (dir_length == 0 || !JoinPath(module_path, dir_length, "", paths.program_dir) ||
        !JoinPath(module_path, dir_length, "Mosswick.ini", paths.ini_path) ||
        !JoinPath(module_path, dir_length, "Mosslog.txt", paths.log_path)) {
        return false;
    }
    *out = paths;
    return true;
}
