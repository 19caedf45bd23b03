// The request block shared by the outside driver and its probe library
// (zeva_uiprobe.dll). The driver loads the probe into the program under test
// and runs one of its functions on a thread of its own there; menus can only
// be read from inside their process under Wine.
#pragma once
#include <windows.h>

// Lines written by UiProbe_Menu, one per item, depth first:
//   depth TAB position TAB id TAB type TAB state TAB submenu TAB data TAB text LF
// numbers in decimal; the text is the item's string (it may hold a TAB).
struct UiProbeRequest {
    DWORD menu;        // HMENU to read; 0 = the menu bar of window
    DWORD window;      // HWND
    DWORD capacity;    // bytes available in text
    DWORD used;        // bytes written by the probe (without the final NUL)
    DWORD truncated;   // 1 when the lines did not fit
    char text[1];      // capacity bytes
};

#define UIPROBE_MENU_EXPORT "UiProbe_Menu"
