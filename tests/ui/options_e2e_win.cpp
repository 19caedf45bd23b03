// The option sheet of zeva.exe driven from outside: a value changed on every
// page lands in zeva.ini after OK; Cancel keeps what leaving a page saved
// and drops the working copies; plain menus apply to context menus at once;
// the sheet reopens on the page last active and shows the file's tray switch.
#include "ui/zeva_open.h"
#include "res/resource.h"
#include "ui/driver/UiDriver.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <prsht.h>

using namespace uidriver;

namespace {

const char kExe[] = "zeva.exe";

// A short, playable sound: 8-bit mono PCM at 8000 Hz.
std::string Wave()
{
    std::string data(800, '\x80');
    auto u32 = [](uint32_t v) { return std::string((const char*)&v, 4); };
    auto u16 = [](uint16_t v) { return std::string((const char*)&v, 2); };
    return "RIFF" + u32((uint32_t)(36 + data.size())) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(8000) +
           u32(8000) + u16(1) + u16(8) + "data" + u32((uint32_t)data.size()) + data;
}

LRESULT Send(HWND wnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(wnd, msg, wp, lp, SMTO_ABORTIFHUNG, 5000, &result);
    return (LRESULT)result;
}

// The GDI objects a process holds. Wine answers GetGuiResources with 0
// (not implemented); there the process's shared handle table (PEB offset
// 0x94, 24-byte entries, type byte at 14, cleared when freed) is counted.
int GdiObjects(HANDLE process)
{
    SetLastError(0);
    DWORD n = GetGuiResources(process, GR_GDIOBJECTS);
    if (n || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
        return (int)n;
    typedef LONG(WINAPI * QueryFn)(HANDLE, int, void*, ULONG, ULONG*);
    QueryFn query = (QueryFn)(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess");
    struct {
        LONG exitStatus;
        void* peb;
        ULONG_PTR affinity, priority, id, parent;
    } info = {};
    if (!query || query(process, 0, &info, sizeof info, nullptr) != 0)
        return -1;
    DWORD table = 0;
    if (!ReadProcessMemory(process, (char*)info.peb + 0x94, &table, sizeof table, nullptr) || !table)
        return -1;
    std::vector<unsigned char> entries(65536 * 24);
    if (!ReadProcessMemory(process, (void*)(ULONG_PTR)table, entries.data(), entries.size(), nullptr))
        return -1;
    int count = 0;
    for (size_t i = 0; i < 65536; ++i)
        count += entries[i * 24 + 14] != 0;
    return count;
}

class OptionsE2e : public ::testing::Test {
protected:
    void Start(const std::string& ini)
    {
        ASSERT_TRUE(inst.AddProgram(ZEVA_EXE, kExe));
        ASSERT_TRUE(inst.PutData("zeva.ini", ini));
        ASSERT_TRUE(inst.PutData("雑談\\zeva_BBS.ini", "[BASIC]\r\nLIB=ZVT\r\n"));
        ASSERT_TRUE(app.Start(inst, kExe));
        main = app.WaitWindow("ZEVA");
        ASSERT_TRUE(main);
        ASSERT_TRUE(app.WaitIdle());
    }
    // Opens the sheet (a modal box: the command is posted).
    void Open()
    {
        ASSERT_TRUE(PostCommand(main, ID_OPTIONS));
        ASSERT_TRUE(WaitFor([&] {
            sheet = nullptr;
            for (HWND w : TopWindows(app.Id(), "#32770"))
                if (Text(w) == "オプション")
                    sheet = w;
            return sheet != nullptr;
        }));
        ASSERT_TRUE(Settle(sheet));
    }
    // Switches pages as a click on the tab does (the page left hears of it).
    HWND Page(int index)
    {
        Send(sheet, PSM_SETCURSEL, (WPARAM)index, 0);
        return (HWND)Send(sheet, PSM_GETCURRENTPAGEHWND);
    }
    int CurrentIndex() { return (int)Send(sheet, PSM_HWNDTOINDEX, (WPARAM)Send(sheet, PSM_GETCURRENTPAGEHWND)); }
    void Close(int button)
    {
        ASSERT_TRUE(PressButton(sheet, button));
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(sheet); }));
    }
    void Shot(const char* name)
    {
        Image shot;
        ASSERT_TRUE(Capture(sheet, &shot));
        EXPECT_TRUE(shot.NotBlank()) << name;
        SavePng(shot, ScreenPath(name));
    }
    // A common dialog opened over the sheet (colour or font chooser).
    HWND Chooser()
    {
        HWND found = nullptr;
        WaitFor([&] {
            for (HWND w : TopWindows(app.Id(), "#32770"))
                if (w != sheet)
                    found = w;
            return found != nullptr;
        });
        return found;
    }
    void Check(HWND page, int id, bool on)
    {
        HWND box = Child(page, id);
        if ((Send(box, BM_GETCHECK) == BST_CHECKED) != on)
            PostMessageA(box, BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitFor([&] { return (Send(box, BM_GETCHECK) == BST_CHECKED) == on; })) << id;
    }
    // Text typed into an edit: all but the last key set at once (a combo box's
    // field reports no change for that), the last key typed at its end.
    void Type(HWND edit, const char* head, UINT lastKey)
    {
        ASSERT_TRUE(SetText(edit, head));
        Send(edit, EM_SETSEL, 1000, 1000);
        ASSERT_TRUE(SendKey(edit, lastKey));
        std::string want = std::string(head) + (char)(lastKey | 0x20);
        ASSERT_TRUE(WaitFor([&] { return Text(edit) == want; })) << Text(edit);
    }
    // The open-file chooser over the sheet, answered with path.
    void ChooseFile(const std::string& path)
    {
        HWND open = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            for (HWND d : TopWindows(app.Id(), "#32770"))
                if (Child(d, 1148))   // the file name field
                    return (open = d) != nullptr;
            return false;
        }));
        ASSERT_TRUE(SetText(Child(open, 1148), path));
        ASSERT_TRUE(PressButton(open, IDOK));
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(open); }));
    }
    std::string Ini(const char* key)
    {
        char buf[600];
        GetPrivateProfileStringA("OPTION", key, "<none>", buf, sizeof buf, (inst.DataDir() + "\\zeva.ini").c_str());
        return buf;
    }
    // The folder view's context menu: plain items have their text.
    std::vector<MenuItem> FolderContextMenu()
    {
        HWND tree = Child(main, IDC_FOLDERVIEW);
        std::vector<TreeItem> items = TreeItems(tree);
        RECT r = {};
        if (items.empty() || !TreeItemRect(tree, items.front().handle, &r))
            return {};
        Click(tree, r.left + 6, (r.top + r.bottom) / 2, true);
        if (!WaitFor([&] { return !OpenMenus(main).empty(); }))
            return {};
        std::vector<MenuItem> menu = MenuItems(main, MenuOfPopup(OpenMenus(main).front()));
        SendKey(main, VK_ESCAPE);
        WaitFor([&] { return OpenMenus(main).empty(); });
        return menu;
    }
    // Opens a store as choosing it in the folder view does.
    void OpenStore(const std::string& rel)
    {
        ASSERT_TRUE(ZevaOpenStore(main, inst.DataDir() + "\\" + rel));
    }
    void Quit()
    {
        ASSERT_TRUE(PostCommand(main, ID_APP_EXIT));
        ASSERT_TRUE(app.WaitExit(20000));
    }

    Install inst;
    Process app;
    HWND main = nullptr, sheet = nullptr;
};

TEST_F(OptionsE2e, EveryPageWritesItsChangesOnOk)
{
    // A font whose face is not on the system: the views get a stand-in face
    // when the fonts are re-created, the setting stays.
    Start("[OPTION]\r\nAnimation=0\r\nSound003=C:\\old.wav\r\nFontTextFace=どこにもない書体\r\n");
    ASSERT_TRUE(inst.PutData("sounds\\bye.wav", Wave()));
    // Beside it a file whose full path is longer than a sound setting holds.
    wchar_t data[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, inst.DataDir().c_str(), -1, data, MAX_PATH);
    std::wstring longWave = L"\\\\?\\" + std::wstring(data) + L"\\sounds\\" + std::wstring(230, L'w') + L".wav";
    HANDLE f = CreateFileW(longWave.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    CloseHandle(f);
    const std::string wave = inst.DataDir() + "\\sounds\\bye.wav", editor = inst.ProgramDir() + "\\" + kExe;
    std::vector<MenuItem> before = FolderContextMenu();
    ASSERT_FALSE(before.empty());
    EXPECT_TRUE(before.front().ownerDrawn);

    Open();
    // Six tabs, centred over the main window, opened on the first page.
    EXPECT_EQ(Send(Child(sheet, 0x3020), TCM_GETITEMCOUNT), 6);
    RECT s = WindowRect(sheet), m = WindowRect(main);
    EXPECT_NEAR((s.left + s.right) / 2, (m.left + m.right) / 2, 2);
    EXPECT_NEAR((s.top + s.bottom) / 2, (m.top + m.bottom) / 2, 2);
    EXPECT_EQ(CurrentIndex(), 0);

    // 表示: the first colour (引用行) through the chooser, a box, the scroll
    // amount and a slider moved by the keyboard.
    HWND page = Page(0);
    EXPECT_FALSE(Visible(Child(page, IDC_OPD_AUTO_COLLAPSE)));
    EXPECT_EQ(Send(Child(page, IDC_OPD_SCROLL_LINE_SPIN), UDM_GETRANGE), MAKELONG(100, 10));
    HWND apply = Child(sheet, 0x3021);
    EXPECT_FALSE(Enabled(apply));
    Check(page, IDC_OPD_TITLE_BLEND, true);   // the title-shading box marks the sheet changed
    EXPECT_TRUE(WaitFor([&] { return Enabled(apply); }));
    HWND sample = Child(page, IDC_OPD_COLOUR_SAMPLE);
    PostMessageA(sample, BM_CLICK, 0, 0);
    HWND colour = Chooser();
    ASSERT_TRUE(colour);
    const struct {
        int id;
        const char* value;
    } rgb[] = {{706, "18"}, {707, "52"}, {708, "86"}};   // red, green, blue fields
    for (const auto& c : rgb)
        ASSERT_TRUE(SetText(Child(colour, c.id), c.value));
    ASSERT_TRUE(PressButton(colour, IDOK));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(colour); }));
    ASSERT_TRUE(SetText(Child(page, IDC_OPD_SCROLL_LINE), "80"));
    HWND slider = Child(page, IDC_OPD_SCROLL_PIXEL);
    ASSERT_TRUE(SendKey(slider, VK_RIGHT));
    ASSERT_TRUE(SendKey(slider, VK_RIGHT));
    EXPECT_TRUE(WaitFor([&] { return Text(Child(page, IDC_OPD_SCROLL_PIXEL_VALUE)) == "3"; }));
    EXPECT_EQ(Text(Child(page, IDC_OPD_SCROLL_WAIT_VALUE)), "10");
    Shot("options_display.png");
    Image pixels;
    RECT b = WindowRect(sample);
    ASSERT_TRUE(CaptureRect(b, &pixels));
    EXPECT_EQ(pixels.At(pixels.width / 2, pixels.height / 2), 0x123456u);   // the sample shows the new colour

    // 作成: texts and a macro inserted at the caret by the popup's command.
    page = Page(1);
    ASSERT_TRUE(SetText(Child(page, IDC_OPC_QUOTE_MARK), ">>"));
    // The editor through the file chooser, from a name it cannot start with.
    ASSERT_TRUE(SetText(Child(page, IDC_OPC_EDITOR), "C:\\bad<>|name.exe"));
    PostMessageA(Child(page, IDC_OPC_EDITOR_BROWSE), BM_CLICK, 0, 0);
    ChooseFile(editor);
    EXPECT_TRUE(WaitFor([&] { return Text(Child(page, IDC_OPC_EDITOR)) == editor; })) << Text(Child(page, IDC_OPC_EDITOR));
    HWND header = Child(page, IDC_OPC_REPLY_HEADER);
    ASSERT_TRUE(SetText(header, "Re[]"));
    Send(header, EM_SETSEL, 3, 3);
    PostMessageA(Child(page, IDC_OPC_INSERT), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !OpenMenus(main).empty(); }));
    std::vector<MenuItem> macros = MenuItems(main, MenuOfPopup(OpenMenus(main).front()));
    ASSERT_EQ(macros.size(), 6u);
    EXPECT_EQ(macros[0].text, "タイトル");
    EXPECT_EQ(macros[5].text, "e-mail");
    Shot("options_compose_popup.png");
    PostKey(header, VK_DOWN);   // the menu's loop reads the keys: its first item
    PostKey(header, VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return OpenMenus(main).empty(); }));
    EXPECT_TRUE(WaitFor([&] { return Text(header) == "Re[%s_title%]"; })) << Text(header);
    Shot("options_compose.png");

    // 巡回: eight threads, a proxy.
    page = Page(2);
    EXPECT_EQ(Send(Child(page, IDC_OPP_THREADS_SPIN), UDM_GETRANGE), MAKELONG(8, 1));
    ASSERT_TRUE(SetText(Child(page, IDC_OPP_THREADS), "8"));
    Check(page, IDC_OPP_PROXY_IE, false);
    ASSERT_TRUE(SetText(Child(page, IDC_OPP_PROXY_ADR), "proxy.example"));
    ASSERT_TRUE(SetText(Child(page, IDC_OPP_PROXY_PORT), "8080"));
    Shot("options_patrol.png");

    // サウンド: the second scene (終了) typed in; the list starts with "(なし)".
    page = Page(3);
    HWND combo = Child(page, IDC_OPS_SOUND);
    EXPECT_GE(Send(combo, CB_GETCOUNT), 1);
    EXPECT_EQ(Send(combo, CB_GETLBTEXTLEN, 0), 6);   // "(なし)"
    // The first scene (起動) shows its file; the list's first entry empties it.
    HWND field = FindWindowExA(combo, nullptr, "Edit", nullptr);
    EXPECT_EQ(Text(field), "C:\\old.wav");
    Send(combo, CB_SETCURSEL, 0);
    Send(page, WM_COMMAND, MAKEWPARAM(IDC_OPS_SOUND, CBN_SELCHANGE), (LPARAM)combo);
    HWND scenes = Child(page, IDC_OPS_SCENES);
    Send(scenes, LB_SETCURSEL, 1);
    Send(page, WM_COMMAND, MAKEWPARAM(IDC_OPS_SCENES, LBN_SELCHANGE), (LPARAM)scenes);
    // A file from another folder through the chooser: the list shows that folder.
    PostMessageA(Child(page, IDC_OPS_BROWSE), BM_CLICK, 0, 0);
    ChooseFile(wave);
    EXPECT_TRUE(WaitFor([&] { return Text(field) == wave; })) << Text(field);
    EXPECT_EQ(Send(combo, CB_GETCOUNT), 2);   // "(なし)" and bye.wav, not the one too long to keep
    PostMessageA(Child(page, IDC_OPS_PLAY), BM_CLICK, 0, 0);   // a file that is not there: nothing plays
    Shot("options_sound.png");

    // その他: plain menus and the tray.
    page = Page(5);
    Check(page, IDC_OPO_NORMAL_MENU, true);
    Check(page, IDC_OPO_ICON_TRAY, true);
    EXPECT_FALSE(Visible(Child(page, IDC_OPO_LOGIN_ROOT)));
    Shot("options_other.png");
    Close(IDOK);

    struct Case {
        const char* key;
        const char* value;
    } cases[] = {
        {"ColTextQuote", "5649426"},   // 0x563412
        {"TitleBlend", "1"},
        {"ScrollLine", "80"},
        {"ScrollPixel", "3"},
        {"QuoteMark", ">>"},
        {"Editor", editor.c_str()},
        {"ReplyHeader", "Re[%s_title%]"},
        {"ThreadCount", "5"},
        {"ProxyIE", "0"},
        {"ProxyAdr", "proxy.example"},
        {"ProxyPort", "8080"},
        {"Sound004", wave.c_str()},
        {"Sound003", ""},
        {"NormalMenu", "1"},
        {"UseIconTray", "1"},
        {"FontTextFace", "どこにもない書体"},
        {"FontFolderFace", "ＭＳ Ｐゴシック"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Ini(c.key), c.value) << c.key;

    // Plain context menus at once.
    std::vector<MenuItem> after = FolderContextMenu();
    ASSERT_FALSE(after.empty());
    EXPECT_FALSE(after.front().ownerDrawn);
    EXPECT_FALSE(after.front().text.empty());
    // The menu bar stays as it was until the next start.
    std::vector<MenuItem> bar = MenuItems(main);
    const MenuItem* options = FindMenuItem(bar, ID_OPTIONS);
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->ownerDrawn);

    // Reopened on その他, showing the tray switch of the file.
    Open();
    EXPECT_EQ(CurrentIndex(), 5);
    page = (HWND)Send(sheet, PSM_GETCURRENTPAGEHWND);
    EXPECT_EQ(Send(Child(page, IDC_OPO_ICON_TRAY), BM_GETCHECK), BST_CHECKED);
    Close(IDCANCEL);
    Quit();
    for (const Case& c : cases)
        EXPECT_EQ(Ini(c.key), c.value) << c.key << " after exit";

    // The next start: a plain menu bar.
    ASSERT_TRUE(app.Start(inst, kExe));
    main = app.WaitWindow("ZEVA");
    ASSERT_TRUE(main && app.WaitIdle());
    bar = MenuItems(main);
    options = FindMenuItem(bar, ID_OPTIONS);
    ASSERT_TRUE(options);
    EXPECT_FALSE(options->ownerDrawn);
    EXPECT_EQ(options->text.substr(0, 14), "オプション(&O)");
    Quit();
}

TEST_F(OptionsE2e, CancelKeepsWhatLeavingAPageSaved)
{
    Start("[OPTION]\r\nAnimation=0\r\nFontTextFace=どこにもない書体\r\n");
    Open();
    HWND page = Page(0);
    // The colour changed in the chooser, then the sheet cancelled.
    PostMessageA(Child(page, IDC_OPD_COLOUR_SAMPLE), BM_CLICK, 0, 0);
    HWND colour = Chooser();
    ASSERT_TRUE(colour);
    ASSERT_TRUE(SetText(Child(colour, 706), "1"));
    ASSERT_TRUE(PressButton(colour, IDOK));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(colour); }));
    EXPECT_TRUE(WaitFor([&] { return Enabled(Child(sheet, 0x3021)); }));   // a chosen colour marks the sheet changed
    ASSERT_TRUE(SetText(Child(page, IDC_OPD_SCROLL_LINE), "77"));
    // A face that no longer exists in the font chooser: cancelled, nothing breaks.
    HWND fonts = Child(page, IDC_OPD_FONT_LIST);
    Send(fonts, CB_SETCURSEL, 2);
    PostMessageA(Child(page, IDC_OPD_FONT_CHANGE), BM_CLICK, 0, 0);
    HWND font = Chooser();
    ASSERT_TRUE(font);
    ASSERT_TRUE(PressButton(font, IDCANCEL));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(font); }));

    page = Page(3);
    Type(FindWindowExA(Child(page, IDC_OPS_SOUND), nullptr, "Edit", nullptr), "C:\\sounds\\hello.wa", 'V');
    page = Page(1);   // leaving サウンド saves it; 作成 saves on OK only
    EXPECT_EQ(Ini("Sound003"), "C:\\sounds\\hello.wav");
    ASSERT_TRUE(SetText(Child(page, IDC_OPC_EDITOR), "C:\\tools\\other.exe"));
    Close(IDCANCEL);

    // The working copies are gone: the sheet shows the settings again.
    Open();
    EXPECT_EQ(CurrentIndex(), 1);
    EXPECT_EQ(Text(Child((HWND)Send(sheet, PSM_GETCURRENTPAGEHWND), IDC_OPC_EDITOR)), "notepad");
    page = Page(0);
    EXPECT_EQ(Text(Child(page, IDC_OPD_SCROLL_LINE)), "50");
    Close(IDCANCEL);
    Quit();
    EXPECT_EQ(Ini("Sound003"), "C:\\sounds\\hello.wav");
    EXPECT_EQ(Ini("Editor"), "<none>");
    EXPECT_EQ(Ini("ColTextQuote"), "<none>");
    EXPECT_EQ(Ini("ScrollLine"), "<none>");
}

// A read article and an unsent one below it.
const char kStore[] = "#T:板\nS:1,*,26/12/01,00:00,N\nT:話題\nN:甲\nM:本文\n.\n"
                      "S:*,1,26/12/01,00:00,U\nT:書きかけ\nN:乙\nM:下書き\n.\n";

TEST_F(OptionsE2e, BiggerTitleFontMakesTallerRows)
{
    Start("[OPTION]\r\nAnimation=0\r\nFontTitleSize=-10\r\n");
    ASSERT_TRUE(inst.PutData("雑談\\001.zvt", kStore));
    OpenStore("雑談\\001.zvt");
    HWND list = Child(main, IDC_TITLEVIEW);
    ASSERT_EQ(ListCount(list), 2);
    RECT before = {};
    ASSERT_TRUE(ListItemRect(list, 0, &before));

    Open();
    HWND page = Page(0);
    Send(Child(page, IDC_OPD_FONT_LIST), CB_SETCURSEL, 1);   // タイトル一覧
    PostMessageA(Child(page, IDC_OPD_FONT_CHANGE), BM_CLICK, 0, 0);
    HWND font = Chooser();
    ASSERT_TRUE(font);
    HWND size = Child(font, 0x472);   // the size combo
    ASSERT_TRUE(size);
    LRESULT at = Send(size, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM) "36");
    ASSERT_GE(at, 0);
    Send(size, CB_SETCURSEL, (WPARAM)at);
    Send(font, WM_COMMAND, MAKEWPARAM(0x472, CBN_SELCHANGE), (LPARAM)size);
    ASSERT_TRUE(PressButton(font, IDOK));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(font); }));
    Close(IDOK);

    RECT after = {};
    ASSERT_TRUE(Settle(main));
    ASSERT_TRUE(ListItemRect(list, 0, &after));
    EXPECT_GT(after.bottom - after.top, 2 * (before.bottom - before.top));
    Quit();
    EXPECT_NE(Ini("FontTitleSize"), "-10");
}

TEST_F(OptionsE2e, EditorChosenOnThePageWritesTheNextArticle)
{
    ASSERT_TRUE(inst.AddProgram(ZEVA_TEST_EDITOR, "test_editor.exe"));
    Start("[OPTION]\r\nAnimation=0\r\n");
    ASSERT_TRUE(inst.PutData("雑談\\001.zvt", kStore));
    OpenStore("雑談\\001.zvt");
    HWND list = Child(main, IDC_TITLEVIEW);
    ASSERT_EQ(ListCount(list), 2);

    Open();
    HWND page = Page(1);
    ASSERT_TRUE(SetText(Child(page, IDC_OPC_EDITOR), inst.Path("test_editor.exe")));
    ASSERT_TRUE(SetText(Child(page, IDC_OPC_EDITOR_OPTION), "-a from-the-new-editor"));
    Close(IDOK);

    int row = ListText(list, 0, 0) == "*" ? 0 : 1;
    ASSERT_TRUE(ListSelect(list, row));
    ASSERT_TRUE(Settle(main));
    ASSERT_TRUE(SendCommand(main, ID_EDIT));
    EXPECT_TRUE(WaitFor([&] {
        return inst.ReadData("作業ファイル000.txt").find("from-the-new-editor") != std::string::npos;
    })) << inst.ReadData("作業ファイル000.txt");
}

TEST_F(OptionsE2e, OpeningAndApplyingTheSheetKeepsNoGdiObjects)
{
    Start("[OPTION]\r\nAnimation=0\r\n");
    // Every page made and applied, fonts re-created, key files saved.
    auto cycle = [&] {
        Open();
        for (int i = 5; i >= 0; --i)   // the six pages
            Page(i);
        Close(IDOK);
    };
    // The first openings fill the system's caches (fonts, images).
    for (int i = 0; i < 10; ++i)
        cycle();
    int before = GdiObjects(app.Handle());
    ASSERT_GT(before, 0);
    for (int i = 0; i < 50; ++i)
        cycle();
    // A leak costs at least one object per opening; the system's caches
    // still vary by a few dozen.
    EXPECT_LT(GdiObjects(app.Handle()) - before, 50);
    Quit();
}

}  // namespace
