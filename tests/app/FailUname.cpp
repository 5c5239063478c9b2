// Preloaded into the program by startup_test.sh: the operating system's version query fails.

#include <cerrno>
#include <sys/utsname.h>

extern "C" int uname(struct utsname *)
{
    errno = EFAULT;
    return -1;
}
