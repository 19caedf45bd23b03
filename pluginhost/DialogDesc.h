// The board settings that the folder properties sheet edits, and the plug-in's
// description of them (section DIALOG of "zeva_BBS.ini"): a script's
// description block, the ten fields of the patrol page with their labels and
// enables, the detail items "L000"... with their values, images, texts and
// actions, and what OK stores. Portable; the sheet's window code is
// SettingsSheet_win.cpp.
#pragma once
#include <stddef.h>
#include <string>
#include <vector>

class CProfile;

// ---- the ten fields of the patrol page --------------------------------------

enum { SETTINGS_FIELD_COUNT = 10, SETTINGS_FIELD_MAX = 258 };

struct SettingsField {
    const char* key;            // in BASIC, and its enable in DIALOG
    const char* labelKey;       // "_" + key in DIALOG
    const char* defaultLabel;   // when labelKey is missing
};
// URL, UPURL, NAME, EMAIL, HP, KEY, PARAM1, PARAM2, USER, PASS.
extern const SettingsField g_SettingsFields[SETTINGS_FIELD_COUNT];
enum { SETTINGS_FIELD_PASS = 9 };   // the field that hides what is typed

// Label and enable of field i from section DIALOG: the label is "_KEY" (its
// default when missing); the field is usable unless "KEY" (default "0")
// begins with "0".
std::string Settings_FieldLabel(CProfile& ini, int i);
bool Settings_FieldEnabled(CProfile& ini, int i);

// ---- the detail items ---------------------------------------------------

enum DialogItemType {
    DITEM_HEADING = 0,   // "L"
    DITEM_CHECK = 1,     // "C": "0" or "1"
    DITEM_RADIO = 2,     // "R": the key takes the own value when chosen
    DITEM_COLOR = 3,     // "P": six hexadecimal digits, RRGGBB
    DITEM_FILE = 4,      // "F": a path; the label holds the pattern in parentheses
    DITEM_TEXT = 5,      // anything else
    DITEM_TEXT_S = 6,    // a text whose type code has "S" second: behaves as text
};

enum {
    DITEM_COUNT_MAX = 999,   // "L000" to "L998"
    DITEM_DESC_MAX = 499,    // bytes of one "L%03d" value read
    DITEM_VALUE_MAX = 255,   // bytes of an item's value
    DITEM_RADIO_READ_MAX = 254,
};

// Images of the item list (a strip of nine).
enum {
    DIMG_HEADING = 0, DIMG_RADIO_OFF = 1, DIMG_RADIO_ON = 2, DIMG_CHECK_OFF = 3, DIMG_CHECK_ON = 4,
    DIMG_TEXT = 5, DIMG_COLOR = 7, DIMG_FILE = 8, DIMG_COUNT = 9,
};

struct DialogItem {
    DialogItemType type = DITEM_TEXT;
    std::string key;        // in BASIC
    std::string ownValue;   // radio: the key's value when this item is chosen
    std::string label;
    std::string value;      // the current value, at most 255 bytes
};

// One "L%03d" value: type code, comma, key with an optional "=" and own
// value, comma, label. 0 (item untouched) when the value holds no comma.
int DialogItem_Parse(const char* desc, DialogItem* item);

// Result of reading the detail items.
enum { DITEMS_OK = 1, DITEMS_MALFORMED = 0 };
// Reads "L000"... from section DIALOG until a missing or empty value or one
// beginning with ".", then each item's value from BASIC. Returns
// DITEMS_MALFORMED when a value without a comma stopped the list (the items
// before it are kept; the caller shows "[DIALOG]のパラメータが不正").
int DialogItems_Read(CProfile& ini, std::vector<DialogItem>& items);

bool DialogItem_IsChosen(const DialogItem& item);   // radio: value equals own value
bool DialogItem_IsOn(const DialogItem& item);       // check: a non-zero number
int DialogItem_Image(const DialogItem& item);
// The list's text: the label, or "%s \"%s\"" with label and value for
// colour, file and text items.
std::string DialogItem_Text(const DialogItem& item);
// Items other than headings are indented one step.
int DialogItem_Indent(const DialogItem& item);
bool DialogItem_IsText(const DialogItem& item);

// Acting on item i: a check box toggles, a radio item is chosen (every radio
// item of its uninterrupted run is emptied first). Other kinds are left to
// the window (edit, colour chooser, open-file dialog). Returns 1 when a value
// changed.
int DialogItems_Act(std::vector<DialogItem>& items, size_t i);
// A value entered for an item, cut at 255 bytes on a character boundary.
void DialogItem_SetValue(DialogItem* item, const char* value);
// Colour values: "RRGGBB" to a COLORREF (0x00BBGGRR) and back ("%06X" of
// RRGGBB). Text that is no hexadecimal number reads as 0 (black).
unsigned long DialogColor_ToColorRef(const char* value);
std::string DialogColor_FromColorRef(unsigned long colorRef);
// The pattern of a file item: the text inside the label's last pair of
// parentheses ("" when there is none).
std::string DialogItem_FilePattern(const char* label);

// ---- the description block of a script plug-in -----------------------------

// Reads the plug-in file's text as the host does: after its first line, the
// lines between "#[DIALOG]" and "#[/DIALOG]" hold entries "#key=value", ended
// by CR LF or by a backslash and n (which starts the next key). Entries go to
// section DIALOG of ini. Returns 1 when a block was found.
int DialogDesc_ReadBlock(const char* data, size_t size, CProfile& ini);
// Before every fetch: L000 = "." in DIALOG, so stale items of another plug-in
// vanish.
void DialogDesc_ClearItems(CProfile& ini);

// ---- what OK stores ------------------------------------------------------

enum {
    SETTINGS_PAGE_BASIC = 1,    // "基本設定" applied
    SETTINGS_PAGE_PATROL = 2,   // "巡回設定" applied
    SETTINGS_PAGE_DETAIL = 4,   // "詳細" applied
    SETTINGS_CHARSET_MAX = 98,
};

// The outputs of the folder properties sheet. Only pages the user opened
// are applied, as a property sheet applies only the pages it created.
struct FolderSettingsOutput {
    unsigned pages = 0;
    std::string lib;              // the chosen type
    bool patrol = false;          // "通常巡回対象とする"
    bool temporary = false;       // "一時巡回"
    std::string fields[SETTINGS_FIELD_COUNT];
    std::string charset;          // "S-JIS" or "EUC"
    std::string signature;        // the whole "sign.ini"
    std::vector<DialogItem> items;
};

// Stores the outputs into section BASIC of ini: LIB and BBSFOLDER (page 1),
// the ten fields (page 2), CHARSET and every item's value but headings'
// (page 3; a radio item only when it is chosen). Writes nothing to disk.
void FolderSettings_Store(CProfile& ini, const FolderSettingsOutput& out);
// BBSFOLDER: 1 for the normal patrol plus 2 for the temporary one.
int FolderSettings_Marks(bool patrol, bool temporary);

// The help file of a plug-in type: "%szv_<type>" with ".hlp", ".txt" or
// ".doc", the first that exists; "" when none does.
std::string Plugin_HelpFile(const char* pluginFolder, const char* typeName);
