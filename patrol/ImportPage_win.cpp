// The saved-page import: convert with the board's plug-in, then import.
#include "patrol/ImportPage_win.h"

#include "patrol/Import.h"

int Patrol_ImportSavedPage(const char* boardFolder, const char* pagePath, const PluginRunOptions& options,
                           CCritSec* launchLock, CStoreNotify* notify)
{
    PluginLaunchRequest req;
    req.boardFolder = boardFolder;
    req.typeName = nullptr;   // LIB of the board's settings
    req.argument = pagePath;
    req.visible = true;
    req.stdOut = nullptr;
    req.stdErr = nullptr;
    req.processId = nullptr;
    // The plug-in is held until what an earlier failed save left in the
    // folder is taken in: it writes its own output files anew.
    HANDLE thread = nullptr;
    req.suspendedThread = &thread;
    HANDLE process = Plugin_Launch(req, options, launchLock);
    if (!process)
        return -1;
    int leftover = Import_Pending(boardFolder) ? Patrol_Import(boardFolder, notify) : 0;
    ResumeThread(thread);
    CloseHandle(thread);
    WaitForSingleObject(process, INFINITE);
    CloseHandle(process);
    return leftover + Patrol_Import(boardFolder, notify);
}
