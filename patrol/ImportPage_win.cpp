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
    HANDLE process = Plugin_Launch(req, options, launchLock);
    if (!process)
        return -1;
    WaitForSingleObject(process, INFINITE);
    CloseHandle(process);
    return Patrol_Import(boardFolder, notify);
}
