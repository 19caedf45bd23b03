// zeva_demo.exe: stands in for "zeva.exe -G" until the application shell
// exists. Laid out as the program will be: the data folder "data\" and the
// plug-in folder "Plugins\" beside the executable, the settings in
// "data\zeva.ini". With -G (or -g) it runs an unattended patrol of all
// marked boards in the progress window and ends when the window has closed.
//
// What zeva.exe will not do, for the demo script: "-rows FILE" writes the
// progress list as it stood at the end ("name<TAB>text" lines, Shift-JIS);
// "-shot FILE" saves a picture of the progress window at that moment as a
// 24-bit BMP.
//
// Exit code: 0 after a patrol that ran to its end; 1 when none could be
// started or it did not end within the time limit; 2 for a wrong command line.
#include "base/sjis.h"
#include "patrol/PatrolWin.h"
#include "res/resource.h"
#include "store/Profile.h"
#include "tests/patrol/e2e/progress_ui.h"

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

const DWORD kPatrolLimitMs = 10 * 60 * 1000;
bool g_closed = false;   // the progress window told us it is closing

LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    // The shell closes itself after an unattended patrol; the store notices
    // (32957/32958) need nothing here, no store is shown.
    if (msg == WM_COMMAND && LOWORD(wp) == CMD_PATROL_WINDOW_CLOSING) {
        g_closed = true;
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

HWND CreateMainWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ZevaDemoMain";
    RegisterClassA(&wc);
    return CreateWindowA(wc.lpszClassName, "ZEVA demo", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                         wc.hInstance, nullptr);
}

// The folder of the running executable, ending with a backslash.
std::string ProgramFolder()
{
    char path[MAX_PATH] = "";
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return ".\\";
    std::string p(path, n);
    size_t cut = p.find_last_of("\\/");
    return cut == std::string::npos ? ".\\" : p.substr(0, cut + 1);
}

bool WriteRows(const char* path, const std::vector<progressui::Row>& rows)
{
    FILE* f = fopen(path, "wb");
    if (!f)
        return false;
    for (const progressui::Row& r : rows)
        fprintf(f, "%s\t%s\r\n", r.name.c_str(), r.text.c_str());
    return fclose(f) == 0;
}

// The window's client area as it is drawn, saved as a bottom-up BMP: taken
// from the window's own device context, which under Wine holds what the
// window drew even before the X server shows it. (Under Xvfb there is no
// window manager to draw a frame and caption.)
bool SaveWindowPicture(HWND wnd, const char* path)
{
    RECT r;
    if (!GetClientRect(wnd, &r))
        return false;
    int w = r.right, h = r.bottom;
    if (w <= 0 || h <= 0)
        return false;
    // Whatever the end changed is painted first.
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HDC src = GetDC(wnd);
    HDC mem = CreateCompatibleDC(src);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(src, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bmp && bits) {
        HGDIOBJ old = SelectObject(mem, bmp);
        ok = BitBlt(mem, 0, 0, w, h, src, 0, 0, SRCCOPY) != 0;
        GdiFlush();
        SelectObject(mem, old);
    }
    if (ok) {
        DWORD stride = ((DWORD)w * 3 + 3) & ~3u;
        DWORD size = stride * (DWORD)h;
        BITMAPFILEHEADER fh = {};
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
        fh.bfSize = fh.bfOffBits + size;
        bi.bmiHeader.biSizeImage = size;
        FILE* f = fopen(path, "wb");
        ok = f && fwrite(&fh, sizeof fh, 1, f) == 1 && fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
             fwrite(bits, 1, size, f) == size;
        if (f && fclose(f) != 0)
            ok = false;
    }
    if (bmp)
        DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(wnd, src);
    return ok;
}

int Usage()
{
    fprintf(stderr, "usage: zeva_demo.exe -G [-rows FILE] [-shot FILE.bmp]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || (strcmp(argv[1], "-G") != 0 && strcmp(argv[1], "-g") != 0))
        return Usage();
    const char* rowsPath = nullptr;
    const char* shotPath = nullptr;
    for (int i = 2; i < argc; ++i) {
        if (strcmp(argv[i], "-rows") == 0 && i + 1 < argc)
            rowsPath = argv[++i];
        else if (strcmp(argv[i], "-shot") == 0 && i + 1 < argc)
            shotPath = argv[++i];
        else
            return Usage();
    }

    std::string program = ProgramFolder();
    std::string data = program + "data\\";
    std::string plugins = program + "Plugins\\";
    CreateDirectoryA(data.c_str(), nullptr);
    CreateDirectoryA(plugins.c_str(), nullptr);

    CProfile ini;
    ini.Open((data + "zeva.ini").c_str());
    PatrolStartParams params;
    Patrol_ReadOptions(ini, &params.options);
    Str_Copy(params.options.dataFolder, sizeof params.options.dataFolder, data.c_str());
    Str_Copy(params.options.pluginFolder, sizeof params.options.pluginFolder, plugins.c_str());
    params.options.unattended = 1;
    params.settings = &ini;
    params.mainWindow = CreateMainWindow();

    if (!Patrol_Start(params, PATROL_ALL, nullptr)) {
        fprintf(stderr, "zeva_demo: the patrol could not be started\n");
        return 1;
    }

    // The message loop of the shell. An unattended patrol ends by posting
    // the cancel command to its window, which then closes: the list is
    // taken just before that command is handled.
    bool taken = false;
    DWORD start = GetTickCount();
    while (!g_closed) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            HWND dlg = Patrol_Window();
            if (!taken && dlg && msg.hwnd == dlg && msg.message == WM_COMMAND && LOWORD(msg.wParam) == IDCANCEL &&
                !Patrol_IsRunning()) {
                taken = true;
                if (rowsPath && !WriteRows(rowsPath, progressui::Rows()))
                    fprintf(stderr, "zeva_demo: cannot write %s\n", rowsPath);
                if (shotPath && !SaveWindowPicture(dlg, shotPath))
                    fprintf(stderr, "zeva_demo: cannot save the picture %s\n", shotPath);
            }
            if (dlg && IsDialogMessageA(dlg, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (g_closed)
            break;
        if (GetTickCount() - start > kPatrolLimitMs) {
            fprintf(stderr, "zeva_demo: the patrol did not end within %lu s\n", kPatrolLimitMs / 1000);
            return 1;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    DestroyWindow(params.mainWindow);
    return 0;
}
