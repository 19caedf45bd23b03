// Under Wine: the default accelerator resources, accelerator tables built
// from key files, and owner-drawn menus converted, measured and drawn.
#include "ui/keys/Accel_win.h"
#include "ui/keys/MenuText.h"
#include "ui/keys/OwnerDrawMenu_win.h"

#include "base/fileio.h"
#include "common/png_write.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

namespace {
std::string TempFolder()
{
    char base[MAX_PATH], dir[MAX_PATH];
    GetTempPathA(sizeof base, base);
    snprintf(dir, sizeof dir, "%szeva_keys_%lu_%lu\\", base, GetCurrentProcessId(), GetTickCount());
    CreateDirectoryA(dir, nullptr);
    return dir;
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    ASSERT_EQ(File_Replace(path.c_str(), bytes.data(), bytes.size()), 1);
}

// The entries of an accelerator table as bindings (reserved 0).
KeyTable Entries(HACCEL h)
{
    KeyTable t;
    std::vector<ACCEL> a(h ? (size_t)CopyAcceleratorTableA(h, nullptr, 0) : 0);
    CopyAcceleratorTableA(h, a.data(), (int)a.size());
    for (const ACCEL& e : a)
        t.Add((uint8_t)(e.fVirt & 0x7F), e.key, e.cmd);
    return t;
}

std::string Bytes(const KeyTable& t)
{
    std::vector<char> b;
    KeyTable_Serialize(t, b);
    return std::string(b.begin(), b.end());
}

WORD g_lastCommand;
LRESULT CALLBACK RecordCommand(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COMMAND)
        g_lastCommand = LOWORD(wp);
    return DefWindowProcA(w, msg, wp, lp);
}
}

TEST(KeyResources, EqualTheDefaultTables)
{
    for (KeyScope scope : {KeyScope::Global, KeyScope::FolderView, KeyScope::TitleView}) {
        KeyTable fromResource, builtIn;
        EXPECT_EQ(LoadKeyTable(fromResource, nullptr, GetModuleHandleA(nullptr), KeyResourceId(scope)), 0);
        KeyTable_SetDefaults(builtIn, scope);
        EXPECT_EQ(Bytes(fromResource), Bytes(builtIn)) << KeyFileName(scope);
    }
}

TEST(Accelerators, BuiltFromKeyFilesOrDefaults)
{
    std::string data = TempFolder();
    // Global: F7 → 32773 (reserved byte set) and Ctrl+Q → 105; folder: empty file; title: no file.
    WriteFileBytes(data + "KeyGlobal.dat", std::string("\x03\x77\x76\x00\x05\x80" "\x0B\x00\x51\x00\x69\x00", 12));
    WriteFileBytes(data + "KeyFolder.dat", "");
    HACCEL acc[KeyScopeCount] = {};
    ASSERT_EQ(BuildAccelerators(GetModuleHandleA(nullptr), data.c_str(), acc), 1);
    EXPECT_EQ(Bytes(Entries(acc[0])), std::string("\x03\x00\x76\x00\x05\x80" "\x0B\x00\x51\x00\x69\x00", 12));
    EXPECT_EQ(acc[1], nullptr);   // an empty file: no keys in that scope
    KeyTable title;
    KeyTable_SetDefaults(title, KeyScope::TitleView);
    EXPECT_EQ(Bytes(Entries(acc[2])), Bytes(title));

    // The key acts: F7 in a window becomes command 32773.
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RecordCommand;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ZevaKeysTest";
    RegisterClassA(&wc);
    HWND w = CreateWindowA("ZevaKeysTest", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                           wc.hInstance, nullptr);
    ASSERT_NE(w, nullptr);
    MSG m = {w, WM_KEYDOWN, VK_F7, 1, 0, {0, 0}};
    g_lastCommand = 0;
    EXPECT_NE(TranslateAcceleratorA(w, acc[0], &m), 0);
    EXPECT_EQ(g_lastCommand, 32773);
    DestroyWindow(w);

    // Saved tables replace the files; rebuilding replaces (and destroys) the old handles.
    KeyTable tables[KeyScopeCount];
    for (int s = 0; s < KeyScopeCount; ++s)
        KeyTable_SetDefaults(tables[s], (KeyScope)s);
    for (int i = 0; i < 40000; ++i)   // more than an accelerator table holds
        tables[1].Add(KEYF_BASE, 'A', 32807);
    ASSERT_EQ(SaveKeyTables(data.c_str(), tables), 1);
    HACCEL old = acc[0];
    ASSERT_EQ(BuildAccelerators(GetModuleHandleA(nullptr), data.c_str(), acc), 1);
    EXPECT_EQ(CopyAcceleratorTableA(old, nullptr, 0), 0);
    EXPECT_EQ(Bytes(Entries(acc[0])), Bytes(tables[0]));
    EXPECT_EQ(Entries(acc[1]).Count(), 32767);
    DestroyAccelerators(acc);
    EXPECT_EQ(acc[0], nullptr);
    for (int s = 0; s < KeyScopeCount; ++s)
        DeleteFileA((data + KeyFileName((KeyScope)s)).c_str());
    RemoveDirectoryA(data.c_str());
}

namespace {
UINT TypeOf(HMENU m, int pos)
{
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(m, (UINT)pos, TRUE, &mii);
    return mii.fType;
}

std::string TextOf(HMENU m, int pos)
{
    char buf[256] = "";
    GetMenuStringA(m, (UINT)pos, buf, sizeof buf, MF_BYPOSITION);
    return buf;
}
}

TEST(OwnerDrawMenu, ConvertKeepsTextsAndUndoRestoresThem)
{
    // A bar with one popup: two commands, a separator, a submenu of colour
    // labels and an item longer than a kept copy.
    struct {
        HMENU bar = CreateMenu(), popup = CreatePopupMenu(), colors = CreatePopupMenu();
        std::string longText;
    } tm;
    AppendMenuA(tm.colors, MF_STRING, 32940, "なし");
    AppendMenuA(tm.colors, MF_STRING, 32941, "C_0000FF");
    AppendMenuA(tm.popup, MF_STRING, 32780, "検索(&S)...\tCtrl+F");
    AppendMenuA(tm.popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(tm.popup, MF_STRING, 32771, "コピー(&C)\tCtrl+C");
    AppendMenuA(tm.popup, MF_POPUP, (UINT_PTR)tm.colors, "カラーラベル(&L)");
    for (int i = 0; i < 60; ++i)
        tm.longText += "漢";   // 120 bytes
    AppendMenuA(tm.popup, MF_STRING, 105, tm.longText.c_str());
    AppendMenuA(tm.bar, MF_POPUP, (UINT_PTR)tm.popup, "ファイル(&F)");
    COwnerDrawMenu odm;
    EXPECT_EQ(odm.ConvertBar(tm.bar), 6);
    EXPECT_EQ(odm.TextCount(), 6);
    EXPECT_EQ(TypeOf(tm.bar, 0) & MFT_OWNERDRAW, 0u);   // the bar itself stays
    EXPECT_EQ(TextOf(tm.bar, 0), "ファイル(&F)");
    for (int pos : {0, 2, 3, 4})
        EXPECT_NE(TypeOf(tm.popup, pos) & MFT_OWNERDRAW, 0u) << pos;
    EXPECT_NE(TypeOf(tm.colors, 1) & MFT_OWNERDRAW, 0u);
    EXPECT_EQ(TypeOf(tm.popup, 1), (UINT)MFT_SEPARATOR);

    EXPECT_STREQ(odm.ItemText(tm.bar, 32780), "検索(&S)...\tCtrl+F");
    EXPECT_STREQ(odm.ItemText(tm.bar, 32941), "C_0000FF");
    EXPECT_EQ(odm.ItemText(tm.bar, 9999), nullptr);
    EXPECT_EQ(std::string(odm.ItemText(tm.bar, 105)), tm.longText.substr(0, 98));   // whole characters
    char tip[ToolTipSize];
    odm.ToolTipText(tm.bar, 32780, tip, sizeof tip);
    EXPECT_STREQ(tip, "検索");
    odm.ToolTipText(tm.bar, 9999, tip, sizeof tip);
    EXPECT_STREQ(tip, "");
    EXPECT_EQ(odm.ConvertBar(tm.bar), 0);   // converted items are left alone

    EXPECT_EQ(odm.UndoBar(tm.bar), 6);
    EXPECT_EQ(odm.TextCount(), 0);
    EXPECT_EQ(TypeOf(tm.popup, 0) & MFT_OWNERDRAW, 0u);
    EXPECT_EQ(TextOf(tm.popup, 0), "検索(&S)...\tCtrl+F");
    EXPECT_EQ(TextOf(tm.colors, 1), "C_0000FF");
    EXPECT_EQ(odm.ItemText(tm.bar, 32780), nullptr);   // plain menus: no tool-tip text
    DestroyMenu(tm.bar);
}

TEST(OwnerDrawMenu, MeasureAndMnemonics)
{
    HMENU m = CreatePopupMenu();
    AppendMenuA(m, MF_STRING, 1, "&File");
    AppendMenuA(m, MF_STRING, 2, "F&ind\tCtrl+F");
    AppendMenuA(m, MF_STRING, 3, "Fi&nd");
    AppendMenuA(m, MF_STRING, 4, "e&xit");
    AppendMenuA(m, MF_STRING, 5, "Find");
    AppendMenuA(m, MF_STRING, 6, "&Next");
    COwnerDrawMenu odm;
    ASSERT_EQ(odm.Convert(m), 6);

    auto measure = [&](int pos) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_DATA | MIIM_ID;
        GetMenuItemInfoA(m, (UINT)pos, TRUE, &mii);
        MEASUREITEMSTRUCT mis = {ODT_MENU, 0, mii.wID, 0, 0, mii.dwItemData};
        EXPECT_TRUE(odm.MeasureItem(&mis));
        EXPECT_GE(mis.itemHeight, 18u);
        return (int)mis.itemWidth;
    };
    EXPECT_EQ(measure(2), measure(4));   // "Fi&nd" measures as "Find"
    EXPECT_GT(measure(1), measure(2));   // the key text adds its width
    EXPECT_GT(measure(4), 20);
    MEASUREITEMSTRUCT other = {ODT_MENU, 0, 9, 0, 0, (ULONG_PTR)"not ours"};
    EXPECT_FALSE(odm.MeasureItem(&other));

    EXPECT_EQ(odm.MenuChar('x', m), MAKELRESULT(3, MNC_EXECUTE));
    EXPECT_EQ(odm.MenuChar('n', m), MAKELRESULT(2, MNC_SELECT));
    EXPECT_EQ(odm.MenuChar('q', m), MAKELRESULT(0, MNC_IGNORE));
    odm.Undo(m);
    DestroyMenu(m);
}

namespace {
const int kW = 240, kRow = 22;

struct Canvas {
    HDC dc;
    HBITMAP bmp;
    uint32_t* bits;
    HGDIOBJ old;
    int h;
    explicit Canvas(int height) : h(height)
    {
        BITMAPINFO bi = {};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), kW, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc = CreateCompatibleDC(nullptr);
        bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, (void**)&bits, nullptr, 0);
        old = SelectObject(dc, bmp);
        RECT all = {0, 0, kW, height};
        FillRect(dc, &all, (HBRUSH)GetStockObject(BLACK_BRUSH));
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        uint32_t p = bits[y * kW + x];
        return RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF);
    }
    // Pixels in [x0, x1) x [y0, y1) that are not the colour c.
    int Other(int x0, int y0, int x1, int y1, COLORREF c) const
    {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += At(x, y) != c;
        return n;
    }
    bool SavePng(const char* name) const
    {
        std::vector<uint8_t> rgb;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < kW; ++x) {
                COLORREF c = At(x, y);
                rgb.insert(rgb.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
            }
        std::string dir = ZEVA_SCREENS;
        for (char& ch : dir)
            if (ch == '/')
                ch = '\\';
        if (dir[0] == '\\')
            dir = "Z:" + dir;
        CreateDirectoryA(dir.c_str(), nullptr);
        return pngwrite::WriteFile(dir + "\\" + name, kW, h, rgb.data());
    }
};

// A strip of three icons on a magenta ground: a green square, a red square,
// a blue square, each 10x10 in the middle of its cell.
HBITMAP MakeStrip()
{
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 48, 16);
    ReleaseDC(nullptr, screen);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all = {0, 0, 48, 16};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &all, magenta);
    DeleteObject(magenta);
    const COLORREF colors[] = {RGB(0, 160, 0), RGB(220, 0, 0), RGB(0, 0, 220)};
    for (int i = 0; i < 3; ++i) {
        RECT r = {i * 16 + 3, 3, i * 16 + 13, 13};
        HBRUSH b = CreateSolidBrush(colors[i]);
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return bmp;
}
}

TEST(OwnerDrawMenu, DrawsIconsFramesTextsAndSwatches)
{
    HMENU m = CreatePopupMenu();
    const struct {
        UINT id;
        const char* text;
        UINT state;
    } items[] = {
        {32780, "検索(&S)...\tCtrl+F", 0},
        {32771, "コピー(&C)\tCtrl+C", ODS_SELECTED},
        {32851, "ツールバー(&T)", ODS_CHECKED},
        {32832, "削除(&D)\tDelete", ODS_GRAYED},
        {32941, "C_0000FF", 0},
        {32942, "C_FF0000", ODS_SELECTED},
    };
    const int n = (int)(sizeof items / sizeof items[0]);
    for (const auto& it : items)
        AppendMenuA(m, MF_STRING, it.id, it.text);
    COwnerDrawMenu odm;
    HBITMAP strip = MakeStrip();
    ASSERT_EQ(odm.LoadImages(strip), 1);
    EXPECT_EQ(ImageList_GetImageCount(odm.Images()), 3);
    COwnerDrawMenu shared;   // a strip handed over as an image list is copied
    ASSERT_EQ(shared.LoadImages(odm.Images()), 1);
    EXPECT_NE(shared.Images(), odm.Images());
    EXPECT_EQ(ImageList_GetImageCount(shared.Images()), 3);
    odm.AddIcon(32780, 1);
    odm.AddIcon(32771, 2);
    odm.AddIcon(32832, 1);
    ASSERT_EQ(odm.Convert(m), n);

    Canvas c(n * kRow);
    for (int i = 0; i < n; ++i) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_DATA;
        GetMenuItemInfoA(m, (UINT)i, TRUE, &mii);
        DRAWITEMSTRUCT dis = {ODT_MENU, 0, items[i].id, ODA_DRAWENTIRE, items[i].state, (HWND)m, c.dc,
                              {0, i * kRow, kW, (i + 1) * kRow}, mii.dwItemData};
        ASSERT_TRUE(odm.DrawItem(&dis));
    }
    ASSERT_TRUE(c.SavePng("keys_menu.png"));

    const COLORREF menu = GetSysColor(COLOR_MENU), hilite = GetSysColor(COLOR_HIGHLIGHT);
    // The icon box of a row (top-left corner) and its icon's middle.
    auto iconMid = [&](int row) { return c.At(2 + 8, row * kRow + 2 + 8); };
    EXPECT_EQ(iconMid(0), RGB(220, 0, 0));
    EXPECT_EQ(c.At(1 + 1, 0 * kRow + 2 + 1), menu);   // transparent corner of the icon
    EXPECT_EQ(c.Other(0, 0, 18, 2, menu), 0);          // the column above a box is background
    EXPECT_EQ(c.Other(0, 1 * kRow + 20, 18, 1 * kRow + 22, hilite), 0);
    EXPECT_EQ(iconMid(1), RGB(0, 0, 220));
    EXPECT_EQ(c.At(kW - 3, 1 * kRow + 3), hilite);    // selected row background
    EXPECT_EQ(iconMid(2), RGB(0, 160, 0));            // checked without own icon: image 0
    EXPECT_NE(c.At(2, 2 * kRow + 2), menu);           // its pushed frame
    EXPECT_NE(iconMid(3), RGB(220, 0, 0));            // disabled: embossed, not in colour
    // Labels start at 22, key texts end 16 before the right edge.
    for (int row = 0; row < 4; ++row) {
        COLORREF bg = row == 1 ? hilite : menu;
        EXPECT_GT(c.Other(22, row * kRow, 80, (row + 1) * kRow, bg), 10) << row;
        EXPECT_EQ(c.Other(kW - 15, row * kRow, kW, (row + 1) * kRow, bg), 0) << row;
        if (row != 2) {
            EXPECT_GT(c.Other(kW - 60, row * kRow, kW - 16, (row + 1) * kRow, bg), 10) << row;
        }
    }
    // Swatches: the colour inside, the background in a 2-pixel border.
    EXPECT_EQ(c.At(100, 4 * kRow + 10), RGB(0, 0, 255));
    EXPECT_EQ(c.At(kW - 3, 4 * kRow + 10), RGB(0, 0, 255));
    EXPECT_EQ(c.At(kW - 2, 4 * kRow + 10), menu);
    EXPECT_EQ(c.At(100, 4 * kRow + 1), menu);
    EXPECT_EQ(c.At(100, 5 * kRow + 10), RGB(255, 0, 0));
    EXPECT_EQ(c.At(100, 5 * kRow + 1), hilite);

    DRAWITEMSTRUCT other = {ODT_LISTVIEW, 114, 0, ODA_DRAWENTIRE, 0, nullptr, c.dc, {0, 0, 10, 10}, 0};
    EXPECT_FALSE(odm.DrawItem(&other));
    odm.Undo(m);
    DestroyMenu(m);
    DeleteObject(strip);
}
