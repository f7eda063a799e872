// Preloaded into a program under test: makes the file server misbehave in one
// folder (FAULT_FOLDER) as FAULT says, to check that a hand-in survives it.
//   link-lost     a hard link is made, but the reply says it failed
//   rename-lost   no hard links; a rename is made, but the reply says it failed
//   unlink-fails  a hidden file cannot be removed
//   full          nothing can be written, and the first removal fails too
//   kill-at-link, kill-at-rename
//                 the process is killed as it gives a record its name
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <string>
#include <unistd.h>

namespace {

template <class F>
F next(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

bool is(const char *fault)
{
    const char *set = std::getenv("FAULT");
    return set && std::strcmp(set, fault) == 0;
}

std::string pathOf(int fd)
{
    char link[64];
    char target[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, target, sizeof target - 1);
    return n > 0 ? std::string(target, size_t(n)) : std::string();
}

// Whether a call on dirfd touches the folder under test.
bool inFolder(int dirfd)
{
    const char *folder = std::getenv("FAULT_FOLDER");
    if (!folder)
        return false;
    char real[PATH_MAX];
    return realpath(folder, real) && pathOf(dirfd) == real;
}

bool fileInFolder(int fd)
{
    const std::string path = pathOf(fd);
    const size_t slash = path.rfind('/');
    const char *folder = std::getenv("FAULT_FOLDER");
    char real[PATH_MAX];
    return folder && slash != std::string::npos && realpath(folder, real) && path.substr(0, slash) == real;
}

int failWith(int error)
{
    errno = error;
    return -1;
}

} // namespace

extern "C" {

int linkat(int olddirfd, const char *oldpath, int newdirfd, const char *newpath, int flags)
{
    static const auto real = next<int (*)(int, const char *, int, const char *, int)>("linkat");
    if (!inFolder(newdirfd))
        return real(olddirfd, oldpath, newdirfd, newpath, flags);
    if (is("kill-at-link"))
        raise(SIGKILL);
    if (is("rename-lost"))
        return failWith(EPERM);
    const int done = real(olddirfd, oldpath, newdirfd, newpath, flags);
    return done == 0 && is("link-lost") ? failWith(EIO) : done;
}

int renameat(int olddirfd, const char *oldpath, int newdirfd, const char *newpath)
{
    static const auto real = next<int (*)(int, const char *, int, const char *)>("renameat");
    if (is("kill-at-rename") && inFolder(newdirfd))
        raise(SIGKILL);
    const int done = real(olddirfd, oldpath, newdirfd, newpath);
    return done == 0 && is("rename-lost") && inFolder(newdirfd) ? failWith(EIO) : done;
}

int unlinkat(int dirfd, const char *path, int flags)
{
    static const auto real = next<int (*)(int, const char *, int)>("unlinkat");
    static bool failedOnce = false;
    if (inFolder(dirfd) && std::strncmp(path, ".record-", 8) == 0) {
        if (is("unlink-fails") || (is("full") && !failedOnce)) {
            failedOnce = true;
            return failWith(EIO);
        }
    }
    return real(dirfd, path, flags);
}

ssize_t write(int fd, const void *data, size_t size)
{
    static const auto real = next<ssize_t (*)(int, const void *, size_t)>("write");
    if (is("full") && fd > 2 && fileInFolder(fd))
        return failWith(ENOSPC);
    return real(fd, data, size);
}
}
