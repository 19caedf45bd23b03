// Reading controls of another process: status bar, toolbar, tree view, list
// view, menus (through the probe library) and dialogs. Messages whose
// arguments are pointers get them in a block of the other process's memory.
#include "UiDriver.h"
#include "UiProbe.h"

#include <psapi.h>
#include <stdlib.h>
#include <string.h>

namespace uidriver {

namespace {

const size_t kTextMax = 4096;   // longest item text read back

LRESULT Send(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, DWORD ms = 5000)
{
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutA(wnd, msg, wp, lp, SMTO_ABORTIFHUNG, ms, &r))
        return 0;
    return (LRESULT)r;
}

}  // namespace

// ---------------------------------------------------------------- status bar

std::vector<int> StatusEdges(HWND sb)
{
    std::vector<int> edges;
    int n = (int)Send(sb, SB_GETPARTS, 0, 0);
    if (n <= 0 || n > 256)
        return edges;
    RemoteMemory mem(sb, sizeof(int) * 256);
    if (!mem.Ok())
        return edges;
    n = (int)Send(sb, SB_GETPARTS, n, (LPARAM)mem.Address());
    if (n <= 0 || n > 256)
        return edges;
    edges.resize(n);
    if (!mem.Read(edges.data(), sizeof(int) * n))
        edges.clear();
    return edges;
}

std::vector<std::string> StatusParts(HWND sb)
{
    std::vector<std::string> parts;
    int n = (int)Send(sb, SB_GETPARTS, 0, 0);
    if (n <= 0 || n > 256)
        return parts;
    for (int i = 0; i < n; ++i) {
        size_t len = LOWORD(Send(sb, SB_GETTEXTLENGTHA, i, 0));
        RemoteMemory mem(sb, len + kTextMax);   // room for a text grown meanwhile
        if (!mem.Ok())
            return parts;
        Send(sb, SB_GETTEXTA, i, (LPARAM)mem.Address());
        parts.push_back(mem.ReadString(0));
    }
    return parts;
}

// ---------------------------------------------------------------- toolbar

std::vector<ToolButton> ToolButtons(HWND tb)
{
    std::vector<ToolButton> out;
    int n = (int)Send(tb, TB_BUTTONCOUNT, 0, 0);
    RemoteMemory mem(tb, sizeof(TBBUTTON) + kTextMax);
    if (!mem.Ok())
        return out;
    for (int i = 0; i < n && i < 1024; ++i) {
        TBBUTTON b = {};
        if (!Send(tb, TB_GETBUTTON, i, (LPARAM)mem.Address()) || !mem.Read(&b, sizeof b))
            break;
        ToolButton t;
        t.command = b.idCommand;
        t.bitmap = b.iBitmap;
        t.state = b.fsState;
        t.style = b.fsStyle;
        t.separator = (b.fsStyle & BTNS_SEP) != 0;
        t.enabled = (b.fsState & TBSTATE_ENABLED) != 0;
        t.checked = (b.fsState & TBSTATE_CHECKED) != 0;
        t.pressed = (b.fsState & TBSTATE_PRESSED) != 0;
        t.hidden = (b.fsState & TBSTATE_HIDDEN) != 0;
        if (!t.separator) {
            LRESULT len = Send(tb, TB_GETBUTTONTEXTA, b.idCommand, 0);
            if (len > 0 && (size_t)len < kTextMax) {
                char zero[kTextMax] = {};
                mem.Write(zero, kTextMax, sizeof(TBBUTTON));
                Send(tb, TB_GETBUTTONTEXTA, b.idCommand, (LPARAM)((char*)mem.Address() + sizeof(TBBUTTON)));
                t.text = mem.ReadString(sizeof(TBBUTTON), kTextMax - 1);
            }
        }
        out.push_back(t);
    }
    return out;
}

bool ToolEnabled(HWND tb, int command)
{
    return Send(tb, TB_ISBUTTONENABLED, command, 0) != 0;
}

// ---------------------------------------------------------------- tree view

namespace {

bool ReadItem(HWND tree, RemoteMemory& mem, HTREEITEM item, TreeItem* out)
{
    TVITEMA it = {};
    it.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    it.hItem = item;
    it.stateMask = 0xFFFF;
    it.pszText = (char*)mem.Address() + sizeof it;
    it.cchTextMax = (int)kTextMax;
    char zero[kTextMax] = {};
    if (!mem.Write(&it, sizeof it) || !mem.Write(zero, kTextMax, sizeof it))
        return false;
    if (!Send(tree, TVM_GETITEMA, 0, (LPARAM)mem.Address()) || !mem.Read(&it, sizeof it))
        return false;
    out->handle = item;
    out->state = it.state;
    out->selected = (it.state & TVIS_SELECTED) != 0;
    out->expanded = (it.state & TVIS_EXPANDED) != 0;
    out->bold = (it.state & TVIS_BOLD) != 0;
    out->children = it.cChildren;
    out->image = it.iImage;
    out->selectedImage = it.iSelectedImage;
    out->param = it.lParam;
    // The control may point pszText at a text of its own (callback items).
    if (it.pszText == (char*)mem.Address() + sizeof it)
        out->text = mem.ReadString(sizeof it, kTextMax - 1);
    else
        out->text = ReadRemoteString(tree, (uintptr_t)it.pszText, kTextMax);
    return true;
}

HTREEITEM Next(HWND tree, HTREEITEM item, UINT code)
{
    return (HTREEITEM)Send(tree, TVM_GETNEXTITEM, code, (LPARAM)item);
}

void Walk(HWND tree, RemoteMemory& mem, HTREEITEM first, int depth, std::vector<TreeItem>& out)
{
    for (HTREEITEM h = first; h && out.size() < 100000; h = Next(tree, h, TVGN_NEXT)) {
        TreeItem t;
        if (!ReadItem(tree, mem, h, &t))
            return;
        t.depth = depth;
        out.push_back(t);
        if (depth < 256)
            Walk(tree, mem, Next(tree, h, TVGN_CHILD), depth + 1, out);
    }
}

}  // namespace

std::vector<TreeItem> TreeItems(HWND tree)
{
    std::vector<TreeItem> out;
    RemoteMemory mem(tree, sizeof(TVITEMA) + kTextMax);
    if (mem.Ok())
        Walk(tree, mem, Next(tree, nullptr, TVGN_ROOT), 0, out);
    return out;
}

bool ReadTreeItem(HWND tree, HTREEITEM item, TreeItem* out)
{
    RemoteMemory mem(tree, sizeof(TVITEMA) + kTextMax);
    if (!mem.Ok() || !ReadItem(tree, mem, item, out))
        return false;
    out->depth = 0;
    for (HTREEITEM p = Next(tree, item, TVGN_PARENT); p && out->depth < 256; p = Next(tree, p, TVGN_PARENT))
        ++out->depth;
    return true;
}

HTREEITEM TreeSelection(HWND tree)
{
    return Next(tree, nullptr, TVGN_CARET);
}

std::string TreePath(HWND tree, HTREEITEM item)
{
    std::string path;
    RemoteMemory mem(tree, sizeof(TVITEMA) + kTextMax);
    for (int guard = 0; item && guard < 256; ++guard, item = Next(tree, item, TVGN_PARENT)) {
        TreeItem t;
        if (!mem.Ok() || !ReadItem(tree, mem, item, &t))
            return std::string();
        path = path.empty() ? t.text : t.text + "\\" + path;
    }
    return path;
}

HTREEITEM TreeFind(HWND tree, const std::string& path)
{
    // Paths are compared whole: a Shift-JIS text may hold 0x5C as a second byte.
    std::vector<std::string> stack;
    for (const TreeItem& t : TreeItems(tree)) {
        stack.resize(t.depth);
        stack.push_back(t.text);
        std::string p;
        for (size_t i = 0; i < stack.size(); ++i)
            p += (i ? "\\" : "") + stack[i];
        if (p == path)
            return t.handle;
    }
    return nullptr;
}

bool TreeSelect(HWND tree, HTREEITEM item)
{
    return Send(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)item) != 0;
}

bool TreeItemRect(HWND tree, HTREEITEM item, RECT* rect, bool textOnly)
{
    RemoteMemory mem(tree, sizeof(RECT));
    RECT r = {};
    memcpy(&r, &item, sizeof item);   // the item goes in, its rectangle comes back
    if (!mem.Write(&r, sizeof r) || !Send(tree, TVM_GETITEMRECT, textOnly, (LPARAM)mem.Address()))
        return false;
    return mem.Read(rect, sizeof *rect);
}

// ---------------------------------------------------------------- list view

int ListCount(HWND list)
{
    return (int)Send(list, LVM_GETITEMCOUNT, 0, 0);
}

int ListColumnCount(HWND list)
{
    HWND header = (HWND)Send(list, LVM_GETHEADER, 0, 0);
    return header ? (int)Send(header, HDM_GETITEMCOUNT, 0, 0) : 0;
}

std::vector<std::string> ListColumns(HWND list)
{
    std::vector<std::string> out;
    HWND header = (HWND)Send(list, LVM_GETHEADER, 0, 0);
    int n = header ? (int)Send(header, HDM_GETITEMCOUNT, 0, 0) : 0;
    RemoteMemory mem(list, sizeof(HDITEMA) + kTextMax);
    for (int i = 0; i < n && mem.Ok(); ++i) {
        HDITEMA h = {};
        h.mask = HDI_TEXT;
        h.pszText = (char*)mem.Address() + sizeof h;
        h.cchTextMax = (int)kTextMax;
        char zero[kTextMax] = {};
        mem.Write(&h, sizeof h);
        mem.Write(zero, kTextMax, sizeof h);
        Send(header, HDM_GETITEMA, i, (LPARAM)mem.Address());
        out.push_back(mem.ReadString(sizeof h, kTextMax - 1));
    }
    return out;
}

namespace {
std::string ItemText(HWND list, RemoteMemory& mem, int row, int column)
{
    LVITEMA it = {};
    it.iSubItem = column;
    it.pszText = (char*)mem.Address() + sizeof it;
    it.cchTextMax = (int)kTextMax;
    char zero[kTextMax] = {};
    if (!mem.Write(&it, sizeof it) || !mem.Write(zero, kTextMax, sizeof it))
        return std::string();
    Send(list, LVM_GETITEMTEXTA, row, (LPARAM)mem.Address());
    return mem.ReadString(sizeof it, kTextMax - 1);
}
}  // namespace

std::string ListText(HWND list, int row, int column)
{
    RemoteMemory mem(list, sizeof(LVITEMA) + kTextMax);
    return mem.Ok() ? ItemText(list, mem, row, column) : std::string();
}

std::vector<ListRow> ListRows(HWND list)
{
    std::vector<ListRow> rows;
    int n = ListCount(list), columns = ListColumnCount(list);
    if (columns < 1)
        columns = 1;
    RemoteMemory mem(list, sizeof(LVITEMA) + kTextMax);
    for (int r = 0; r < n && mem.Ok(); ++r) {
        ListRow row;
        for (int c = 0; c < columns; ++c)
            row.cells.push_back(ItemText(list, mem, r, c));
        UINT st = (UINT)Send(list, LVM_GETITEMSTATE, r, LVIS_SELECTED | LVIS_FOCUSED);
        row.selected = (st & LVIS_SELECTED) != 0;
        row.focused = (st & LVIS_FOCUSED) != 0;
        rows.push_back(row);
    }
    return rows;
}

int ListNext(HWND list, int after, UINT flags)
{
    return (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)after, MAKELPARAM(flags, 0));
}

bool ListSelect(HWND list, int row)
{
    RemoteMemory mem(list, sizeof(LVITEMA));
    LVITEMA it = {};
    it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    it.state = 0;
    if (!mem.Write(&it, sizeof it) || !Send(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)mem.Address()))
        return false;
    it.state = LVIS_SELECTED | LVIS_FOCUSED;
    if (!mem.Write(&it, sizeof it) || !Send(list, LVM_SETITEMSTATE, row, (LPARAM)mem.Address()))
        return false;
    Send(list, LVM_ENSUREVISIBLE, row, FALSE);
    return true;
}

bool ListItemRect(HWND list, int row, RECT* rect)
{
    RemoteMemory mem(list, sizeof(RECT));
    RECT r = {};
    r.left = LVIR_BOUNDS;
    if (!mem.Write(&r, sizeof r) || !Send(list, LVM_GETITEMRECT, row, (LPARAM)mem.Address()))
        return false;
    return mem.Read(rect, sizeof *rect);
}

// ---------------------------------------------------------------- menus

namespace {

const DWORD kProbeCapacity = 256 * 1024;

// Runs fn(arg) on a new thread of the process and waits for its result;
// *running tells that the thread is still at work after the time-out (its
// argument must then stay allocated).
bool RunRemote(HANDLE process, const void* fn, void* arg, DWORD* result, bool* running = nullptr)
{
    HANDLE th = CreateRemoteThread(process, nullptr, 0, (LPTHREAD_START_ROUTINE)fn, arg, 0, nullptr);
    if (!th)
        return false;
    bool done = WaitForSingleObject(th, 15000) == WAIT_OBJECT_0;
    if (done)
        GetExitCodeThread(th, result);
    else if (running)
        *running = true;
    CloseHandle(th);
    return done;
}

// The base of a module in the other process (same as ours when not found).
uintptr_t RemoteBase(HANDLE process, const char* name, uintptr_t local)
{
    HMODULE mods[512];
    DWORD bytes = 0;
    if (!EnumProcessModules(process, mods, sizeof mods, &bytes))
        return local;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
        char base[MAX_PATH] = "";
        if (GetModuleBaseNameA(process, mods[i], base, sizeof base) && !_stricmp(base, name))
            return (uintptr_t)mods[i];
    }
    return local;
}

// Loads the probe into the process; the address of its menu function there.
const void* ProbeMenuFunction(HANDLE process)
{
    static HMODULE local = LoadLibraryA(WinPath(ZEVA_UIPROBE_DLL).c_str());
    if (!local)
        return nullptr;
    FARPROC fn = GetProcAddress(local, UIPROBE_MENU_EXPORT);
    HMODULE k32 = GetModuleHandleA("kernel32.dll");
    FARPROC load = GetProcAddress(k32, "LoadLibraryA");
    if (!fn || !load)
        return nullptr;
    uintptr_t remoteLoad = RemoteBase(process, "kernel32.dll", (uintptr_t)k32) + ((uintptr_t)load - (uintptr_t)k32);
    std::string path = WinPath(ZEVA_UIPROBE_DLL);
    void* arg = VirtualAllocEx(process, nullptr, path.size() + 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!arg)
        return nullptr;
    SIZE_T n = 0;
    DWORD base = 0;
    bool ok = WriteProcessMemory(process, arg, path.c_str(), path.size() + 1, &n) &&
              RunRemote(process, (const void*)remoteLoad, arg, &base) && base != 0;
    VirtualFreeEx(process, arg, 0, MEM_RELEASE);
    if (!ok)
        return nullptr;
    return (const void*)(base + ((uintptr_t)fn - (uintptr_t)local));
}

std::vector<std::string> Fields(const std::string& line, size_t count)
{
    std::vector<std::string> f;
    size_t start = 0;
    while (f.size() + 1 < count) {
        size_t tab = line.find('\t', start);
        if (tab == std::string::npos)
            break;
        f.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    f.push_back(line.substr(start));   // the text keeps its own tabs
    return f;
}

}  // namespace

std::vector<MenuItem> MenuItems(HWND window, HMENU menu)
{
    std::vector<MenuItem> items;
    HANDLE process = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                                     PROCESS_VM_READ | PROCESS_VM_WRITE,
                                 FALSE, ProcessOf(window));
    if (!process)
        return items;
    const void* fn = ProbeMenuFunction(process);
    RemoteMemory mem(window, sizeof(UiProbeRequest) + kProbeCapacity);
    UiProbeRequest req = {};
    req.menu = (DWORD)(uintptr_t)menu;
    req.window = (DWORD)(uintptr_t)window;
    req.capacity = kProbeCapacity;
    DWORD ok = 0;
    bool running = false;
    bool ran = fn && mem.Ok() && mem.Write(&req, sizeof req) && RunRemote(process, fn, mem.Address(), &ok, &running);
    CloseHandle(process);
    if (running)
        mem.Abandon();
    if (!ran || !ok || !mem.Read(&req, sizeof req))
        return items;
    size_t used = req.used < kProbeCapacity ? req.used : kProbeCapacity;
    std::string text = mem.ReadString(offsetof(UiProbeRequest, text), used);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            break;   // a line cut short
        std::vector<std::string> f = Fields(text.substr(start, end - start), 8);
        start = end + 1;
        if (f.size() != 8)
            continue;
        MenuItem m;
        m.depth = atoi(f[0].c_str());
        m.position = atoi(f[1].c_str());
        m.id = (UINT)strtoul(f[2].c_str(), nullptr, 10);
        m.type = (UINT)strtoul(f[3].c_str(), nullptr, 10);
        m.state = (UINT)strtoul(f[4].c_str(), nullptr, 10);
        m.submenu = (HMENU)(uintptr_t)strtoul(f[5].c_str(), nullptr, 10);
        m.data = (uintptr_t)strtoul(f[6].c_str(), nullptr, 10);
        m.text = f[7];
        m.separator = (m.type & MFT_SEPARATOR) != 0;
        m.ownerDrawn = (m.type & MFT_OWNERDRAW) != 0;
        m.checked = (m.state & MFS_CHECKED) != 0;
        // MFS_GRAYED includes MFS_DISABLED; Wine reports separators grayed.
        m.grayed = !m.separator && (m.state & MFS_DISABLED) != 0;
        items.push_back(m);
    }
    return items;
}

const MenuItem* FindMenuItem(const std::vector<MenuItem>& items, UINT id)
{
    for (const MenuItem& m : items)
        if (m.id == id && !m.submenu && !m.separator)
            return &m;
    return nullptr;
}

std::vector<HWND> OpenMenus(HWND window)
{
    return TopWindows(ProcessOf(window), "#32768", true);
}

HMENU MenuOfPopup(HWND popup)
{
    return (HMENU)Send(popup, MN_GETHMENU, 0, 0);
}

// ---------------------------------------------------------------- dialogs

HWND WaitDialog(DWORD pid, DWORD ms)
{
    HWND found = nullptr;
    WaitFor(
        [&] {
            std::vector<HWND> w = TopWindows(pid, "#32770", true);
            found = w.empty() ? nullptr : w.front();
            return found != nullptr;
        },
        ms);
    return found;
}

namespace {
BOOL CALLBACK CollectChild(HWND w, LPARAM lp)
{
    ((std::vector<HWND>*)lp)->push_back(w);
    return TRUE;
}
}  // namespace

Dialog ReadDialog(HWND dialog)
{
    Dialog d;
    d.handle = dialog;
    d.caption = Text(dialog);
    std::vector<HWND> children;
    EnumChildWindows(dialog, CollectChild, (LPARAM)&children);
    for (HWND c : children) {
        std::string cls = ClassOf(c);
        if (!_stricmp(cls.c_str(), "Static")) {
            std::string t = Text(c);
            if (!t.empty())
                d.texts.push_back(t);
        } else if (!_stricmp(cls.c_str(), "Button")) {
            d.buttons.push_back(DialogButton{GetDlgCtrlID(c), Text(c), c});
        }
    }
    return d;
}

bool PressButton(HWND dialog, int id)
{
    HWND b = GetDlgItem(dialog, id);
    if (!b)
        return false;
    return PostMessageA(b, BM_CLICK, 0, 0) != 0;
}

}  // namespace uidriver
