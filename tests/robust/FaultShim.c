/* File-operation fault shim; see FaultShim.h. Every wrapper looks the real
 * function up with RTLD_NEXT, so calls pass through any sanitizer runtime
 * that stands in front of the shim as well. One thread only: the kernel's
 * calls never overlap. */
#define _GNU_SOURCE
#include "FaultShim.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

static int armed;
static enum TarveloFaultMode mode;
static long fail_at;
static int fail_error;
static long calls;
static long bytes_written;
static const char* hit;
static int renamed;
static int interrupted_once;

void tarvelo_fault_arm(enum TarveloFaultMode m, long at, int error) {
    mode = m;
    fail_at = at;
    fail_error = error;
    calls = 0;
    bytes_written = 0;
    hit = NULL;
    renamed = 0;
    interrupted_once = 0;
    armed = 1;
}

void tarvelo_fault_disarm(void) {
    armed = 0;
}
long tarvelo_fault_calls(void) {
    return calls;
}
const char* tarvelo_fault_hit(void) {
    return hit;
}
int tarvelo_fault_after_rename(void) {
    return hit != NULL && renamed;
}

static void* real(const char* name) {
    void* symbol = dlsym(RTLD_NEXT, name);
    if (symbol == NULL) {
        fprintf(stderr, "fault shim: no %s after the shim\n", name);
        abort();
    }
    return symbol;
}

/* The real function, looked up once per call site. */
/* The real function, looked up once per call site; it has the type of the
 * wrapper of the same name. */
#define REAL(name)                                                                                 \
    __extension__({                                                                                \
        static __typeof__(&name) fn;                                                               \
        if (fn == NULL)                                                                            \
            fn = (__typeof__(&name))real(#name);                                                   \
        fn;                                                                                        \
    })

/* Counts one call of `name`; true when this call is the one to fail. */
static int fault_here(const char* name) {
    if (!armed || hit != NULL)
        return 0;
    ++calls;
    if (mode == TARVELO_FAULT_FAIL && calls == fail_at) {
        hit = name;
        return 1;
    }
    return 0;
}

static int fail(const char* name) {
    (void)name;
    errno = fail_error;
    return -1;
}

/* A created file (the temporary one) becomes the full device in
 * TARVELO_FAULT_DEVFULL. */
static int created(int fd) {
    if (fd >= 0 && armed && mode == TARVELO_FAULT_DEVFULL && hit == NULL) {
        const int full = REAL(open)("/dev/full", O_WRONLY);
        if (full >= 0) {
            dup3(full, fd, O_CLOEXEC);
            REAL(close)(full);
            hit = "/dev/full";
        }
    }
    return fd;
}

int mkostemp(char* pattern, int flags) {
    if (fault_here("mkostemp"))
        return fail("mkostemp");
    return created(REAL(mkostemp)(pattern, flags));
}

int mkostemp64(char* pattern, int flags) {
    return mkostemp(pattern, flags);
}

int mkstemp(char* pattern) {
    if (fault_here("mkstemp"))
        return fail("mkstemp");
    return created(REAL(mkstemp)(pattern));
}

int mkstemp64(char* pattern) {
    return mkstemp(pattern);
}

static mode_t mode_argument(int flags, va_list args) {
    return (flags & (O_CREAT | O_TMPFILE)) ? (mode_t)va_arg(args, int) : 0;
}

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t m = mode_argument(flags, args);
    va_end(args);
    if (fault_here("open"))
        return fail("open");
    const int fd = REAL(open)(path, flags, m);
    return (flags & O_CREAT) ? created(fd) : fd;
}

int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t m = mode_argument(flags, args);
    va_end(args);
    return open(path, flags, m);
}

int openat(int dir, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t m = mode_argument(flags, args);
    va_end(args);
    if (fault_here("openat"))
        return fail("openat");
    return REAL(openat)(dir, path, flags, m);
}

int openat64(int dir, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t m = mode_argument(flags, args);
    va_end(args);
    return openat(dir, path, flags, m);
}

ssize_t write(int fd, const void* data, size_t size) {
    ssize_t (*const real_write)(int, const void*, size_t) = REAL(write);
    if (!armed || fd <= STDERR_FILENO)
        return real_write(fd, data, size);
    if (fault_here("write"))
        return fail("write");
    if (mode == TARVELO_FAULT_INTERRUPT && !interrupted_once) {
        interrupted_once = 1;
        errno = EINTR;
        return -1;
    }
    interrupted_once = 0;
    if (mode == TARVELO_FAULT_SHORT && fail_at > 0 && size > (size_t)fail_at)
        size = (size_t)fail_at;
    if (mode == TARVELO_FAULT_FULL) {
        const long room = fail_at - bytes_written;
        if (room <= 0) {
            hit = "write (disk full)";
            errno = ENOSPC;
            return -1;
        }
        if (size > (size_t)room)
            size = (size_t)room; /* a partial write, then ENOSPC on the next */
    }
    const ssize_t written = real_write(fd, data, size);
    if (written > 0)
        bytes_written += written;
    return written;
}

int fsync(int fd) {
    if (fault_here("fsync"))
        return fail("fsync");
    return REAL(fsync)(fd);
}

int fdatasync(int fd) {
    if (fault_here("fdatasync"))
        return fail("fdatasync");
    return REAL(fdatasync)(fd);
}

int close(int fd) {
    int (*const real_close)(int) = REAL(close);
    if (fault_here("close")) {
        /* As on Linux: the descriptor is released even when close reports
         * an error, and must not be closed again. */
        real_close(fd);
        return fail("close");
    }
    return real_close(fd);
}

int fchmod(int fd, mode_t m) {
    if (fault_here("fchmod"))
        return fail("fchmod");
    return REAL(fchmod)(fd, m);
}

int rename(const char* from, const char* to) {
    if (fault_here("rename"))
        return fail("rename");
    const int result = REAL(rename)(from, to);
    if (result == 0 && armed)
        renamed = 1;
    return result;
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
    if (fault_here("renameat"))
        return fail("renameat");
    const int result = REAL(renameat)(fromDir, from, toDir, to);
    if (result == 0 && armed)
        renamed = 1;
    return result;
}
