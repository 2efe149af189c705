// The single-instance guard on Linux: flock(LOCK_EX) on "<name>.lock" in $XDG_RUNTIME_DIR,
// or in a private per-user folder under /tmp. The kernel drops the lock when the process
// ends, however it ends.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "kiro/instance.h"
#include "kiro/io/charset/charset.h"

namespace kiro {

namespace {

std::string lockFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st;
    if (runtime != nullptr && runtime[0] == '/' && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode)) {
        return runtime;
    }
    const std::string folder = "/tmp/tavi-" + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);
    // Only a real folder of our own: never follow somebody else's link or folder.
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return {};
    return folder;
}

}  // namespace

bool InstanceLock::acquire(const std::wstring& name) {
    release();
    const std::string folder = lockFolder();
    if (folder.empty()) return true;
    std::string file = kiro::io::toUtf8(name);
    for (auto& c : file) {
        if (c == '/' || c == '\\') c = '_';
    }
    const std::string path = folder + "/" + file + ".lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return true;
    int r;
    do {
        r = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (r != 0 && errno == EINTR);
    if (r != 0) {
        const bool taken = errno == EWOULDBLOCK;
        ::close(fd);
        return !taken;
    }
    handle_ = fd;
    held_ = true;
    return true;
}

void InstanceLock::release() {
    if (!held_) return;
    ::close(int(handle_));
    handle_ = 0;
    held_ = false;
}

}  // namespace kiro
