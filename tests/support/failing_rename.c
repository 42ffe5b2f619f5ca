/* Loaded with LD_PRELOAD into a program under test: every rename fails as on
   a disk that has just failed, so that the last step of replacing a file can
   be tested. */
#include <errno.h>
#include <stdio.h>

int rename(const char* from, const char* to) {
  (void)from;
  (void)to;
  errno = EIO;
  return -1;
}
