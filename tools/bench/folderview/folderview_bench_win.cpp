// Folder view benchmark under Wine: FolderView_Reset of a data folder with
// 1,000 boards (2,000 stores, store cache warm) in the main window hosted by
// this process, against a bare recursive listing of the same tree plus the
// 2,000 cache look-ups, in turns in one run.
//
//   zeva_folderbench [ROUNDS]
//
// Prints the best and the median of both and their ratio.
#include "base/fileio.h"
#include "base/sjis.h"
#include "ui/folderview/FolderView_win.h"
#include "ui/shell/MainWindow_win.h"

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

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

void Put(const std::string& path, const std::string& bytes)
{
    File_Replace(path.c_str(), bytes.data(), bytes.size());
}

// 20 groups of 50 boards, each with its settings and two stores.
void MakeData(const std::string& data)
{
    for (int g = 0; g < 20; ++g) {
        std::string group = data + "グループ" + std::to_string(g) + "\\";
        CreateDirectoryA(group.c_str(), nullptr);
        for (int b = 0; b < 50; ++b) {
            std::string board = group + "掲示板" + std::to_string(b) + "\\";
            CreateDirectoryA(board.c_str(), nullptr);
            Put(board + "zeva_BBS.ini", "[BASIC]\r\nLIB=ZVT\r\nBBSFOLDER=1\r\n");
            Put(board + "雑談.zvt", "#T:雑談スレッド\n#N:" + std::to_string(b % 4) + "\n#U:0\n\n");
            Put(board + "質問.zvt", "#T:質問\n#N:0\n#U:" + std::to_string(b % 3) + "\n\n");
        }
    }
}

// The bare listing and one cache look-up per store.
int ListAndLookUp(const std::string& folder)
{
    std::vector<DirEntry> entries;
    if (!Dir_List(folder.c_str(), entries))
        return 0;
    int stores = 0;
    for (const DirEntry& e : entries) {
        std::string path = folder + e.name;
        if (e.isDir) {
            stores += ListAndLookUp(path + "\\");
        } else if (e.name.size() > 4 && Str_ICmp(e.name.c_str() + e.name.size() - 4, ".zvt") == 0) {
            g_shell.cache.Lookup(path.c_str(), e.writeTime);
            ++stores;
        }
    }
    return stores;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    int rounds = argc > 1 ? atoi(argv[1]) : 9;
    if (rounds < 1)
        rounds = 1;
    char tmp[MAX_PATH];
    GetTempPathA(sizeof tmp, tmp);
    std::string root = std::string(tmp) + "zeva_folderbench_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA((root + "data").c_str(), nullptr);
    CreateDirectoryA((root + "Plugins").c_str(), nullptr);
    MakeData(root + "data\\");

    Str_Copy(g_shell.programDir, sizeof g_shell.programDir, root.c_str());
    HINSTANCE inst = GetModuleHandleA(nullptr);
    MainWindow_Register(inst);
    HWND main = MainWindow_Create(inst, 0);   // builds the tree once: the cache is warm
    if (!main) {
        fprintf(stderr, "no main window\n");
        return 1;
    }
    ShowWindow(main, SW_SHOW);
    int stores = ListAndLookUp(g_shell.dataDir);
    int items = (int)SendMessageA(g_shell.folderView, TVM_GETCOUNT, 0, 0);

    std::vector<double> reset, bare;
    for (int i = 0; i < rounds; ++i) {
        double t0 = Now();
        FolderView_Reset(0, nullptr);
        double t1 = Now();
        ListAndLookUp(g_shell.dataDir);
        double t2 = Now();
        reset.push_back(t1 - t0);
        bare.push_back(t2 - t1);
    }
    double bestReset = *std::min_element(reset.begin(), reset.end());
    double bestBare = *std::min_element(bare.begin(), bare.end());
    printf("folder view: %d items, %d stores, %d rounds\n", items, stores, rounds);
    printf("FolderView_Reset        best %8.2f ms  median %8.2f ms\n", bestReset, Median(reset));
    printf("listing + %d look-ups  best %8.2f ms  median %8.2f ms\n", stores, bestBare, Median(bare));
    printf("ratio (best)  %.2fx   (median) %.2fx   goal <= 2x\n", bestReset / bestBare,
           Median(reset) / Median(bare));
    DestroyWindow(main);
    std::string cmd = "cmd /c rmdir /s /q \"" + root.substr(0, root.size() - 1) + "\"";
    STARTUPINFOA si = {sizeof si};
    PROCESS_INFORMATION pi = {};
    if (CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 60000);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    return 0;
}
