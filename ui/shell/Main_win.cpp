// zeva.exe's entry point: one instance, the main window, the message loop.
#include "patrol/PatrolWin.h"
#include "ui/shell/MainWindow_win.h"
#include "ui/shell/ShellMenus_win.h"
#include "ui/shell/Views.h"

#include <commctrl.h>
#include <objbase.h>

namespace {

// Another instance runs: bring its window forward. A second start during the
// first one's start-up waits briefly for that window; it never goes on to
// open the settings itself.
int ActivateRunningInstance(HANDLE mutex)
{
    HWND other = FindWindowA("ZEVA", nullptr);
    for (int i = 0; !other && mutex && GetLastError() == ERROR_ALREADY_EXISTS && i < 100; ++i) {
        Sleep(100);
        other = FindWindowA("ZEVA", nullptr);
    }
    if (other) {
        ShowWindow(other, SW_SHOW);
        SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(other);
    }
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR cmdLine, int)
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES |
                                                ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS |
                                                ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    // One instance: the window of class "ZEVA", and a named mutex that also
    // covers the moment before the first instance's window exists.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "ZEVA_single_instance");
    DWORD mutexError = GetLastError();
    if (FindWindowA("ZEVA", nullptr) || mutexError == ERROR_ALREADY_EXISTS) {
        SetLastError(mutexError);
        int rc = ActivateRunningInstance(mutex);
        if (mutex)
            CloseHandle(mutex);
        CoUninitialize();
        return rc;
    }
    if (!MainWindow_Register(inst))
        return 0;
    // The regular-expression library, when it is beside the program.
    Search_LoadLibrary();

    int unattended = cmdLine && cmdLine[0] == '-' && (cmdLine[1] == 'G' || cmdLine[1] == 'g');
    HWND wnd = MainWindow_Create(inst, unattended);
    if (!wnd) {
        CoUninitialize();
        return 0;
    }
    ShowWindow(wnd, MainWindow_StartShowCommand());
    UpdateWindow(wnd);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        HWND patrol = Patrol_Window();
        if (patrol && IsDialogMessageA(patrol, &msg))
            continue;
        if (ShellMenus_Translate(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    Search_UnloadLibrary();
    for (HACCEL& a : g_shell.accel) {
        if (a)
            DestroyAcceleratorTable(a);
        a = nullptr;
    }
    CoUninitialize();
    if (mutex)
        CloseHandle(mutex);
    return (int)msg.wParam;
}
