// The single-instance guard across processes: refused while another process holds it,
// accepted again once that process is killed outright (no chance to clean up).
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "kiro/instance.h"
#include "kiro/random.h"

namespace {

TEST(InstanceLockAcrossProcesses, KilledHolderLeavesNoStaleLock) {
    const std::wstring name = L"tavi-test-" + std::to_wstring(kiro::randomIndex(1u << 30));
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        kiro::InstanceLock lock;
        const char ok = lock.acquire(name) && lock.held() ? 'y' : 'n';
        if (write(ready[1], &ok, 1) != 1) _exit(2);
        for (;;) pause();
    }
    close(ready[1]);
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    close(ready[0]);
    EXPECT_EQ(ok, 'y');

    kiro::InstanceLock second;
    EXPECT_FALSE(second.acquire(name));

    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));

    kiro::InstanceLock third;
    EXPECT_TRUE(third.acquire(name));
    EXPECT_TRUE(third.held());
}

}  // namespace
