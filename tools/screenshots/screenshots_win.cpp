// zeva_screenshots.exe ZEVA-EXE OUT-FOLDER: pictures of the running program
// for the README, taken as a user meets the windows. Starts zeva.exe (its
// data folder set up by tools/screenshots.sh beside the board simulator),
// runs a patrol of all boards and saves
//   patrol.png             the progress window at the end of the patrol
//   main.png               the main window reading an article of a demo board
//   folder_properties.png  the property sheet of that board
//   options.png            the option sheet (skipped, with a line saying so,
//                          while its command is greyed)
// Exit code 0 when every picture that could be taken was saved and shows
// something; 1 otherwise.
#include "res/resource.h"
#include "ui/driver/UiDriver.h"

#include <stdio.h>

#include <string>
#include <vector>

using namespace uidriver;

namespace {

std::string g_out;
int g_failures = 0;

void Fail(const char* what)
{
    fprintf(stderr, "zeva_screenshots: %s\n", what);
    ++g_failures;
}

bool Save(HWND window, const char* name)
{
    Settle(window);
    Image shot;
    if (!Capture(window, &shot) || !shot.NotBlank()) {
        Fail((std::string("no picture of ") + name).c_str());
        return false;
    }
    std::string path = g_out + "\\" + name;
    if (!SavePng(shot, path)) {
        Fail((std::string("cannot write ") + path).c_str());
        return false;
    }
    printf("zeva_screenshots: %s (%dx%d)\n", name, shot.width, shot.height);
    return true;
}

// A top-level dialog of the process that holds a control with this id, or
// has this caption.
HWND FindDialog(DWORD pid, int control, const char* caption)
{
    for (HWND d : TopWindows(pid, "#32770")) {
        if (control && Child(d, control)) return d;
        if (caption && Text(d) == caption) return d;
    }
    return nullptr;
}

// The tree item of a board folder (its text starts with name) and the
// first store below it.
bool FindBoard(HWND tree, const std::string& name, HTREEITEM* board, HTREEITEM* store)
{
    std::vector<TreeItem> items = TreeItems(tree);
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].text.compare(0, name.size(), name) != 0) continue;
        *board = items[i].handle;
        *store = (i + 1 < items.size() && items[i + 1].depth > items[i].depth) ? items[i + 1].handle : nullptr;
        return true;
    }
    return false;
}

void Patrol(Process& app, HWND main)
{
    if (!PostCommand(main, ID_PATROL_ALL)) return Fail("the patrol command was not taken");
    HWND progress = nullptr;
    if (!WaitFor([&] { return (progress = FindDialog(app.Id(), IDC_PATROL_LIST, nullptr)) != nullptr; }, 30000))
        return Fail("the patrol window did not open");
    HWND list = Child(progress, IDC_PATROL_LIST);
    bool ended = WaitFor([&] {
        int n = ListCount(list);
        return n > 0 && ListText(list, n - 1, 0) == "終了しました";
    }, 5 * 60 * 1000, 100);
    if (!ended) return Fail("the patrol did not end within five minutes");
    Save(progress, "patrol.png");
    PressButton(progress, IDCANCEL);   // "閉じる"
    WaitFor([&] { return !IsWindow(progress); });
}

void Reading(HWND main, HTREEITEM board, HTREEITEM store)
{
    HWND tree = Child(main, IDC_FOLDERVIEW), titles = Child(main, IDC_TITLEVIEW);
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)board);
    RECT r;
    if (!store || !TreeItemRect(tree, store, &r)) return Fail("no store of the demo board in the tree");
    Click(tree, r.left + 4, (r.top + r.bottom) / 2);
    if (!WaitFor([&] { return ListCount(titles) > 1; })) return Fail("the store shows no titles");
    // The second row: an article with its text, the first stays unread.
    FocusControl(titles);
    RECT row;
    if (ListItemRect(titles, 1, &row)) Click(titles, row.left + 40, (row.top + row.bottom) / 2);
    WaitFor([&] { return ListNext(titles, -1, LVNI_FOCUSED) == 1; });
    WaitFor([&] { return !Text(Child(main, IDC_TEXTVIEW)).empty(); });
    Save(main, "main.png");
}

void FolderProperties(Process& app, HWND main, HTREEITEM board)
{
    TreeSelect(Child(main, IDC_FOLDERVIEW), board);
    Settle(main);
    if (!PostCommand(main, ID_FOLDER_PROPERTIES)) return Fail("the property command was not taken");
    HWND sheet = nullptr;
    if (!WaitFor([&] { return (sheet = FindDialog(app.Id(), 0, "フォルダ プロパティ")) != nullptr; }, 30000))
        return Fail("the folder property sheet did not open");
    // The page with the board's address and account fields.
    SendMessageA(sheet, PSM_SETCURSEL, 1, 0);
    Save(sheet, "folder_properties.png");
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    WaitFor([&] { return !IsWindow(sheet); });
}

void Options(Process& app, HWND main)
{
    if (!ToolEnabled(Child(main, IDC_TOOLBAR), ID_OPTIONS)) {
        printf("zeva_screenshots: options.png skipped: the option sheet is not built yet (its command is greyed)\n");
        return;
    }
    std::vector<HWND> before = TopWindows(app.Id(), "#32770");
    if (!PostCommand(main, ID_OPTIONS)) return Fail("the option command was not taken");
    HWND sheet = nullptr;
    bool opened = WaitFor([&] {
        for (HWND d : TopWindows(app.Id(), "#32770")) {
            bool old = false;
            for (HWND b : before) old = old || b == d;
            if (!old) return (sheet = d) != nullptr;
        }
        return false;
    }, 30000);
    if (!opened) return Fail("the option sheet did not open");
    Save(sheet, "options.png");
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    WaitFor([&] { return !IsWindow(sheet); });
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: zeva_screenshots ZEVA-EXE OUT-FOLDER\n");
        return 2;
    }
    const std::string exe = argv[1];
    g_out = WinPath(argv[2]);
    MakeFolders(g_out);

    Process app;
    HWND main = nullptr;
    if (!app.Start(exe) || !(main = app.WaitWindow("ZEVA")) || !app.WaitIdle()) {
        fprintf(stderr, "zeva_screenshots: %s did not open its main window\n", exe.c_str());
        return 1;
    }
    Patrol(app, main);
    HTREEITEM board = nullptr, store = nullptr;
    HWND tree = Child(main, IDC_FOLDERVIEW);
    if (!WaitFor([&] { return FindBoard(tree, "ZVTデモ", &board, &store) && store; }, 20000))
        Fail("the demo board has no store after the patrol");
    else {
        Reading(main, board, store);
        FolderProperties(app, main, board);
    }
    Options(app, main);

    PostCommand(main, ID_APP_EXIT);
    app.WaitExit(20000);
    return g_failures ? 1 : 0;
}
