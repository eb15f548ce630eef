// Loaded with LD_PRELOAD by tests that need a disk which takes writes but fails to store
// them: fsync/fdatasync (CD_FAIL_SYNC_UNDER) or close (CD_FAIL_CLOSE_UNDER) of a file whose
// path starts with the folder named there do their work and then report EIO.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

namespace
{

bool fileUnder(int fd, const char *variable)
{
    const char *folder = std::getenv(variable);
    if (!folder || !*folder)
        return false;
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char path[PATH_MAX];
    const ssize_t n = ::readlink(link, path, sizeof path - 1);
    if (n <= 0)
        return false;
    path[n] = '\0';
    return std::strncmp(path, folder, std::strlen(folder)) == 0;
}

template <typename Fn> Fn next(const char *name)
{
    return reinterpret_cast<Fn>(::dlsym(RTLD_NEXT, name));
}

int failed()
{
    errno = EIO;
    return -1;
}

} // namespace

extern "C" int fsync(int fd)
{
    static const auto real = next<int (*)(int)>("fsync");
    const bool fail = fileUnder(fd, "CD_FAIL_SYNC_UNDER");
    const int rc = real(fd);
    return fail ? failed() : rc;
}

extern "C" int fdatasync(int fd)
{
    static const auto real = next<int (*)(int)>("fdatasync");
    const bool fail = fileUnder(fd, "CD_FAIL_SYNC_UNDER");
    const int rc = real(fd);
    return fail ? failed() : rc;
}

extern "C" int close(int fd)
{
    static const auto real = next<int (*)(int)>("close");
    // Asked before the descriptor goes: afterwards its path is no longer known.
    const bool fail = fileUnder(fd, "CD_FAIL_CLOSE_UNDER");
    const int rc = real(fd);
    return fail ? failed() : rc;
}
