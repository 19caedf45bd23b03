// The folder view's way into the folder properties sheet: the plug-in
// folder and the runner's options come from the main window's settings.
#include "pluginhost/SettingsSheet_win.h"

#include "pluginhost/PluginHost.h"

#include "ui/shell/Shell.h"

int FolderProperties_Show(HWND owner, const char* boardFolder)
{
    FolderSheetForm form;
    form.owner = owner;
    form.boardFolder = boardFolder;
    form.run.pluginFolder = g_shell.pluginDir;
    form.run.perl = g_shell.opt.perl;
    form.run.ruby = g_shell.opt.ruby;
    form.run.multiWindow = g_shell.opt.gaMultiWindow != 0;
    form.launchLock = &Plugin_ProcessLaunchLock();
    Shell_WaitConsole();
    return FolderSheet_Run(&form);
}
