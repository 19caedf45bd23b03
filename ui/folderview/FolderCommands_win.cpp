// The folder commands: new folder (dialog 141), delete, properties, the
// board's address, folder and logs opened with the shell, the saved-page
// import, and the drop of a dragged folder or file.
#include "ui/folderview/FolderView_win.h"

#include "base/profile.h"
#include "base/sjis.h"
#include "patrol/ImportPage_win.h"
#include "patrol/PatrolWin.h"
#include "pluginhost/SettingsSheet_win.h"
#include "res/resource.h"
#include "ui/folderview/TreeFileCopy.h"
#include "ui/shell/Shell.h"

#include <cderr.h>
#include <commdlg.h>
#include <shellapi.h>

#include <string.h>

namespace {

// Errors and the overwrite question as message boxes of the main window.
class CBoxUi : public CTreeCopyUi {
public:
    void Error(const char* text) override { MessageBoxA(g_shell.main, text, nullptr, MB_OK | MB_ICONERROR); }
    Answer AskOverwrite(const char* text) override
    {
        switch (MessageBoxA(g_shell.main, text, nullptr, MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES: return YES;
        case IDNO: return NO;
        }
        return CANCEL;
    }
};

void Open(const char* target)
{
    ShellExecuteA(g_shell.main, "open", target, nullptr, nullptr, SW_SHOWNORMAL);
}

// The path without its trailing backslash (a real one, not the second byte
// of a character such as "ソ").
void WithoutSeparator(const char* path, char* out, size_t size)
{
    Str_Copy(out, size, path);
    size_t n = strlen(out);
    if (n > 1 && Sjis_StrRChr(out, '\\') == out + n - 1)
        out[n - 1] = 0;
}

// The open store lies in or is the item: save it and let it go first.
void ReleaseOpenStore(const char* path)
{
    size_t n = strlen(path);
    if (g_shell.openPath[0] && n && Str_NICmp(g_shell.openPath, path, n) == 0)
        FolderView_OpenNothing();
}

// ---- new folder -------------------------------------------------------------------

struct NewFolderForm {
    char name[260];
};

INT_PTR CALLBACK NewFolderProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        SendDlgItemMessageA(dlg, IDC_NEW_FOLDER_NAME, EM_LIMITTEXT, 259, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            NewFolderForm* form = (NewFolderForm*)GetWindowLongPtrA(dlg, DWLP_USER);
            GetDlgItemTextA(dlg, IDC_NEW_FOLDER_NAME, form->name, sizeof form->name);
            EndDialog(dlg, IDOK);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void NewFolder(const char* folder)
{
    NewFolderForm form = {};
    if (DialogBoxParamA(g_shell.instance, MAKEINTRESOURCEA(IDD_NEW_FOLDER), g_shell.main, NewFolderProc,
                        (LPARAM)&form) != IDOK)
        return;
    char path[262];
    bool fits = Str_Format(path, sizeof path, "%s%s", folder, form.name) < 259;
    if (!fits || !FolderName_IsValid(form.name) || !CreateDirectoryA(path, nullptr)) {
        MessageBoxA(g_shell.main, "フォルダの作成に失敗しました", "", MB_OK);
        return;
    }
    Str_Cat(path, sizeof path, "\\");
    FolderView_Reset(0, path);
}

// ---- delete ---------------------------------------------------------------------------

void Delete(const FolderItem* item, HTREEITEM above)
{
    if (item->kind == FIK_ROOT)
        return;   // the data folder itself is never deleted
    const char* ask = item->kind == FIK_FOLDER ? "フォルダを削除しても良いですか？" : "ファイルを削除しても良いですか？";
    if (MessageBoxA(g_shell.main, ask, "確認", MB_YESNOCANCEL | MB_ICONQUESTION) != IDYES)
        return;
    char select[260] = "";
    if (const FolderItem* up = FolderView_ItemOf(above))
        Str_Copy(select, sizeof select, up->path);
    char source[260];
    WithoutSeparator(item->path, source, sizeof source);
    ReleaseOpenStore(item->path);
    CBoxUi ui;
    TreeFileCopy(&ui, TFC_DELETE, source, "");
    FolderView_Reset(0, select);
}

// ---- import ---------------------------------------------------------------------------------

int AskPage(char* file, size_t size)
{
    static const char filter[] = "HTMLファイル(*.htm;*.html)\0*.htm;*.html\0すべてのファイル(*.*)\0*.*\0";
    for (int attempt = 0; attempt < 2; ++attempt) {
        OPENFILENAMEA ofn = {};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = g_shell.main;
        ofn.lpstrFilter = filter;
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file;
        ofn.nMaxFile = (DWORD)size;
        ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ENABLESIZING | OFN_HIDEREADONLY;
        if (GetOpenFileNameA(&ofn))
            return 1;
        if (CommDlgExtendedError() != FNERR_INVALIDFILENAME)
            return 0;
        file[0] = 0;   // the proposed name was refused: again with none
    }
    return 0;
}

void Import(const char* folder)
{
    // A patrol's workers start plug-ins in their board folders (the current
    // folder of the process) and rewrite stores under the lock table: a
    // plug-in started here meanwhile could land in another board's folder,
    // and the store lock could wait on this very thread. Not while a
    // patrol runs.
    if (Patrol_IsRunning() || Patrol_Window())
        return;
    Shell_SaveOpenStore();
    static char file[MAX_PATH] = "";
    if (!AskPage(file, sizeof file))
        return;
    Shell_WaitConsole();
    PluginRunOptions run;
    run.pluginFolder = g_shell.pluginDir;
    run.perl = g_shell.opt.perl;
    run.ruby = g_shell.opt.ruby;
    run.multiWindow = g_shell.opt.gaMultiWindow != 0;
    CStoreNotifyWindow notify(g_shell.main);
    int n = Patrol_ImportSavedPage(folder, file, run, nullptr, &notify);
    if (n < 0) {
        MessageBoxA(g_shell.main, "プラグイン起動エラー", "", MB_OK);
        return;
    }
    FolderView_Reset(0, folder);
    char text[64];
    Str_Format(text, sizeof text, "%d 個の記事をインポートしました", n);
    MessageBoxA(g_shell.main, text, "インポート結果", MB_OK | MB_ICONINFORMATION);
}

}  // namespace

void FolderCommands_Run(int id, const FolderItem* item, HTREEITEM above)
{
    char folder[260];
    FolderItem_Folder(*item, folder, sizeof folder);
    char path[MAX_PATH + 32];
    switch (id) {
    case ID_NEW_FOLDER:
        NewFolder(folder);
        break;
    case ID_DELETE_FILE:
        Delete(item, above);
        break;
    case ID_FOLDER_PROPERTIES:
        if (item->kind == FIK_ROOT)
            break;
        SetCurrentDirectoryA(folder);
        if (FolderProperties_Show(g_shell.main, folder) == 1)
            FolderView_Reset(0, nullptr);
        break;
    case ID_OPEN_URL: {
        char url[2001] = "";
        Str_Format(path, sizeof path, "%szeva_BBS.ini", folder);
        Profile_GetString("BASIC", "URL", "", url, sizeof url, path);
        if (url[0])
            Open(url);
        break;
    }
    case ID_OPEN_FOLDER:
        Open(folder);
        break;
    case ID_OPEN_ERROR_LOG:
        Str_Format(path, sizeof path, "%sErrorLog.txt", folder);
        Open(path);
        break;
    case ID_OPEN_SENT_LOG:
        Str_Format(path, sizeof path, "%s送信LOG.html", folder);
        Open(path);
        break;
    case ID_IMPORT:
        if (item->kind != FIK_ROOT)
            Import(folder);
        break;
    }
}

void FolderCommands_Drop(const FolderItem* dragged, const char* folder, int copy)
{
    if (FolderDrop_IntoItself(*dragged, folder)) {
        MessageBoxA(g_shell.main, "その操作はだめ", "しゅ～", MB_OK | MB_ICONERROR);
        return;
    }
    if (dragged->kind == FIK_ROOT)
        return;
    char source[260];
    WithoutSeparator(dragged->path, source, sizeof source);
    if (!copy)
        ReleaseOpenStore(dragged->path);
    CBoxUi ui;
    TreeFileCopy(&ui, copy ? TFC_COPY : TFC_MOVE, source, folder);
    FolderView_Reset(0, folder);
}
