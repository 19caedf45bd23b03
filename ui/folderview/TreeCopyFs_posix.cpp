// The file copy and folder removal for TreeFileCopy on POSIX (native tests).
#ifndef _WIN32
#include "ui/folderview/TreeFileCopy.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

bool CTreeCopyFs::RemoveDir(const char* path)
{
    return rmdir(path) == 0;
}

CTreeCopyFs::CopyResult CTreeCopyFs::CopyOne(const char* from, const char* to, bool overwrite)
{
    int in = open(from, O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return FAILED;
    int out = open(to, O_WRONLY | O_CREAT | O_CLOEXEC | (overwrite ? O_TRUNC : O_EXCL), 0644);
    if (out < 0) {
        int e = errno;
        close(in);
        return !overwrite && e == EEXIST ? EXISTS : FAILED;
    }
    char buf[65536];
    bool ok = true;
    for (;;) {
        ssize_t n = read(in, buf, sizeof buf);
        if (n == 0)
            break;
        if (n < 0 || write(out, buf, (size_t)n) != n) {
            ok = false;
            break;
        }
    }
    close(in);
    if (close(out) != 0)
        ok = false;
    return ok ? COPIED : FAILED;
}
#endif
