// The system's file copy and folder removal for TreeFileCopy.
#include "ui/folderview/TreeFileCopy.h"

#include <windows.h>

bool CTreeCopyFs::RemoveDir(const char* path)
{
    return RemoveDirectoryA(path) != 0;
}

CTreeCopyFs::CopyResult CTreeCopyFs::CopyOne(const char* from, const char* to, bool overwrite)
{
    if (CopyFileA(from, to, overwrite ? FALSE : TRUE))
        return COPIED;
    DWORD e = GetLastError();
    return !overwrite && (e == ERROR_FILE_EXISTS || e == ERROR_ALREADY_EXISTS) ? EXISTS : FAILED;
}
