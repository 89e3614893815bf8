/* What the machine allows, for the benchmarks to compare with:
 *   limits walk DIR      enumerate the tree (opendir/readdir), no matching
 *   limits read DIR      also open, read in 32000-byte blocks and close every
 *                        regular file, with no search
 *   limits readfile FILE read one file in 32000-byte blocks
 * Prints the number of entries, files or bytes seen. */
#define _GNU_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

enum { kBlock = 32000 };
static char block[kBlock];
static unsigned long long seen;
static int read_files;

static void read_file(const char* path) {
  int fd = open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return;
  ssize_t n;
  while ((n = read(fd, block, kBlock)) > 0) seen += (unsigned long long)n;
  close(fd);
}

static void walk(char* path, size_t length) {
  DIR* dir = opendir(path);
  if (!dir) return;
  struct dirent* d;
  while ((d = readdir(dir)) != NULL) {
    if (d->d_name[0] == '.' && (d->d_name[1] == 0 || (d->d_name[1] == '.' && d->d_name[2] == 0))) continue;
    size_t name = strlen(d->d_name);
    if (length + name + 2 >= 4096) continue;
    memcpy(path + length, d->d_name, name + 1);
    if (d->d_type == DT_DIR) {
      path[length + name] = '/';
      path[length + name + 1] = 0;
      walk(path, length + name + 1);
    } else if (read_files) {
      if (d->d_type == DT_REG) read_file(path);
    } else {
      ++seen;
    }
    path[length] = 0;
  }
  closedir(dir);
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: limits walk|read DIR | limits readfile FILE\n");
    return 2;
  }
  if (strcmp(argv[1], "readfile") == 0) {
    read_file(argv[2]);
  } else {
    static char path[4096];
    read_files = strcmp(argv[1], "read") == 0;
    snprintf(path, sizeof path - 2, "%s", argv[2]);
    size_t length = strlen(path);
    if (length == 0 || path[length - 1] != '/') path[length++] = '/', path[length] = 0;
    walk(path, length);
  }
  printf("%llu\n", seen);
  return 0;
}
