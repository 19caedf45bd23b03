// Texts of menu items as the owner-drawn menus read them: label and key text,
// the label as measured, "C_" colour swatches, the colour-label items, menu
// mnemonics and tool-tip texts. Shift-JIS aware: the second byte of a
// double-byte character is never taken for "&", "(" or a tab.
// Portable: names no window API.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Bytes an owner-drawn item keeps of its text (terminator included).
const size_t MenuTextSize = 100;
// Bytes of a tool-tip text (terminator included).
const size_t ToolTipSize = 80;

// A bounded copy that cuts before a double-byte character that would not fit
// whole (an item's kept text: size MenuTextSize). Returns the length written.
size_t MenuText_Copy(const char* text, char* out, size_t size);
// Splits an item text at its first tab: the label is text[0, *labelLen), the
// key text what follows the tab ("" without a tab).
void MenuText_Split(const char* text, size_t* labelLen, const char** keyText);
// The label as it is drawn, for measuring: single "&" dropped ("&&" shows one
// "&"). Reads at most len bytes of label. Returns the length written.
size_t MenuText_Visible(const char* label, size_t len, char* out, size_t size);

// A swatch label: "C_" and up to six hexadecimal digits RRGGBB (either case;
// reading stops at the first other character). Returns true and the colour as
// COLORREF (0x00BBGGRR) for such a label.
bool MenuText_Swatch(const char* label, uint32_t* colorref);

// The colour-label commands, in menu order (15 ids).
extern const uint16_t ColorLabelIds[];
extern const int ColorLabelCount;
// The COLORREF a colour-label command sets; false for 32940 (no label) and
// for ids that are no colour-label command.
bool ColorLabelColor(unsigned id, uint32_t* colorref);
// The item text of a colour-label command: "なし" for 32940, else "C_" and the
// colour as upper-case RRGGBB. Returns false for other ids (out is "").
bool ColorLabelText(unsigned id, char* out, size_t size);

// What a typed character does in an open menu (WM_MENUCHAR).
enum class MenuCharAction { None, Select, Execute };
// texts: the item texts (nullptr for items without text), highlighted: the
// highlighted item or -1. The scan starts after the highlighted item and wraps
// (two rounds at most); an item matches when it has "&" followed by ch (ASCII
// letters compared without case). A second, different match selects the
// first; meeting the first again executes it. *index is the item acted on.
MenuCharAction MenuChar_Decide(const char* const* texts, int count, int highlighted, unsigned char ch,
                               int* index);

// The tool tip of a command from its menu item text: cut at the first "(",
// at most size-1 bytes, never half a double-byte character. "" for nullptr.
size_t MenuText_ToolTip(const char* itemText, char* out, size_t size);

// An item text with the key text of its command: the label (the text up to
// its first tab) and, when key is not empty, a tab and key; at most size-1
// bytes, never half a double-byte character. Returns false when the result
// equals the text already there (nothing to change).
bool MenuText_WithKey(const char* text, const char* key, char* out, size_t size);
