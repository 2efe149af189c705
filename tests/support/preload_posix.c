/* Preloaded into the program under test by the whole-program fault tests:
   - TAVI_FAIL_THREADS=FILE: a thread started without attributes (std::thread) fails to start
     while FILE exists;
   - TAVI_CLOCK_RATE=N: the process's clocks (monotonic and wall) run N times as fast from the
     moment it starts, and condition variables' waits until a time of those clocks end when
     they should (the program and its libraries use no other timed waits). Sleeps and the
     toolkit's timers keep real time;
   - TAVI_TICK_LOG=FILE: every firing of a toolkit timer appends how late it fired, in
     milliseconds of the real monotonic clock (a double), to FILE: the time since it was due, a
     timer's interval after it was started or last fired. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdlib.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

/* The next definition of the function f, the one this file stands in front of. */
#define REAL(f)                 \
    static __typeof__(f)* real; \
    if (real == NULL) real = (__typeof__(f)*)dlsym(RTLD_NEXT, #f)

int pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*start)(void*), void* arg) {
    REAL(pthread_create);
    const char* flag = getenv("TAVI_FAIL_THREADS");
    if (attr == NULL && flag != NULL && access(flag, F_OK) == 0) return EAGAIN;
    return real(thread, attr, start, arg);
}

static double rate = 1;
static long long startReal[2]; /* nanoseconds of the monotonic and the wall clock at start */
static __typeof__(clock_gettime)* realClock;

static long long ns(const struct timespec* t) { return t->tv_sec * 1000000000LL + t->tv_nsec; }
static struct timespec timeAt(long long n) {
    struct timespec t = {n / 1000000000LL, n % 1000000000LL};
    return t;
}
static int slot(clockid_t id) {
    if (id == CLOCK_MONOTONIC || id == CLOCK_MONOTONIC_RAW || id == CLOCK_BOOTTIME) return 0;
    if (id == CLOCK_REALTIME || id == CLOCK_REALTIME_COARSE) return 1;
    return -1;
}

__attribute__((constructor)) static void startClock(void) {
    if (realClock != NULL) return;
    realClock = (__typeof__(clock_gettime)*)dlsym(RTLD_NEXT, "clock_gettime");
    const char* r = getenv("TAVI_CLOCK_RATE");
    if (r != NULL && atof(r) > 0) rate = atof(r);
    struct timespec t;
    realClock(CLOCK_MONOTONIC, &t);
    startReal[0] = ns(&t);
    realClock(CLOCK_REALTIME, &t);
    startReal[1] = ns(&t);
}

int clock_gettime(clockid_t id, struct timespec* out) {
    if (realClock == NULL) startClock();  // called by another library's start-up first
    const int rc = realClock(id, out);
    const int s = slot(id);
    if (rc == 0 && s >= 0 && rate != 1) *out = timeAt(startReal[s] + (long long)((ns(out) - startReal[s]) * rate));
    return rc;
}

int gettimeofday(struct timeval* tv, void* tz) {
    (void)tz;
    struct timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    tv->tv_sec = t.tv_sec;
    tv->tv_usec = t.tv_nsec / 1000;
    return 0;
}

time_t time(time_t* out) {
    struct timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    if (out != NULL) *out = t.tv_sec;
    return t.tv_sec;
}

/* A wait until a time of the fast clock ends at that time of the real one. */
int pthread_cond_clockwait(pthread_cond_t* c, pthread_mutex_t* m, clockid_t id, const struct timespec* at) {
    REAL(pthread_cond_clockwait);
    const int s = slot(id);
    if (s < 0 || rate == 1) return real(c, m, id, at);
    const struct timespec deadline = timeAt(startReal[s] + (long long)((ns(at) - startReal[s]) / rate));
    return real(c, m, id, &deadline);
}

typedef int (*SourceFn)(void*);
typedef void (*NotifyFn)(void*);
typedef unsigned (*TimeoutFn)(int, unsigned, SourceFn, void*, NotifyFn);
struct Timer {
    SourceFn fn;
    void* data;
    NotifyFn notify;
    long long intervalNs, dueNs;
};
static int tickLog = -1;

static int timerFired(void* p) {
    struct Timer* t = (struct Timer*)p;
    struct timespec now;
    realClock(CLOCK_MONOTONIC, &now);
    const double late = (double)(ns(&now) - t->dueNs) / 1e6;
    if (tickLog >= 0 && write(tickLog, &late, sizeof late) < 0) tickLog = -1;
    t->dueNs = ns(&now) + t->intervalNs;
    return t->fn(t->data);
}

static void timerGone(void* p) {
    struct Timer* t = (struct Timer*)p;
    if (t->notify != NULL) t->notify(t->data);
    free(t);
}

unsigned g_timeout_add_full(int priority, unsigned interval, SourceFn fn, void* data, NotifyFn notify) {
    static TimeoutFn real;
    if (real == NULL) {
        real = (TimeoutFn)dlsym(RTLD_NEXT, "g_timeout_add_full");
        const char* file = getenv("TAVI_TICK_LOG");
        if (file != NULL) tickLog = open(file, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    }
    if (tickLog < 0) return real(priority, interval, fn, data, notify);
    struct Timer* t = (struct Timer*)malloc(sizeof *t);
    struct timespec now;
    realClock(CLOCK_MONOTONIC, &now);
    t->fn = fn;
    t->data = data;
    t->notify = notify;
    t->intervalNs = (long long)interval * 1000000;
    t->dueNs = ns(&now) + t->intervalNs;
    return real(priority, interval, timerFired, t, timerGone);
}
