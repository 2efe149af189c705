// The single-instance guard: a named, system-wide lock held for the life of the process (a
// named mutex on Windows, an exclusive flock on a per-user lock file on Linux).
#pragma once

#include <cstdint>
#include <string>

namespace kiro {

class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock() { release(); }
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False only when another holder has the name. When the guard cannot be set up at all
    // the program is let run: the result is true and held() stays false.
    bool acquire(const std::wstring& name);
    void release();
    bool held() const { return held_; }

private:
    intptr_t handle_ = 0;
    bool held_ = false;
};

}  // namespace kiro
