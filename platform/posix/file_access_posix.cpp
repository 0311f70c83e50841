#include "platform/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t put = write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<size_t>(put);
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::FILE* OpenNamedFile(const char* path, const char* mode) { return std::fopen(path, mode); }

bool RemoveNamedFile(const char* path) { return std::remove(path) == 0; }

WholeFile ReadWholeFile(const char* path, std::string* bytes) {
    bytes->clear();
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? WholeFile::Absent : WholeFile::Failed;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return WholeFile::Failed;
    }
    char chunk[4096];
    for (;;) {
        ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            close(fd);
            return WholeFile::Failed;
        }
        if (got == 0) break;
        bytes->append(chunk, static_cast<size_t>(got));
    }
    close(fd);
    return WholeFile::Read;
}

// The new file gets the old one's permissions. A symbolic link is followed,
// so the file it names is the one replaced.
bool ReplaceWholeFile(const char* path, const std::string& bytes) {
    std::string target = path;
    struct stat link_st {};
    if (lstat(path, &link_st) == 0 && S_ISLNK(link_st.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path, resolved) == nullptr) return false;
        target = resolved;
    }
    struct stat old_st {};
    bool existed = stat(target.c_str(), &old_st) == 0;

    static std::atomic<unsigned> counter{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = target + ".~" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;

    bool ok = WriteAll(fd, bytes);
    if (ok && existed) ok = fchmod(fd, old_st.st_mode & 07777) == 0;
    if (ok) ok = fsync(fd) == 0;
    if (close(fd) != 0) ok = false;
    if (ok) ok = rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    int dir = open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}
