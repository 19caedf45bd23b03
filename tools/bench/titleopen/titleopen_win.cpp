// Opening a large store in the running program: from UWM_OPEN_ITEM until
// the title view has drawn its first rows, against CSubj::LoadFile of the
// same file alone, in turns, in one run (make bench, under Wine).
//
//   zeva_titleopenbench [ROUNDS]
//
// The main window is hosted in this process over a temporary install
// folder holding one board with a 100 MB store. Prints the best of both
// and their ratio.
#include "base/sjis.h"
#include "bench/store_gen.h"
#include "store/Subj.h"
#include "ui/shell/MainWindow_win.h"

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>

namespace {

double Now()
{
    static LARGE_INTEGER freq;
    if (!freq.QuadPart)
        QueryPerformanceFrequency(&freq);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1000.0 / (double)freq.QuadPart;
}

bool WriteAll(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD done = 0;
    bool ok = WriteFile(h, bytes.data(), (DWORD)bytes.size(), &done, nullptr) && done == bytes.size();
    CloseHandle(h);
    return ok;
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    int rounds = argc > 1 ? atoi(argv[1]) : 5;
    char tmp[MAX_PATH];
    GetTempPathA(sizeof tmp, tmp);
    std::string root = std::string(tmp) + "zeva_titleopen_" + std::to_string(GetCurrentProcessId());
    std::string data = root + "\\data", board = data + "\\board", store = board + "\\001.zvt";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA(data.c_str(), nullptr);
    CreateDirectoryA((root + "\\Plugins").c_str(), nullptr);
    CreateDirectoryA(board.c_str(), nullptr);
    uint32_t made = 0;
    if (!WriteAll(store, storegen::Board(7, false).Store(0, 100u << 20, &made)) ||
        !WriteAll(board + "\\zeva_BBS.ini", "[BASIC]\r\nLIB=ZVT\r\n") ||
        !WriteAll(data + "\\zeva.ini", "[OPTION]\r\nAnimation=0\r\n")) {
        fprintf(stderr, "cannot write the store\n");
        return 1;
    }
    Str_Format(g_shell.programDir, sizeof g_shell.programDir, "%s\\", root.c_str());
    HINSTANCE inst = GetModuleHandleA(nullptr);
    MainWindow_Register(inst);
    HWND main = MainWindow_Create(inst, 0);
    if (!main) {
        fprintf(stderr, "no main window\n");
        return 1;
    }
    ShowWindow(main, SW_SHOW);
    Pump();

    static OpenItemRequest req;
    Str_Copy(req.path, sizeof req.path, store.c_str());
    req.isStore = 1;
    double bestOpen = 1e30, bestLoad = 1e30;
    int rows = 0;
    for (int r = 0; r < rounds; ++r) {
        {
            CSubj s;
            double t0 = Now();
            s.LoadFile(store.c_str());
            bestLoad = std::min(bestLoad, Now() - t0);
        }
        g_shell.reload = 1;
        double t0 = Now();
        SendMessageA(main, UWM_OPEN_ITEM, 0, (LPARAM)&req);
        UpdateWindow(g_shell.titleView);   // the first rows drawn
        bestOpen = std::min(bestOpen, Now() - t0);
        rows = (int)SendMessageA(g_shell.titleView, LVM_GETITEMCOUNT, 0, 0);
        Pump();
    }
    DestroyWindow(main);
    Pump();
    printf("\nOpening a store of %.0f MB (%u articles, %d rows), best of %d\n", 100.0, (unsigned)made, rows, rounds);
    printf("  CSubj::LoadFile alone                 %9.1f ms\n", bestLoad);
    printf("  UWM_OPEN_ITEM until rows are drawn    %9.1f ms\n", bestOpen);
    printf("  ratio                                 %9.2f x   goal <= 1.5x   %s\n", bestOpen / bestLoad,
           bestOpen / bestLoad <= 1.5 ? "met" : "MISSED");
    DeleteFileA(store.c_str());
    DeleteFileA((board + "\\zeva_BBS.ini").c_str());
    RemoveDirectoryA(board.c_str());
    DeleteFileA((data + "\\zeva.ini").c_str());
    return 0;
}
