// zeva_demo_watch.exe ZEVA-EXE PICTURE.png: the unattended patrol of
// "make run" as a user would see it. Starts "zeva.exe -G", waits until the
// program has ended by itself, then starts the program once more, saves a
// picture of its main window, with the ZVT demo board's store open (its
// articles carry pictures), and closes it.
//
// Exit code 0 when the patrol ran and the program ended by itself; 1 when it
// could not be started or did not end within ten minutes.
#include "ui/driver/UiDriver.h"

#include <stdio.h>

#include <string>

using namespace uidriver;

namespace {
const DWORD kPatrolLimitMs = 10 * 60 * 1000;

// What the folder view does when a store is chosen (UWM_OPEN_ITEM).
void OpenStore(HWND main, const std::string& path)
{
    struct {
        char path[260];
        int isStore;
        void* item;
    } req = {};
    snprintf(req.path, sizeof req.path, "%s", path.c_str());
    req.isStore = 1;
    RemoteMemory mem(main, sizeof req);
    DWORD_PTR r = 0;
    if (mem.Ok() && mem.Write(&req, sizeof req))
        SendMessageTimeoutA(main, WM_USER + 1, 0, (LPARAM)mem.Address(), SMTO_NORMAL, 60000, &r);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: zeva_demo_watch ZEVA-EXE PICTURE.png\n");
        return 2;
    }
    const std::string exe = argv[1], picture = argv[2];

    DWORD code = 1;
    {
        Process patrol;
        if (!patrol.Start(exe, "-G")) {
            fprintf(stderr, "zeva_demo_watch: %s cannot be started\n", exe.c_str());
            return 1;
        }
        DWORD start = GetTickCount();
        while (!patrol.WaitExit(100, &code)) {
            if (GetTickCount() - start > kPatrolLimitMs) {
                fprintf(stderr, "zeva_demo_watch: the patrol did not end within %lu s\n", kPatrolLimitMs / 1000);
                return 1;
            }
        }
    }
    // The main window as the user finds it after the patrol.
    Process look;
    HWND main = nullptr;
    if (look.Start(exe) && (main = look.WaitWindow("ZEVA")) != nullptr && look.WaitIdle()) {
        std::string store = exe.substr(0, exe.find_last_of('\\') + 1) + "data\\ZVTデモ\\001.zvt";
        if (GetFileAttributesA(store.c_str()) != INVALID_FILE_ATTRIBUTES)
            OpenStore(main, store);
        Settle(main);
        Image shot;
        if (!Capture(main, &shot) || !SavePng(shot, picture))
            fprintf(stderr, "zeva_demo_watch: cannot save the picture %s\n", picture.c_str());
        PostCommand(main, 105);   // 終了
        look.WaitExit(20000);
    } else {
        fprintf(stderr, "zeva_demo_watch: the main window did not open after the patrol\n");
    }
    return code == 0 ? 0 : 1;
}
