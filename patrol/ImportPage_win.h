// The saved-page import without its dialogs: the board's plug-in converts a
// saved page in file mode, then the board folder is imported.
#pragma once
#include "pluginhost/PluginHost.h"

class CStoreNotify;

// Starts the board's plug-in (type from LIB of the board's settings) in the
// board folder with pagePath as its argument, visible and without pipes,
// waits for it without a time limit, and imports the folder; output that an
// earlier import could not save is imported before the plug-in runs. Returns the
// number of new articles, or -1 when the plug-in could not be started (then
// nothing is imported; the caller shows "プラグイン起動エラー").
int Patrol_ImportSavedPage(const char* boardFolder, const char* pagePath, const PluginRunOptions& options,
                           CCritSec* launchLock, CStoreNotify* notify);
