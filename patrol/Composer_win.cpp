// Win32 side of the composer: the editor runs in a new console, without our
// handles, and is watched by polling its process handle.
#include "patrol/Composer.h"

#include <windows.h>

namespace {

class CSystemLauncher : public IEditorLauncher {
public:
    intptr_t Start(const char* commandLine) override
    {
        char cmd[1100];
        lstrcpynA(cmd, commandLine, sizeof cmd);   // CreateProcessA may write to it
        STARTUPINFOA si;
        ZeroMemory(&si, sizeof si);
        si.cb = sizeof si;
        PROCESS_INFORMATION pi;
        ZeroMemory(&pi, sizeof pi);
        if (!CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                            &si, &pi))
            return 0;
        CloseHandle(pi.hThread);
        return (intptr_t)pi.hProcess;
    }

    int HasEnded(intptr_t process) override
    {
        return WaitForSingleObject((HANDLE)process, 0) == WAIT_OBJECT_0;
    }

    void Close(intptr_t process) override
    {
        CloseHandle((HANDLE)process);
    }
};

}  // namespace

IEditorLauncher* EditorLauncher_System()
{
    static CSystemLauncher launcher;
    return &launcher;
}

int Composer_ConfirmExit(void* ownerWindow, const CComposer& composer)
{
    if (!composer.IsBusy())
        return 1;
    int answer = MessageBoxA((HWND)ownerWindow,
                             "エディタが起動中ですが、終了しますか？\n終了すると編集中の内容は失われます",
                             "書き込みを編集中です！",
                             MB_YESNOCANCEL | MB_HELP | MB_ICONQUESTION | MB_DEFBUTTON2);
    return answer == IDYES;
}
