/* A cold disk for native Linux programs, loaded with LD_PRELOAD:
 *
 *   LD_PRELOAD=build/bench/ahead/slow_disk.so VUDO_SLOW_DISK_US=200 PROGRAM...
 *
 * Every request that would reach the disk when nothing is cached sleeps
 * VUDO_SLOW_DISK_US microseconds (200 unless set) before it runs: opening a
 * directory (opendir, fdopendir), opening a regular file (open, openat),
 * every read of a file (read, pread), and one directory block per 128 entries
 * a directory stream returns (readdir), as one getdents call fills a buffer
 * with many entries. The page cache stays warm underneath, so the delay is
 * the same on every run and the figures compare the read-ahead's overlap of
 * waits, not the disk's mood. A sleep holds no lock: any number of threads
 * wait at once, as on a disk that takes many requests in flight.
 *
 * glibc's opendir opens the directory and its readdir fills the buffer with
 * internal calls that no preload can see, so those are counted here once, at
 * opendir and readdir; an open() of a directory (to hand to fdopendir) does
 * not sleep, or a directory would pay twice. The 64-bit names (open64,
 * readdir64, pread64...) and the checked forms that _FORTIFY_SOURCE compiles
 * calls into (__read_chk, __open_2...) are separate symbols, so each is
 * wrapped too.
 *
 * With VUDO_SLOW_DISK_REPORT set, the library says on standard error at exit
 * how many waits of each kind it made, to check against strace -c -f. */
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

enum { kEntriesPerBlock = 128 };

/* The waits made, by kind, for the report at exit. */
enum Kind { kDirectoryOpen, kFileOpen, kFileRead, kDirectoryBlock, kKinds };
static const char* const kind_names[kKinds] = {"directory opens", "file opens", "file reads", "directory blocks"};
static unsigned long waits[kKinds];

/* The kernel lets a sleep run up to 50 µs late by default, a quarter of the
 * delay; the least slack keeps the wait near what was asked. Threads started
 * later inherit it. */
__attribute__((constructor)) static void least_slack(void) { prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL); }

__attribute__((destructor)) static void report(void) {
  if (!getenv("VUDO_SLOW_DISK_REPORT")) return;
  char line[256];
  int n = 0;
  for (int k = 0; k < kKinds; ++k) {
    n += snprintf(line + n, sizeof line - n, "%s%lu %s", k ? ", " : "slow_disk: ",
                  __atomic_load_n(&waits[k], __ATOMIC_RELAXED), kind_names[k]);
  }
  n += snprintf(line + n, sizeof line - n, "\n");
  ssize_t written = write(2, line, (size_t)n);
  (void)written;
}

static long delay_us(void) {
  static long cached = -1;
  if (cached < 0) {
    const char* text = getenv("VUDO_SLOW_DISK_US");
    cached = text && *text ? atol(text) : 200;
  }
  return cached;
}

/* Sleeps the delay and leaves errno as it was, so a wrapped call's caller
 * sees the errno of the real call alone. */
static void wait_for_disk(enum Kind kind) {
  __atomic_add_fetch(&waits[kind], 1, __ATOMIC_RELAXED);
  const long us = delay_us();
  if (us <= 0) return;
  const int saved = errno;
  struct timespec t = {us / 1000000, (us % 1000000) * 1000};
  while (nanosleep(&t, &t) != 0 && errno == EINTR) {
  }
  errno = saved;
}

static void* real(const char* name) {
  void* f = dlsym(RTLD_NEXT, name);
  if (!f) abort(); /* a libc without it: the measurement would be wrong */
  return f;
}
#define REAL(name, result, params) \
  static result(*real_##name) params; \
  if (!real_##name) real_##name = (result(*) params)real(#name)

/* An open that gave a regular file waits for the disk; one of a directory or
 * anything else does not (see the top). */
static int opened(int fd) {
  struct stat st;
  if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) wait_for_disk(kFileOpen);
  return fd;
}

/* The mode argument is there only with O_CREAT or O_TMPFILE. */
#define MODE_ARG(flags, mode) \
  mode_t mode = 0; \
  if ((flags) & (O_CREAT | O_TMPFILE)) { \
    va_list ap; \
    va_start(ap, flags); \
    mode = (mode_t)va_arg(ap, int); \
    va_end(ap); \
  }

int open(const char* path, int flags, ...) {
  MODE_ARG(flags, mode);
  REAL(open, int, (const char*, int, ...));
  return opened(real_open(path, flags, mode));
}
int open64(const char* path, int flags, ...) {
  MODE_ARG(flags, mode);
  REAL(open64, int, (const char*, int, ...));
  return opened(real_open64(path, flags, mode));
}
int openat(int dir, const char* path, int flags, ...) {
  MODE_ARG(flags, mode);
  REAL(openat, int, (int, const char*, int, ...));
  return opened(real_openat(dir, path, flags, mode));
}
int openat64(int dir, const char* path, int flags, ...) {
  MODE_ARG(flags, mode);
  REAL(openat64, int, (int, const char*, int, ...));
  return opened(real_openat64(dir, path, flags, mode));
}
int __open_2(const char* path, int flags) {
  REAL(__open_2, int, (const char*, int));
  return opened(real___open_2(path, flags));
}
int __open64_2(const char* path, int flags) {
  REAL(__open64_2, int, (const char*, int));
  return opened(real___open64_2(path, flags));
}
int __openat_2(int dir, const char* path, int flags) {
  REAL(__openat_2, int, (int, const char*, int));
  return opened(real___openat_2(dir, path, flags));
}
int __openat64_2(int dir, const char* path, int flags) {
  REAL(__openat64_2, int, (int, const char*, int));
  return opened(real___openat64_2(dir, path, flags));
}

/* Reads of regular files only: a pipe or a terminal is not the disk. */
static int is_file(int fd) {
  struct stat st;
  return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

ssize_t read(int fd, void* buffer, size_t count) {
  REAL(read, ssize_t, (int, void*, size_t));
  if (is_file(fd)) wait_for_disk(kFileRead);
  return real_read(fd, buffer, count);
}
ssize_t __read_chk(int fd, void* buffer, size_t count, size_t size) {
  REAL(__read_chk, ssize_t, (int, void*, size_t, size_t));
  if (is_file(fd)) wait_for_disk(kFileRead);
  return real___read_chk(fd, buffer, count, size);
}
ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
  REAL(pread, ssize_t, (int, void*, size_t, off_t));
  wait_for_disk(kFileRead);
  return real_pread(fd, buffer, count, offset);
}
ssize_t pread64(int fd, void* buffer, size_t count, off64_t offset) {
  REAL(pread64, ssize_t, (int, void*, size_t, off64_t));
  wait_for_disk(kFileRead);
  return real_pread64(fd, buffer, count, offset);
}
ssize_t __pread_chk(int fd, void* buffer, size_t count, off_t offset, size_t size) {
  REAL(__pread_chk, ssize_t, (int, void*, size_t, off_t, size_t));
  wait_for_disk(kFileRead);
  return real___pread_chk(fd, buffer, count, offset, size);
}
ssize_t __pread64_chk(int fd, void* buffer, size_t count, off64_t offset, size_t size) {
  REAL(__pread64_chk, ssize_t, (int, void*, size_t, off64_t, size_t));
  wait_for_disk(kFileRead);
  return real___pread64_chk(fd, buffer, count, offset, size);
}

/* Entries returned per open stream, to wait once per block of them. A small
 * open-addressed table keyed by the stream, under one lock: streams are
 * opened far more rarely than entries are read. */
enum { kStreams = 4096 };
static struct {
  DIR* dir;
  uint64_t entries;
} streams[kStreams];
static pthread_mutex_t streams_lock = PTHREAD_MUTEX_INITIALIZER;

static size_t slot_of(DIR* dir) { return ((uintptr_t)dir >> 4) % kStreams; }

static void forget_stream(DIR* dir) {
  pthread_mutex_lock(&streams_lock);
  for (size_t i = slot_of(dir), n = 0; n < kStreams; i = (i + 1) % kStreams, ++n) {
    if (streams[i].dir == dir) {
      streams[i].dir = NULL;
      /* Keep the probe chain unbroken: move later entries of the chain back. */
      for (size_t j = (i + 1) % kStreams; streams[j].dir; j = (j + 1) % kStreams) {
        DIR* moved = streams[j].dir;
        uint64_t count = streams[j].entries;
        streams[j].dir = NULL;
        size_t k = slot_of(moved);
        while (streams[k].dir) k = (k + 1) % kStreams;
        streams[k].dir = moved;
        streams[k].entries = count;
      }
      break;
    }
    if (!streams[i].dir) break;
  }
  pthread_mutex_unlock(&streams_lock);
}

/* Counts one entry returned by the stream; true when it begins a block. A
 * stream not in the table (opened before this library, or more streams open
 * than it holds) counts as beginning a block every time, which errs slow. */
static int begins_block(DIR* dir) {
  int begins = 1;
  pthread_mutex_lock(&streams_lock);
  size_t i = slot_of(dir);
  for (size_t n = 0; n < kStreams; i = (i + 1) % kStreams, ++n) {
    if (streams[i].dir == dir || !streams[i].dir) break;
  }
  if (!streams[i].dir) {
    streams[i].dir = dir;
    streams[i].entries = 0;
  }
  if (streams[i].dir == dir) begins = streams[i].entries++ % kEntriesPerBlock == 0;
  pthread_mutex_unlock(&streams_lock);
  return begins;
}

DIR* opendir(const char* path) {
  REAL(opendir, DIR*, (const char*));
  wait_for_disk(kDirectoryOpen);
  DIR* dir = real_opendir(path);
  if (dir) forget_stream(dir); /* a new stream at a freed stream's address */
  return dir;
}
DIR* fdopendir(int fd) {
  REAL(fdopendir, DIR*, (int));
  wait_for_disk(kDirectoryOpen);
  DIR* dir = real_fdopendir(fd);
  if (dir) forget_stream(dir);
  return dir;
}
int closedir(DIR* dir) {
  REAL(closedir, int, (DIR*));
  forget_stream(dir);
  return real_closedir(dir);
}
struct dirent* readdir(DIR* dir) {
  REAL(readdir, struct dirent*, (DIR*));
  struct dirent* d = real_readdir(dir);
  if (d && begins_block(dir)) wait_for_disk(kDirectoryBlock);
  return d;
}
struct dirent64* readdir64(DIR* dir) {
  REAL(readdir64, struct dirent64*, (DIR*));
  struct dirent64* d = real_readdir64(dir);
  if (d && begins_block(dir)) wait_for_disk(kDirectoryBlock);
  return d;
}
