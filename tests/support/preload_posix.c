/* Preloaded into the program under test by a whole-program test: with
   TAVI_FAIL_THREADS=FILE, a thread started without attributes (std::thread) fails to start
   while FILE exists. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <pthread.h>
#include <stdlib.h>
#include <unistd.h>

int pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*start)(void*), void* arg) {
    static __typeof__(pthread_create)* real;
    if (real == NULL) real = (__typeof__(pthread_create)*)dlsym(RTLD_NEXT, "pthread_create");
    const char* flag = getenv("TAVI_FAIL_THREADS");
    if (attr == NULL && flag != NULL && access(flag, F_OK) == 0) return EAGAIN;
    return real(thread, attr, start, arg);
}
