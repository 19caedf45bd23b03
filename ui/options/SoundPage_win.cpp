// Page サウンド (157): a sound file for each of five scenes. Applied on
// OK/Apply and on leaving the page; saves at once. A file that cannot be
// played plays nothing.
#include "ui/options/OptionPages_win.h"

#include "base/sjis.h"
#include "res/resource.h"
#include "ui/shell/Shell.h"
#include "ui/shell/ShellMenus_win.h"

#include <mmsystem.h>

namespace {

const char kWaveFilter[] = "WAVEファイル(*.wav)\0*.wav\0すべてのファイル(*.*)\0*.*\0";

SoundForm s_form;       // the working paths of the open sheet
bool s_filling = false; // the page itself is changing the combo
HICON s_playIcon = nullptr;

int Scene(HWND page)
{
    int i = (int)SendDlgItemMessageA(page, IDC_OPS_SCENES, LB_GETCURSEL, 0, 0);
    return i < 0 || i >= OPTION_SCENES ? 0 : i;
}

void Play(const std::string& path)
{
    if (!path.empty())
        PlaySoundA(path.c_str(), nullptr, SND_ASYNC | SND_FILENAME | SND_NODEFAULT);
}

// "(なし)" and every "*.wav" file of folder (ending with a backslash), as
// full paths. A missing or empty folder leaves "(なし)" alone.
void FillSounds(HWND page, const std::string& folder)
{
    HWND combo = GetDlgItem(page, IDC_OPS_SOUND);
    s_filling = true;
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)kSoundNone);
    WIN32_FIND_DATAA fd;
    HANDLE find = folder.empty() ? INVALID_HANDLE_VALUE : FindFirstFileA((folder + "*.wav").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string path = folder + fd.cFileName;
            // A path longer than the setting holds would be stored cut: not offered.
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && path.size() < sizeof g_shell.opt.sound[0])
                SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)path.c_str());
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    s_filling = false;
}

std::string MediaFolder()
{
    char windows[MAX_PATH];
    UINT n = GetWindowsDirectoryA(windows, sizeof windows);
    if (!n || n >= sizeof windows)
        return std::string();
    std::string folder = windows;
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    return folder + "Media\\";
}

void ShowScene(HWND page)
{
    s_filling = true;
    SetDlgItemTextA(page, IDC_OPS_SOUND, s_form.paths[Scene(page)].c_str());
    s_filling = false;
}

void Init(HWND page)
{
    SoundForm_Load(&s_form, g_shell.opt);
    for (const SoundScene& s : kSoundScenes)
        SendDlgItemMessageA(page, IDC_OPS_SCENES, LB_ADDSTRING, 0, (LPARAM)s.name);
    SendDlgItemMessageA(page, IDC_OPS_SCENES, LB_SETCURSEL, 0, 0);
    SendDlgItemMessageA(page, IDC_OPS_SOUND, CB_LIMITTEXT, sizeof g_shell.opt.sound[0] - 1, 0);
    FillSounds(page, MediaFolder());
    ShowScene(page);
    HBITMAP bmp = LoadBitmapA(g_shell.instance ? g_shell.instance : GetModuleHandleA(nullptr),
                              MAKEINTRESOURCEA(IDB_PLAY));
    if (HIMAGELIST images = Shell_ImageStrip(bmp, 16, 0, true)) {
        if (s_playIcon)
            DestroyIcon(s_playIcon);
        s_playIcon = ImageList_GetIcon(images, 0, ILD_TRANSPARENT);
        ImageList_Destroy(images);
        SendDlgItemMessageA(page, IDC_OPS_PLAY, BM_SETIMAGE, IMAGE_ICON, (LPARAM)s_playIcon);
    }
}

void Apply(HWND)
{
    CProfileSink ini(g_shell.ini);
    SoundForm_Store(s_form, &g_shell.opt, ini);
}

void Browse(HWND page)
{
    int scene = Scene(page);
    char path[MAX_PATH];
    Option_CutText(path, sizeof path, s_form.paths[scene].c_str());
    if (!OptionPage_ChooseFile(page, kWaveFilter, path, sizeof path))
        return;
    s_form.paths[scene] = path;
    FillSounds(page, Option_FolderOf(path));
    ShowScene(page);
    Play(s_form.paths[scene]);
}

void OnCombo(HWND page, int code)
{
    if (s_filling)
        return;
    int scene = Scene(page);
    if (code == CBN_EDITCHANGE) {
        s_form.paths[scene] = OptionPage_Text(page, IDC_OPS_SOUND);
    } else if (code == CBN_SELCHANGE) {
        HWND combo = GetDlgItem(page, IDC_OPS_SOUND);
        int i = (int)SendMessageA(combo, CB_GETCURSEL, 0, 0);
        int n = i >= 0 ? (int)SendMessageA(combo, CB_GETLBTEXTLEN, i, 0) : -1;
        std::string entry(n > 0 ? (size_t)n + 1 : 1, '\0');
        if (n > 0)
            SendMessageA(combo, CB_GETLBTEXT, i, (LPARAM)&entry[0]);
        s_form.paths[scene] = Option_SoundChoice(i, entry.c_str());
        Play(s_form.paths[scene]);
    }
}

INT_PTR Message(HWND page, UINT msg, WPARAM wp, LPARAM)
{
    if (msg == WM_DESTROY) {
        if (s_playIcon)
            DestroyIcon(s_playIcon);
        s_playIcon = nullptr;
        return FALSE;
    }
    if (msg != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wp)) {
    case IDC_OPS_SCENES:
        if (HIWORD(wp) == LBN_SELCHANGE)
            ShowScene(page);
        return TRUE;
    case IDC_OPS_SOUND:
        OnCombo(page, HIWORD(wp));
        return TRUE;
    case IDC_OPS_PLAY:
        if (HIWORD(wp) == BN_CLICKED)
            Play(s_form.paths[Scene(page)]);
        return TRUE;
    case IDC_OPS_BROWSE:
        if (HIWORD(wp) == BN_CLICKED)
            Browse(page);
        return TRUE;
    }
    return FALSE;
}

const OptionPageProcs kProcs = {Init, Apply, Message};

}  // namespace

INT_PTR CALLBACK SoundPage_Proc(HWND page, UINT msg, WPARAM wp, LPARAM lp)
{
    return OptionPage_Handle(OPTION_PAGE_SOUND, kProcs, page, msg, wp, lp);
}
