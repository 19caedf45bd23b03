// The outside driver of the end-to-end tests: starts a real program in a
// temporary install folder, waits for its windows, reads its controls back
// across the process boundary, sends it commands, keys and clicks, answers
// its message boxes and takes screenshots. ANSI throughout: every text comes
// back as the Shift-JIS bytes the program holds. Every read from the other
// process is bounded by the buffer the driver allocated for it.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <stdint.h>
#include <string>
#include <vector>

namespace uidriver {

// ---------------------------------------------------------------- files

// A Linux path ("/work/x") as Wine's Windows path ("Z:\work\x"); a Windows
// path is returned as it is.
std::string WinPath(const std::string& path);
// The whole file, or "" when it cannot be read (*ok tells which).
std::string ReadBytes(const std::string& path, bool* ok = nullptr);
// Writes the file whole, creating missing folders on the way.
bool WriteBytes(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
bool MakeFolders(const std::string& path);
void RemoveTree(const std::string& path);

// A fresh temporary install: <Root>\ZEVA\ holds the programs, with the
// folders data\ and Plugins\ beside them. Removed when it goes out of scope
// (end the processes started in it first). Relative paths take '/' or '\'.
class Install {
public:
    Install();
    ~Install();
    Install(const Install&) = delete;
    Install& operator=(const Install&) = delete;

    const std::string& Root() const { return m_root; }
    const std::string& ProgramDir() const { return m_program; }
    std::string DataDir() const { return m_program + "\\data"; }
    std::string PluginDir() const { return m_program + "\\Plugins"; }
    // A path inside the program folder.
    std::string Path(const std::string& rel) const;

    // Copies an executable (Linux or Windows path) into the program folder
    // or the plug-in folder, under its own name or the one given.
    bool AddProgram(const std::string& exe, const std::string& as = std::string());
    bool AddPlugin(const std::string& exe, const std::string& as = std::string());

    // Files of the data folder.
    bool PutData(const std::string& rel, const std::string& bytes);
    std::string ReadData(const std::string& rel) const;
    bool HasData(const std::string& rel) const;

private:
    std::string m_root, m_program;
};

// ---------------------------------------------------------------- processes

// Polls cond every step ms until it holds (true) or ms have passed (false).
bool WaitFor(const std::function<bool()>& cond, DWORD ms = 10000, DWORD step = 20);

// One started program. The process (and anything it starts, through a job)
// is ended when the object goes, so a test never leaves processes behind.
class Process {
public:
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Starts exe with the arguments (appended to the quoted program path),
    // in dir (default: the program's folder).
    bool Start(const std::string& exe, const std::string& args = std::string(),
               const std::string& dir = std::string());
    // Starts a program of the install's program folder.
    bool Start(const Install& inst, const std::string& exeName, const std::string& args = std::string());

    DWORD Id() const { return m_pid; }
    HANDLE Handle() const { return m_process; }
    bool Running() const;
    // A top-level window of this process with the class (visible ones only
    // unless visible is false); nullptr after ms.
    HWND WaitWindow(const char* className, DWORD ms = 30000, bool visible = true);
    // WaitForInputIdle: the program waits for input with nothing queued.
    bool WaitIdle(DWORD ms = 10000);
    // True when the process ended within ms; its exit code in *code.
    bool WaitExit(DWORD ms, DWORD* code = nullptr);
    // Ends the process (and its job) now and waits for it.
    void Kill();

private:
    HANDLE m_process = nullptr, m_job = nullptr;
    DWORD m_pid = 0, m_tid = 0;
};

// ---------------------------------------------------------------- windows

// Top-level windows of a process, optionally of one class, in Z order.
std::vector<HWND> TopWindows(DWORD pid, const char* className = nullptr, bool visibleOnly = true);
DWORD ProcessOf(HWND wnd);
// The first descendant with this control id (direct children first).
HWND Child(HWND parent, int id);
std::string ClassOf(HWND wnd);
std::string Text(HWND wnd);   // WM_GETTEXT, bounded
bool SetText(HWND wnd, const std::string& text);   // WM_SETTEXT (marshalled by the system)
bool Visible(HWND wnd);
bool Enabled(HWND wnd);
RECT WindowRect(HWND wnd);   // screen coordinates
RECT ClientRect(HWND wnd);   // client coordinates
// The GUI thread of a window: focus, active window, capture, menu state.
struct GuiState {
    HWND active = nullptr, focus = nullptr, capture = nullptr, menuOwner = nullptr;
    bool inMenu = false;   // a menu is open (menu bar or popup)
};
GuiState GuiOf(HWND anyWindowOfThread);
HWND FocusOf(HWND anyWindowOfThread);
// Sends WM_NULL and waits until the window's thread has handled it (and so
// every message sent before); false after ms (the thread is busy).
bool Settle(HWND wnd, DWORD ms = 5000);

// ---------------------------------------------------------------- other process memory

// A block of memory in the process that owns a window, for messages whose
// arguments are pointers.
class RemoteMemory {
public:
    RemoteMemory(HWND owner, size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    bool Ok() const { return m_address != nullptr; }
    void* Address() const { return m_address; }
    size_t Size() const { return m_size; }
    bool Write(const void* data, size_t size, size_t offset = 0);
    bool Read(void* data, size_t size, size_t offset = 0) const;
    // A NUL-terminated string at offset, at most max bytes and never past the block.
    std::string ReadString(size_t offset, size_t max = (size_t)-1) const;
    // Leaves the block to the other process (a thread there still uses it).
    void Abandon() { m_address = nullptr; m_size = 0; }

private:
    HANDLE m_process = nullptr;
    void* m_address = nullptr;
    size_t m_size = 0;
};
// A NUL-terminated string at an address of the process that owns wnd.
std::string ReadRemoteString(HWND wnd, uintptr_t address, size_t max = 1024);

// ---------------------------------------------------------------- controls

// Status bar: the text of every part; the right edges of the parts.
std::vector<std::string> StatusParts(HWND statusBar);
std::vector<int> StatusEdges(HWND statusBar);

// Toolbar buttons in order, separators included.
struct ToolButton {
    int command = 0, bitmap = 0;
    BYTE state = 0, style = 0;
    bool separator = false, enabled = false, checked = false, pressed = false, hidden = false;
    std::string text;   // the button's own string, if any
};
std::vector<ToolButton> ToolButtons(HWND toolbar);
bool ToolEnabled(HWND toolbar, int command);   // TB_ISBUTTONENABLED

// Tree view: every item depth first, collapsed branches included.
struct TreeItem {
    HTREEITEM handle = nullptr;
    int depth = 0;
    std::string text;
    UINT state = 0;
    bool selected = false, expanded = false, bold = false;
    int children = 0;   // cChildren as the control reports it
    int image = 0, selectedImage = 0;
    LPARAM param = 0;
};
std::vector<TreeItem> TreeItems(HWND tree);
bool ReadTreeItem(HWND tree, HTREEITEM item, TreeItem* out);
HTREEITEM TreeSelection(HWND tree);
// "a\b\c": the texts from the root down to the item.
std::string TreePath(HWND tree, HTREEITEM item);
HTREEITEM TreeFind(HWND tree, const std::string& path);
bool TreeSelect(HWND tree, HTREEITEM item);
bool TreeItemRect(HWND tree, HTREEITEM item, RECT* rect, bool textOnly = true);   // client coordinates

// List view (report): rows with every column's text as the control gives it
// (LVM_GETITEMTEXTA; an owner-data list answers through LVN_GETDISPINFOA).
struct ListRow {
    std::vector<std::string> cells;
    bool selected = false, focused = false;
};
int ListCount(HWND list);
int ListColumnCount(HWND list);   // through the header
std::vector<std::string> ListColumns(HWND list);   // header texts
std::string ListText(HWND list, int row, int column);
std::vector<ListRow> ListRows(HWND list);
int ListNext(HWND list, int after, UINT flags);   // LVM_GETNEXTITEM: LVNI_SELECTED, LVNI_FOCUSED
bool ListSelect(HWND list, int row);   // selects and focuses row only
bool ListItemRect(HWND list, int row, RECT* rect);   // client coordinates

// ---------------------------------------------------------------- menus

// Menus cannot be read across processes under Wine (every menu call fails
// with ERROR_INVALID_MENU_HANDLE), so the driver loads its probe library into
// the program and reads the menu there. One entry per item, depth first.
struct MenuItem {
    int depth = 0, position = 0;
    UINT id = 0, type = 0, state = 0;
    HMENU submenu = nullptr;
    uintptr_t data = 0;   // item data (an address in the program)
    std::string text;     // "" for owner-drawn items and separators
    bool separator = false, checked = false, grayed = false, ownerDrawn = false;
};
// The menu bar of window (menu == nullptr) or the given menu of its process.
std::vector<MenuItem> MenuItems(HWND window, HMENU menu = nullptr);
const MenuItem* FindMenuItem(const std::vector<MenuItem>& items, UINT id);
// Visible popup menus ("#32768") of the window's process, and their menus.
std::vector<HWND> OpenMenus(HWND window);
HMENU MenuOfPopup(HWND popup);

// ---------------------------------------------------------------- input

enum Modifiers : unsigned { kShift = 1, kCtrl = 2, kAlt = 4 };

bool PostCommand(HWND wnd, int id);
// WM_COMMAND through SendMessageTimeout: false if not handled within ms
// (a command that opens a modal box does not come back: post it instead).
bool SendCommand(HWND wnd, int id, DWORD ms = 5000);
// Posts WM_KEYDOWN and WM_KEYUP to the control with the usual lParam. The
// message loop sees them (TranslateAccelerator included) but the keyboard
// state does not change: use it for keys without modifiers.
bool PostKey(HWND control, UINT vk);
// Makes the window foreground and active (in the program's own thread).
bool BringToFront(HWND topLevel);
// Focuses a control of another process (attaching to its input thread).
bool FocusControl(HWND control);
// Real keyboard input: brings the control's top-level window to the front,
// focuses the control and types vk with the modifiers through SendInput.
bool SendKey(HWND control, UINT vk, unsigned modifiers = 0);
// Mouse at a client point of wnd: PostClick posts the button messages;
// Click moves the real cursor and clicks through SendInput.
bool PostClick(HWND wnd, int x, int y, bool right = false);
bool Click(HWND wnd, int x, int y, bool right = false, bool twice = false);
// A left-button drag with real input from a client point of one window to a
// client point of another, in ten steps; with copy, Ctrl is held for the
// drop.
bool MouseDrag(HWND from, POINT fromPt, HWND to, POINT toPt, bool copy);

// ---------------------------------------------------------------- dialogs and message boxes

struct DialogButton {
    int id = 0;
    std::string text;
    HWND handle = nullptr;
};
struct Dialog {
    HWND handle = nullptr;
    std::string caption;
    std::vector<std::string> texts;   // static texts with text, in order
    std::vector<DialogButton> buttons;
};
// A visible top-level dialog ("#32770") of the process; nullptr after ms.
HWND WaitDialog(DWORD pid, DWORD ms = 10000);
Dialog ReadDialog(HWND dialog);
// Clicks the button with this id (IDOK, IDYES, ...) without waiting.
bool PressButton(HWND dialog, int id);

// ---------------------------------------------------------------- screenshots

struct Image {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;   // 0x00RRGGBB, rows top down
    uint32_t At(int x, int y) const { return pixels[(size_t)y * width + x]; }
    int DistinctColours() const;
    // Share (0..1) of pixels that differ from the most frequent colour.
    double ForegroundShare() const;
    // Some detail: at least minColours colours and a tenth of a percent of
    // pixels off the background.
    bool NotBlank(int minColours = 8) const;
};
// Copies a screen rectangle (the real pixels under Wine/Xvfb; PrintWindow
// gives a blank picture across processes there).
bool CaptureRect(const RECT& screen, Image* out);
// The window as shown: brought to the front first (unless a menu is open),
// together with the process's open popup menus.
bool Capture(HWND topLevel, Image* out);
std::vector<uint8_t> EncodePng(const Image& image);
bool SavePng(const Image& image, const std::string& path);
// The folder for screenshots (build/screens), created; and a path in it.
std::string ScreensDir();
std::string ScreenPath(const std::string& name);

}  // namespace uidriver
