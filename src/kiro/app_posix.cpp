// Start-up services on Linux: the toolkit (with the termination signals routed into the
// loop), the program path from /proc/self/exe and chdir.
#include <malloc.h>
#include <unistd.h>

#include <climits>
#include <cstdio>

#include "kiro/app_platform.h"
#include "kiro/io/charset/charset.h"
#include "kiro/io/native.h"
#include "kiro/ui/loop.h"

namespace kiro::app::platform {

void start() {
    // Every repaint of a character makes and frees picture buffers of a few hundred KiB; kept
    // in the heap instead of being mapped and returned each time, they cost no page faults.
    mallopt(M_MMAP_THRESHOLD, 16 << 20);
    mallopt(M_TRIM_THRESHOLD, 32 << 20);
    if (!kiro::ui::initializeToolkit()) std::fprintf(stderr, "tavi: cannot open the display\n");
}

void stop() {}

std::wstring modulePath(void*) {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (n <= 0 || size_t(n) >= sizeof buffer) return {};
    return kiro::io::fromUtf8(buffer, size_t(n));
}

void changeDirectory(const std::wstring& directory) {
    const std::string path = kiro::io::native::path(directory).string();
    if (::chdir(path.c_str()) != 0) {
        // Reported nowhere: every relative path then simply reads as missing.
    }
}

}  // namespace kiro::app::platform
