// Owner-drawn menus: 16x16 icons beside the commands that have one, colour
// swatches for "C_RRGGBB" items, key texts right-aligned. Every converted item
// keeps a copy of its text (up to 100 bytes) as its item data; the shell's
// tool tips read those copies back by command id.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <stddef.h>

#include <unordered_set>
#include <vector>

class COwnerDrawMenu {
public:
    COwnerDrawMenu();
    ~COwnerDrawMenu();   // frees the icons, the font and any text copies still held
    COwnerDrawMenu(const COwnerDrawMenu&) = delete;
    COwnerDrawMenu& operator=(const COwnerDrawMenu&) = delete;

    // The icon strip: 16x16 cells from left to right; the colour of the
    // strip's top-left pixel is transparent. The bitmap is copied (the
    // caller's stays as it was). Replaces a strip loaded before. Returns 1 or 0.
    int LoadImages(HBITMAP strip);
    int LoadImages(HINSTANCE inst, int resId);
    // The same from an image list of 16x16 icons made elsewhere (copied).
    int LoadImages(HIMAGELIST list);
    // Gives command id the icon at image (cell index). Returns 1, or 0 when
    // memory ran out (written to the debugger output).
    int AddIcon(UINT id, int image);
    int ImageOf(UINT id) const;   // -1 when id has none
    HIMAGELIST Images() const { return m_images; }

    // Makes every item of menu that is neither owner-drawn nor a separator
    // owner-drawn, its text copied into its item data, and converts its
    // submenu. Returns the number of items converted.
    int Convert(HMENU menu);
    // Undoes Convert: each owner-drawn item of ours gets its text back and its
    // copy freed; submenus first. Returns the number of items restored.
    int Undo(HMENU menu);
    // The menu bar: its popups are converted (undone); the bar's own items
    // stay as the system draws them.
    int ConvertBar(HMENU bar);
    int UndoBar(HMENU bar);

    // WM_MEASUREITEM and WM_DRAWITEM of a menu item (CtlType ODT_MENU).
    // Return false for an item that is not one of ours.
    bool MeasureItem(MEASUREITEMSTRUCT* mis);
    bool DrawItem(const DRAWITEMSTRUCT* dis);
    // WM_MENUCHAR of a popup: ch is LOWORD(wParam), menu is lParam. The value
    // for the window procedure to return (MNC_IGNORE, MNC_SELECT, MNC_EXECUTE).
    LRESULT MenuChar(UINT ch, HMENU menu) const;

    // The text kept for the item with command id in menu (its submenus
    // searched too); nullptr when there is no such converted item.
    const char* ItemText(HMENU menu, UINT id) const;
    // A toolbar button's tool tip: that text cut at the first "(", within
    // size bytes (80 in a tool-tip request); "" without a kept text.
    void ToolTipText(HMENU menu, UINT id, char* out, size_t size) const;
    int TextCount() const { return (int)m_texts.size(); }

private:
    struct IconPair {
        UINT id;
        int image;
    };
    const char* Kept(ULONG_PTR data) const;
    HFONT MenuFont();

    HIMAGELIST m_images;
    std::vector<IconPair> m_icons;
    std::unordered_set<const char*> m_texts;   // the copies we made
    HFONT m_font;
};
