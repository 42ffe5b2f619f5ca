/* Loaded with LD_PRELOAD into a program under test: the call that
   FORM13F_FAILING_CALL names, rename (the default) or fdatasync, fails as on a
   disk that has just failed, so that each step of replacing a file can be
   tested. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int Fails(const char* call) {
  const char* failing = getenv("FORM13F_FAILING_CALL");
  return strcmp(failing && *failing ? failing : "rename", call) == 0;
}

int rename(const char* from, const char* to) {
  if (Fails("rename")) {
    errno = EIO;
    return -1;
  }
  int (*real)(const char*, const char*) = (int (*)(const char*, const char*))dlsym(RTLD_NEXT, "rename");
  return real(from, to);
}

int fdatasync(int file) {
  if (Fails("fdatasync")) {
    errno = EIO;
    return -1;
  }
  int (*real)(int) = (int (*)(int))dlsym(RTLD_NEXT, "fdatasync");
  return real(file);
}
