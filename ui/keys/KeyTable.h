// Key assignments: the binding record of the key files, the key tables of
// the three scopes, their built-in defaults, key names and texts, conflicts,
// and the list of named functions the keyboard page offers.
// Portable: names no window API.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

// Binding flags; the values of a Win32 accelerator entry.
enum : uint8_t {
    KEYF_VIRTKEY = 0x01,    // always set
    KEYF_NOINVERT = 0x02,   // always set
    KEYF_SHIFT = 0x04,
    KEYF_CONTROL = 0x08,
    KEYF_ALT = 0x10,
};
const uint8_t KEYF_BASE = KEYF_VIRTKEY | KEYF_NOINVERT;

// One binding: the 6-byte record of a key file and, byte for byte, a Win32
// accelerator entry (whose padding byte is our reserved byte). The 16-bit
// fields are little-endian in files; Read/Write below do the byte order.
#pragma pack(push, 1)
struct KeyBinding {
    uint8_t flags;
    uint8_t reserved;   // not interpreted; written back as it was read
    uint16_t key;       // virtual-key code
    uint16_t cmd;       // command id
};
#pragma pack(pop)
static_assert(sizeof(KeyBinding) == 6, "a key-file record is 6 bytes");

enum class KeyScope { Global = 0, FolderView = 1, TitleView = 2 };
const int KeyScopeCount = 3;

// "KeyGlobal.dat", "KeyFolder.dat", "KeyTitle.dat".
const char* KeyFileName(KeyScope scope);
// The accelerator resource of the scope's defaults: 109, 171, 175.
int KeyResourceId(KeyScope scope);
// The scope's name in the keyboard page's combo: "全体", "フォルダビュー",
// "タイトルビュー".
const char* KeyScopeName(KeyScope scope);
// folder + the scope's file name, cut to size. Returns 1, or 0 when cut.
int KeyFilePath(const char* folder, KeyScope scope, char* out, size_t size);

// A key table: a growable array of bindings. Several bindings may name the
// same command; the same key may appear twice (the first one acts).
struct KeyTable {
    std::vector<KeyBinding> items;

    int Count() const { return (int)items.size(); }
    const KeyBinding& At(int i) const { return items[(size_t)i]; }
    void Clear() { items.clear(); }
    // Appends (flags, key, cmd) with reserved 0. Returns its index, -1 when
    // memory ran out.
    int Add(uint8_t flags, uint16_t key, uint16_t cmd);
    // Removes binding i (later ones move up). Returns 1, or 0 for a bad index.
    int Remove(int i);
};

// The built-in default table of a scope (count: 27, 3, 10).
const KeyBinding* DefaultKeys(KeyScope scope, int* count);
void KeyTable_SetDefaults(KeyTable& table, KeyScope scope);

// Decodes a key file's bytes: whole 6-byte records, a trailing partial one
// ignored. Returns the number of bindings.
int KeyTable_Parse(KeyTable& table, const void* data, size_t size);
// The bytes of a key file for the table.
void KeyTable_Serialize(const KeyTable& table, std::vector<char>& out);
// Empties the table and reads the file. Returns 1 if the file could be
// read (an empty file gives an empty table), 0 if not (table left empty).
int KeyTable_ReadFile(KeyTable& table, const char* path);
// The file's bindings, or the scope's defaults when there is no file or it
// cannot be read. Returns 1 if the file was read, 0 if the defaults were used.
int KeyTable_Load(KeyTable& table, const char* path, KeyScope scope);
// Writes every binding to path (replaced atomically: on failure the old file
// stays). Returns 1 or 0.
int SaveKeyTable(const KeyTable& table, const char* path);
// Writes the three tables (indexed by scope) to their key files in
// dataFolder; a failed write leaves that file as it was. Returns 1 when all
// three were written.
int SaveKeyTables(const char* dataFolder, const KeyTable tables[KeyScopeCount]);

// Names of virtual-key codes, in ascending code order.
struct KeyName {
    uint16_t code;
    const char* name;
};
extern const KeyName KeyNameTable[];
extern const int KeyNameCount;   // 98
// The name of a code, or nullptr when the table has none.
const char* KeyNameOf(unsigned code);

// Text of one binding: "Alt+", "Ctrl+", "Shift+" as set, then the key's name;
// "????" alone for a code without a name. Returns the length written.
size_t KeyBindingText(const KeyBinding& b, char* out, size_t size);
// Finds the next binding of command at or after index start, writes its key
// text, and returns its index; -1 when there is none (out is then "").
int KeyText(const KeyTable& table, int command, int start, char* out, size_t size);
// True when another binding of the table has the same flags and key.
bool HasConflict(const KeyTable& table, int index);

// The keyboard page's "現在のキー" column for a command: the key texts of all
// its bindings in table order, joined by ",", each conflicting one followed
// by " * ".
std::string CurrentKeysText(const KeyTable& table, int command);
// The entries of the page's key list for a command: each binding's text,
// with " *" when it conflicts, and the binding's index.
struct KeyEntry {
    int index;
    std::string text;
};
std::vector<KeyEntry> KeyEntries(const KeyTable& table, int command);
// Flags of a binding chosen in the add-key dialog.
uint8_t KeyFlagsOf(bool ctrl, bool shift, bool alt);

// The functions the keyboard page lists; id 0 marks a group header.
struct FunctionRow {
    uint16_t id;
    const char* name;
};
extern const FunctionRow FunctionList[];
extern const int FunctionCount;   // 81
