// zeva_dist_check.exe APP-FOLDER PICTURES: the unpacked zip as a user starts it.
// The board folders in APP-FOLDER\data are set up by dist_test.sh beside the
// board simulator. Checks, printing one line per failure:
//   - BREGEXP.DLL of the zip loads alone and matches Shift-JIS text;
//   - the decoders of the zip's spi folder, named by the user's registry
//     value, draw a bitmap and a PNG picture of PICTURES;
//   - zeva.exe -G opens its main window, has loaded the zip's BREGEXP.DLL,
//     patrols and ends by itself;
//   - each board folder then holds the articles the simulator serves.
// Exit code 0 when all hold.
#include "outside/bregexp/bregexp.h"
#include "pluginhost/ImagePlugins_win.h"
#include "ui/driver/UiDriver.h"

#include <tlhelp32.h>
#include <stdio.h>

#include <string>
#include <vector>

using namespace uidriver;

namespace {

int g_failures = 0;

void Check(bool ok, const std::string& what)
{
    printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) ++g_failures;
}

std::string Lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
    return s;
}

// The full paths of the modules loaded in a process.
std::vector<std::string> Modules(DWORD pid)
{
    std::vector<std::string> out;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snap == INVALID_HANDLE_VALUE) return out;
    MODULEENTRY32 me = {};
    me.dwSize = sizeof me;
    for (BOOL more = Module32First(snap, &me); more; more = Module32Next(snap, &me))
        out.push_back(me.szExePath);
    CloseHandle(snap);
    return out;
}

// Every *.zvt store of a board folder, one after another.
std::string Stores(const std::string& folder)
{
    std::string all;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*.zvt").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return all;
    do all += ReadBytes(folder + "\\" + fd.cFileName);
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return all;
}

// The colour at x, y of a picture drawn by the decoders into a cell of its
// own size; -1 when nothing was drawn.
long DrawnColour(CImagePlugins& pictures, int key, const char* file, int w, int h, int x, int y)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    uint32_t* px = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, (void**)&px, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    for (int i = 0; i < w * h; ++i)
        px[i] = 0x01020304;   // no colour a picture of ours holds
    pictures.Draw(dc, key, file, 0, 0, w, h);
    GdiFlush();
    long colour = (px[y * w + x] & 0xFFFFFF) == 0x020304 ? -1 : (long)(px[y * w + x] & 0xFFFFFF);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return colour;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: zeva_dist_check APP-FOLDER PICTURES\n");
        return 2;
    }
    const std::string app = WinPath(argv[1]);

    // The decoders as a user installs them: the registry value names the
    // zip's spi folder.
    HKEY key;
    const std::string spi = app + "\\spi";
    bool named = RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Morivale\\Susie\\Plug-in", 0, nullptr, 0,
                                 KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS;
    if (named) {
        named = RegSetValueExA(key, "Path", 0, REG_SZ, (const BYTE*)spi.c_str(), (DWORD)spi.size() + 1) ==
                ERROR_SUCCESS;
        RegCloseKey(key);
    }
    Check(named, "the decoder folder is named in the registry");
    {
        CImagePlugins pictures;
        pictures.Cache().SetBaseFolder((WinPath(argv[2]) + "\\").c_str());
        Check(DrawnColour(pictures, 1, "bmp24.bmp", 16, 8, 3, 1) == 0xFF0000, "zevabmp.spi draws a bitmap");
        Check(DrawnColour(pictures, 2, "alpha.png", 8, 8, 1, 1) == 0x0000FF, "zevawic.spi draws a PNG picture");
    }

    // The library alone: no runtime DLL missing in a fresh prefix.
    HMODULE lib = LoadLibraryA((app + "\\BREGEXP.DLL").c_str());
    Check(lib != nullptr, "BREGEXP.DLL of the zip loads");
    if (lib) {
        BMatchProc match = (BMatchProc)(void*)GetProcAddress(lib, "BMatch");
        BRegfreeProc regfree = (BRegfreeProc)(void*)GetProcAddress(lib, "BRegfree");
        BREGEXP_HANDLE h = nullptr;
        char msg[BREGEXP_MSG_SIZE] = "";
        const std::string text = "ソ\\再表示";
        int r = match && regfree ? match("/表示$/km", text.data(), text.data() + text.size(), &h, msg) : 0;
        Check(r == 1 && h && h->matchStart[0] == text.data() + 5, "BREGEXP.DLL matches Shift-JIS text");
        if (regfree) regfree(h);
        FreeLibrary(lib);
    }

    DWORD code = 1;
    {
        Process zeva;
        Check(zeva.Start(app + "\\zeva.exe", "-G"), "zeva.exe -G starts");
        HWND main = zeva.WaitWindow("ZEVA", 60000);
        Check(main != nullptr, "its main window opens");
        bool loaded = false;
        for (const std::string& m : Modules(zeva.Id()))
            loaded = loaded || Lower(m) == Lower(app + "\\BREGEXP.DLL");
        Check(loaded, "zeva.exe has loaded the BREGEXP.DLL beside it");
        bool ended = zeva.WaitExit(10 * 60 * 1000, &code);
        Check(ended, "the patrol ends the program by itself");
        if (!ended) zeva.Kill();
    }

    const std::string data = app + "\\data";
    std::string zvt = Stores(data + "\\ZVT板");
    Check(zvt.find("T:展開して最初の記事\n") != std::string::npos &&
              zvt.find("T:Re: 展開して最初の記事\n") != std::string::npos,
          "the ZVT board's articles arrived (plug-in zv_ZVT)");
    std::string orb = Stores(data + "\\Orbiloom板");
    Check(orb.find("T:カテゴリの記事\n") != std::string::npos, "the Orbiloom board's article arrived (plug-in zv_Orbiloom)");
    std::string ini = ReadBytes(data + "\\ZVT板\\zeva_BBS.ini");
    Check(ini.find("PARAM2=") != std::string::npos && ini.find("PARAM2=\r\n") == std::string::npos,
          "the ZVT board's next-read pointer was stored");
    return g_failures ? 1 : 0;
}
