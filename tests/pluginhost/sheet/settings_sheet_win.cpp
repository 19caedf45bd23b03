// The folder properties sheet opened in this process for a board folder,
// worked from a second thread as a user would: the controls read back,
// fields changed, items acted on, OK or Cancel pressed; then what landed in
// "zeva_BBS.ini" and "sign.ini". Screenshots of the pages go to build/screens.
#include "pluginhost/SettingsSheet_win.h"
#include "res/resource.h"
#include "ui/driver/UiDriver.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

using namespace uidriver;

namespace {

const char kCaption[] = "フォルダ プロパティ";

// Under our own X server Wine frames the windows itself (as the outside
// driver arranges for the programs it starts): no wait for a window manager
// when a box closes, and the caption shows in the screenshots.
struct FramedByWine {
    FramedByWine()
    {
        char v[8];
        HKEY key;
        if (GetEnvironmentVariableA("ZEVA_XVFB", v, sizeof v) &&
            RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &key, nullptr) == ERROR_SUCCESS) {
            RegSetValueExA(key, "Managed", 0, REG_SZ, (const BYTE*)"N", 2);
            RegCloseKey(key);
        }
    }
} g_framedByWine;

std::string Plugins()
{
    return WinPath(ZEVA_PLUGINS_DIR);
}

struct Fixture {
    Install inst;
    std::string board, plugins;
    explicit Fixture(const std::string& ini)
    {
        board = inst.DataDir() + "\\雑談板\\";
        plugins = inst.PluginDir() + "\\";
        MakeFolders(board);
        if (!ini.empty())
            WriteBytes(board + "zeva_BBS.ini", ini);
    }
    void Script(const std::string& name, const std::string& text) { WriteBytes(plugins + name, text); }
    std::string Ini() const { return ReadBytes(board + "zeva_BBS.ini"); }
};

// Runs the sheet on this thread while drive works it from another.
int RunSheet(Fixture& f, const std::function<void()>& drive, const char* perl = "perl")
{
    FolderSheetForm form;
    form.boardFolder = f.board.c_str();
    form.run.pluginFolder = f.plugins.c_str();
    form.run.perl = perl;
    std::thread driver(drive);
    int result = FolderSheet_Run(&form);
    driver.join();
    return result;
}

HWND WaitSheet()
{
    HWND sheet = nullptr;
    WaitFor([&] { return (sheet = FindWindowA("#32770", kCaption)) && IsWindowVisible(sheet); }, 30000);
    return sheet;
}

// A dialog of this process other than the sheet (a message box, a chooser).
HWND WaitBox(HWND sheet)
{
    HWND box = nullptr;
    WaitFor([&] {
        for (HWND w : TopWindows(GetCurrentProcessId(), "#32770"))
            if (w != sheet)
                box = w;
        return box != nullptr;
    });
    return box;
}

HWND Page(HWND sheet)
{
    return (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
}

HWND Show(HWND sheet, int index)
{
    SendMessageA(sheet, PSM_SETCURSEL, index, 0);
    return Page(sheet);
}

void Press(HWND sheet, int button)
{
    PostMessageA(sheet, PSM_PRESSBUTTON, button, 0);
}

std::string ItemText(HWND page, int id)
{
    return Text(GetDlgItem(page, id));
}

std::vector<std::string> ComboTexts(HWND box)
{
    std::vector<std::string> out;
    int n = (int)SendMessageA(box, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        char buf[300] = "";
        SendMessageA(box, CB_GETLBTEXT, i, (LPARAM)buf);
        out.push_back(buf);
    }
    return out;
}

std::vector<int> Images(HWND list)
{
    std::vector<int> out;
    for (int i = 0; i < ListCount(list); ++i) {
        LVITEMA it = {};
        it.mask = LVIF_IMAGE;
        it.iItem = i;
        SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&it);
        out.push_back(it.iImage);
    }
    return out;
}

std::vector<std::string> Column(HWND list)
{
    std::vector<std::string> out;
    for (int i = 0; i < ListCount(list); ++i)
        out.push_back(ListText(list, i, 0));
    return out;
}

void Key(HWND list, int row, UINT vk)
{
    ListSelect(list, row);
    SendMessageA(list, WM_KEYDOWN, vk, 0);
}

void Shot(HWND sheet, const std::string& name)
{
    Image shot;
    RedrawWindow(sheet, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ASSERT_TRUE(Capture(sheet, &shot));
    EXPECT_TRUE(shot.NotBlank()) << name;
    EXPECT_TRUE(SavePng(shot, ScreenPath(name)));
}

void SetClipboard(const std::string& text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
    GlobalUnlock(h);
    SetClipboardData(CF_TEXT, h);
    CloseClipboard();
}

// The text of section BASIC up to the next section.
std::string Basic(const std::string& ini)
{
    size_t end = ini.find("\r\n[", 1);
    std::string basic = ini.substr(0, end == std::string::npos ? ini.size() : end + 2);
    // A system profile writer may leave a blank line before the next section.
    while (basic.size() >= 4 && basic.compare(basic.size() - 4, 4, "\r\n\r\n") == 0)
        basic.resize(basic.size() - 2);
    return basic;
}

const char* const kZvtLabels[] = {"掲示板のアドレス(URL)(&A):", "書き込み先アドレス(URL):", "名前:", "e-mailアドレス:",
                                  "ホームページ:", "削除キー(&K):", "パラメータ", "未読ポインタ", "ユーザ名", "パスワード"};

} // namespace

TEST(SettingsSheet, ZvtBoardFilledFromItsDescriptionAndWrittenOnOk)
{
    Fixture f("[BASIC]\r\nLIB=ZVT\r\nURL=http://127.0.0.1/zvt/board.cgi\r\nBBSFOLDER=1\r\nPARAM2=42\r\n");
    ASSERT_TRUE(f.inst.AddPlugin(Plugins() + "\\zv_ZVT.exe"));
    ASSERT_TRUE(f.inst.AddPlugin(Plugins() + "\\zv_Orbiloom.exe"));
    int result = RunSheet(f, [&] {
        HWND sheet = WaitSheet();
        ASSERT_TRUE(sheet);
        HWND basic = Page(sheet);
        HWND box = GetDlgItem(basic, IDC_SET_PLUGIN);
        EXPECT_EQ(ComboTexts(box), (std::vector<std::string>{"Orbiloom", "ZVT"}));
        EXPECT_EQ(Text(box), "ZVT");
        EXPECT_EQ(ItemText(basic, IDC_SET_TARGET), "ZVT対応掲示板、Quillbook");
        EXPECT_EQ(ItemText(basic, IDC_SET_VERSION), "1.05");
        EXPECT_EQ(IsDlgButtonChecked(basic, IDC_SET_PATROL), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(basic, IDC_SET_TEMPORARY), BST_UNCHECKED);
        SendMessageA(GetDlgItem(basic, IDC_SET_TEMPORARY), BM_SETCHECK, BST_CHECKED, 0);
        Shot(sheet, "settings_zvt_basic.png");

        HWND patrol = Show(sheet, 1);
        EXPECT_EQ(Text(sheet), kCaption);
        for (int i = 0; i < SETTINGS_FIELD_COUNT; ++i) {
            EXPECT_EQ(ItemText(patrol, IDC_SET_LABEL0 + i), kZvtLabels[i]);
            EXPECT_TRUE(Enabled(GetDlgItem(patrol, IDC_SET_FIELD0 + i))) << i;
        }
        EXPECT_EQ(ItemText(patrol, IDC_SET_FIELD0 + 0), "http://127.0.0.1/zvt/board.cgi");
        EXPECT_EQ(ItemText(patrol, IDC_SET_FIELD0 + 7), "42");
        SetText(GetDlgItem(patrol, IDC_SET_FIELD0 + 2), "名無し");
        SetText(GetDlgItem(patrol, IDC_SET_FIELD0 + 9), "秘密");
        Shot(sheet, "settings_zvt_patrol.png");

        HWND detail = Show(sheet, 2);
        HWND list = GetDlgItem(detail, IDC_SET_ITEMS);
        EXPECT_EQ(ListColumns(list), (std::vector<std::string>{"リスト"}));
        EXPECT_EQ(ListCount(list), 0);
        EXPECT_FALSE(Enabled(list));
        EXPECT_EQ(ItemText(detail, IDC_SET_CHARSET), "S-JIS");
        EXPECT_EQ(ItemText(detail, IDC_SET_SIGNATURE), "");
        SetText(GetDlgItem(detail, IDC_SET_SIGNATURE), "-- \r\n雑談板の署名");
        Shot(sheet, "settings_zvt_detail.png");
        Press(sheet, PSBTN_OK);
    });
    EXPECT_EQ(result, 1);
    std::string ini = f.Ini();
    EXPECT_EQ(Basic(ini), "[BASIC]\r\nLIB=ZVT\r\nURL=http://127.0.0.1/zvt/board.cgi\r\nBBSFOLDER=3\r\nPARAM2=42\r\n"
                          "UPURL=\r\nNAME=名無し\r\nEMAIL=\r\nHP=\r\nKEY=\r\nPARAM1=\r\nUSER=\r\nPASS=秘密\r\n"
                          "CHARSET=S-JIS\r\n");
    EXPECT_NE(ini.find("[DIALOG]\r\nL000=.\r\n"), std::string::npos) << ini;
    EXPECT_EQ(ReadBytes(f.board + "sign.ini"), "-- \r\n雑談板の署名");
}

// A new board: the copied address picks the plug-in and is stored at once;
// Cancel writes nothing more.
TEST(SettingsSheet, OrbiloomPreselectedFromTheClipboardAndCancelled)
{
    Fixture f("");
    ASSERT_TRUE(f.inst.AddPlugin(Plugins() + "\\zv_ZVT.exe"));
    ASSERT_TRUE(f.inst.AddPlugin(Plugins() + "\\zv_Orbiloom.exe"));
    SetClipboard("見て http://127.0.0.1/cgi/rnall.cgi のボード");
    int result = RunSheet(f, [&] {
        HWND sheet = WaitSheet();
        ASSERT_TRUE(sheet);
        HWND basic = Page(sheet);
        EXPECT_EQ(Text(GetDlgItem(basic, IDC_SET_PLUGIN)), "Orbiloom");
        EXPECT_EQ(ItemText(basic, IDC_SET_TARGET), "Orbiloom");
        EXPECT_EQ(f.Ini(), "[BASIC]\r\nURL=http://127.0.0.1/cgi/rnall.cgi\r\n");
        Shot(sheet, "settings_orbiloom_basic.png");

        HWND patrol = Show(sheet, 1);
        struct Row {
            const char* label;
            bool enabled;
        } rows[] = {{"rnall.cgi のアドレス(URL)(&A):", true}, {"", false}, {"名前(「1:なまえ」の形式で):", true},
                    {"", false}, {"ホームページ(&H)", false}, {"管理者パスワード(&K):", true},
                    {"読み込む記事数(&P)", true}, {"次回読み出し記事(&L)", true}, {"ユーザ名", true}, {"パスワード", true}};
        for (int i = 0; i < SETTINGS_FIELD_COUNT; ++i) {
            EXPECT_EQ(ItemText(patrol, IDC_SET_LABEL0 + i), rows[i].label) << i;
            EXPECT_EQ(Enabled(GetDlgItem(patrol, IDC_SET_FIELD0 + i)), rows[i].enabled) << i;
        }
        EXPECT_EQ(ItemText(patrol, IDC_SET_FIELD0), "http://127.0.0.1/cgi/rnall.cgi");
        SetText(GetDlgItem(patrol, IDC_SET_FIELD0 + 6), "50");
        Shot(sheet, "settings_orbiloom_patrol.png");
        Show(sheet, 2);
        Shot(sheet, "settings_orbiloom_detail.png");
        Press(sheet, PSBTN_CANCEL);
    });
    EXPECT_EQ(result, 0);
    std::string ini = f.Ini();
    EXPECT_EQ(Basic(ini), "[BASIC]\r\nURL=http://127.0.0.1/cgi/rnall.cgi\r\n");
    EXPECT_NE(ini.find("_PARAM1=読み込む記事数(&P)"), std::string::npos) << ini;
}

// A script's description block: never run, its items of every kind shown,
// acted on and stored.
TEST(SettingsSheet, DetailItemsOfAScriptActedOnAndStored)
{
    Fixture f("[BASIC]\r\nLIB=Items\r\nMODE=2\r\nCOLOR=FF0000\r\nTAG=古い\r\n");
    f.Script("zv_Items.pl",
             "#!/usr/bin/perl\r\n# zv_Items.pl version 0.9 by テスト作者  for 試験掲示板 ver 1\r\n#[DIALOG]\r\n"
             "#_URL=試験のアドレス(&A):\\nURL=1\r\n"
             "#L000=L,,表示\\nL001=C,SAGE,sageで書く\\nL002=R,MODE=1,一覧\\nL003=R,MODE=2,ツリー\\nL004=R,MODE=3,スレッド\r\n"
             "#L005=P,COLOR,背景色\\nL006=F,SOUND,効果音(*.wav)\\nL007=T,TAG,タグ\\nL008=TS,SUB,件名\\nL009=.\r\n"
             "#[/DIALOG]\r\nprint \"ran\";\r\n");
    int result = RunSheet(f, [&] {
        HWND sheet = WaitSheet();
        ASSERT_TRUE(sheet);
        HWND basic = Page(sheet);
        EXPECT_EQ(ItemText(basic, IDC_SET_TARGET), "試験掲示板 ");
        EXPECT_EQ(ItemText(basic, IDC_SET_AUTHOR), "テスト作者");
        EXPECT_EQ(ItemText(basic, IDC_SET_VERSION), "0.9");

        HWND detail = Show(sheet, 2);
        HWND list = GetDlgItem(detail, IDC_SET_ITEMS);
        EXPECT_TRUE(Enabled(list));
        EXPECT_EQ(Column(list), (std::vector<std::string>{"表示", "sageで書く", "一覧", "ツリー", "スレッド",
                                                          "背景色 \"FF0000\"", "効果音(*.wav) \"\"", "タグ \"古い\"",
                                                          "件名 \"\""}));
        EXPECT_EQ(Images(list), (std::vector<int>{0, 3, 1, 2, 1, 7, 8, 5, 5}));
        Key(list, 1, VK_SPACE);
        Key(list, 4, VK_SPACE);
        EXPECT_EQ(Images(list), (std::vector<int>{0, 4, 1, 1, 2, 7, 8, 5, 5}));
        // Edited in place, starting with the value.
        Key(list, 7, VK_F2);
        HWND edit = (HWND)SendMessageA(list, LVM_GETEDITCONTROL, 0, 0);
        ASSERT_TRUE(edit);
        EXPECT_EQ(Text(edit), "古い");
        SetText(edit, "新しい");
        SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_EQ(ListText(list, 7, 0), "タグ \"新しい\"");
        // The colour confirmed unchanged stays as it was.
        ListSelect(list, 5);
        PostMessageA(list, WM_KEYDOWN, VK_SPACE, 0);
        HWND chooser = WaitBox(sheet);
        ASSERT_TRUE(chooser);
        PressButton(chooser, IDOK);
        WaitFor([&] { return !IsWindow(chooser); });
        Settle(sheet);
        EXPECT_EQ(ListText(list, 5, 0), "背景色 \"FF0000\"");
        Shot(sheet, "settings_items_detail.png");
        Press(sheet, PSBTN_OK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(ReadBytes(f.board + "sign.ini"), "");
    EXPECT_EQ(Basic(f.Ini()), "[BASIC]\r\nLIB=Items\r\nMODE=3\r\nCOLOR=FF0000\r\nTAG=新しい\r\nBBSFOLDER=0\r\n"
                              "CHARSET=S-JIS\r\nSAGE=1\r\nSOUND=\r\nSUB=\r\n");
}

// Bad descriptions and plug-ins: the sheet stands, says what the host says,
// and keeps what it can.
TEST(SettingsSheet, BadDescriptionsAndPluginsThatCannotHelp)
{
    std::string many = "#!ruby\r\n#[DIALOG]\r\n#_URL=" + std::string(300, 'x') + "長いラベル\r\n";
    for (int i = 0; i < 1000; ++i)
        many += "#L" + std::string(i < 10 ? "00" : i < 100 ? "0" : "") + std::to_string(i) + "=" +
                (i % 3 ? "Z" : "?") + ",K" + std::to_string(i) + "," + std::string(400, 'y') + "\r\n";
    many += "#[/DIALOG]\r\n";
    Fixture f("[BASIC]\r\nLIB=Many\r\n");
    f.Script("zv_Many.rb", many);
    f.Script("zv_Bad.pl", "#\r\n#[DIALOG]\r\n#L000=C,A,まとも\\nL001=コンマなし\\nL002=C,B,後ろ\r\n");
    f.Script("zv_NoBlock.pl", "# nothing described here\r\n");
    ASSERT_TRUE(f.inst.AddPlugin(WinPath(ZEVA_PH_PROGS) + "\\ph_cmdline.exe", "zv_Quiet.exe"));
    int result = RunSheet(
        f,
        [&] {
            HWND sheet = WaitSheet();
            ASSERT_TRUE(sheet);
            HWND basic = Page(sheet);
            HWND box = GetDlgItem(basic, IDC_SET_PLUGIN);
            auto choose = [&](const char* type) {
                SendMessageA(box, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)type);
                SendMessageA(basic, WM_COMMAND, MAKEWPARAM(IDC_SET_PLUGIN, CBN_SELCHANGE), (LPARAM)box);
            };
            // No help file beside the plug-in.
            PostMessageA(GetDlgItem(basic, IDC_SET_HELP), BM_CLICK, 0, 0);
            HWND help = WaitBox(sheet);
            ASSERT_TRUE(help);
            Dialog h = ReadDialog(help);
            EXPECT_EQ(h.caption, "確認");
            EXPECT_EQ(h.texts, (std::vector<std::string>{"プラグインのヘルプと思われるファイルは見あたりません"}));
            PressButton(help, IDOK);
            WaitFor([&] { return !IsWindow(help); });

            // 999 items of unknown kinds with long labels; an overlong field label.
            HWND detail = Show(sheet, 2);
            EXPECT_EQ(ListCount(GetDlgItem(detail, IDC_SET_ITEMS)), 999);
            EXPECT_EQ(Images(GetDlgItem(detail, IDC_SET_ITEMS))[998], DIMG_TEXT);
            HWND patrol = Show(sheet, 1);
            EXPECT_EQ(ItemText(patrol, IDC_SET_LABEL0), std::string(300, 'x') + "長いラベル");

            // A value without a comma ends the list with the host's message.
            Show(sheet, 0);
            choose("Bad");
            PostMessageA(sheet, PSM_SETCURSEL, 2, 0);
            HWND box1 = WaitBox(sheet);
            ASSERT_TRUE(box1);
            Dialog d = ReadDialog(box1);
            EXPECT_EQ(d.caption, "プラグインエラー");
            EXPECT_EQ(d.texts, (std::vector<std::string>{"[DIALOG]のパラメータが不正"}));
            PressButton(box1, IDOK);
            WaitFor([&] { return !IsWindow(box1); });
            Settle(sheet);
            detail = Page(sheet);
            EXPECT_EQ(Column(GetDlgItem(detail, IDC_SET_ITEMS)), (std::vector<std::string>{"まとも"}));

            // A plug-in that cannot be started: its message, the labels stay.
            Show(sheet, 0);
            choose("NoBlock");
            PostMessageA(sheet, PSM_SETCURSEL, 1, 0);
            HWND box2 = WaitBox(sheet);
            ASSERT_TRUE(box2);
            d = ReadDialog(box2);
            EXPECT_EQ(d.caption, "プラグイン起動エラー");
            EXPECT_EQ(d.texts, (std::vector<std::string>{f.board.substr(0, f.board.size() - 1)}));
            PressButton(box2, IDOK);
            WaitFor([&] { return !IsWindow(box2); });
            Settle(sheet);
            EXPECT_EQ(ItemText(Page(sheet), IDC_SET_LABEL0), std::string(300, 'x') + "長いラベル");

            // A plug-in that writes nothing: items gone, run in the board
            // folder with the argument i.
            Show(sheet, 0);
            choose("Quiet");
            detail = Show(sheet, 2);
            EXPECT_EQ(ListCount(GetDlgItem(detail, IDC_SET_ITEMS)), 0);
            EXPECT_FALSE(Enabled(GetDlgItem(detail, IDC_SET_ITEMS)));
            std::string cmd = ReadBytes(f.board + "cmdline.txt");
            EXPECT_NE(cmd.find("zv_Quiet.exe \"i\"\n" + f.board.substr(0, f.board.size() - 1) + "\n"),
                      std::string::npos)
                << cmd;
            Press(sheet, PSBTN_OK);
        },
        "Z:\\no such folder\\perl.exe");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Basic(f.Ini()), "[BASIC]\r\nLIB=Quiet\r\nBBSFOLDER=0\r\nURL=\r\nUPURL=\r\nNAME=\r\nEMAIL=\r\nHP=\r\n"
                              "KEY=\r\nPARAM1=\r\nPARAM2=\r\nUSER=\r\nPASS=\r\nCHARSET=S-JIS\r\n");
}

TEST(SettingsSheet, NoPluginsInstalled)
{
    Fixture f("[BASIC]\r\nLIB=ZVT\r\n");
    int result = RunSheet(f, [&] {
        HWND box = WaitBox(nullptr);
        ASSERT_TRUE(box);
        Dialog d = ReadDialog(box);
        EXPECT_EQ(d.texts, (std::vector<std::string>{"使用可能なプラグインがありません。\nプラグインを ZEVA と同じフォルダにコピーして下さい。"}));
        PressButton(box, IDOK);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(f.Ini(), "[BASIC]\r\nLIB=ZVT\r\n");
}
