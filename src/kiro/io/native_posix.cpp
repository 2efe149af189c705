// The file layer on Linux: UTF-8 path names with '/' separators, readdir + fnmatch listing,
// and atomic replacement with fsync + rename.
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "kiro/io/charset/charset.h"
#include "kiro/io/file.h"
#include "kiro/io/native.h"
#include "kiro/random.h"

namespace kiro::io::native {

namespace {

std::string narrow(const std::wstring& p) {
    std::wstring s = p;
    for (auto& c : s) {
        if (c == L'\\') c = L'/';
    }
    return toUtf8(s);
}

bool writeAll(int fd, const void* data, size_t size) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        size -= size_t(n);
    }
    return true;
}

}  // namespace

std::filesystem::path path(const std::wstring& p) { return std::filesystem::path(narrow(p)); }

wchar_t separator() { return L'/'; }

std::vector<Entry> listFolder(const std::wstring& folder, const std::wstring& pattern) {
    std::vector<Entry> result;
    const std::string dir = narrow(folder);
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) return result;
    const std::string glob = toUtf8(pattern);
    while (dirent* e = ::readdir(d)) {
        if (::fnmatch(glob.c_str(), e->d_name, 0) != 0) continue;
        Entry entry;
        entry.name = fromUtf8(e->d_name, std::char_traits<char>::length(e->d_name));
        struct stat st;
        if (::stat((dir + e->d_name).c_str(), &st) == 0) entry.folder = S_ISDIR(st.st_mode);
        result.push_back(std::move(entry));
    }
    ::closedir(d);
    return result;
}

bool folderId(const std::wstring& folder, FolderId& id) {
    struct stat st;
    if (::stat(narrow(folder).c_str(), &st) != 0) return false;
    id = {st.st_dev, st.st_ino};
    return true;
}

bool replaceFile(const std::wstring& target, const void* data, size_t size) {
    createFolders(target);
    const std::string to = narrow(target);
    const size_t slash = to.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : to.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? to : to.substr(slash + 1);
    const std::string temp = folder + "." + name + "." + std::to_string(::getpid()) + "." +
                             std::to_string(randomIndex(999999)) + ".tmp";

    // Keep the permissions of the file being replaced.
    mode_t mode = 0666;
    struct stat st;
    if (::stat(to.c_str(), &st) == 0) mode = st.st_mode & 07777;

    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) return false;
    bool ok = writeAll(fd, data, size) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(temp.c_str(), to.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace kiro::io::native
