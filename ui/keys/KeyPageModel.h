// What the keyboard page edits: its own copies of the three key tables, the
// scope it shows, and the texts of its lists. Nothing reaches the key files
// before Save, so a sheet that is cancelled leaves them as they were.
// Portable: names no window API.
#pragma once
#include "ui/keys/KeyTable.h"

#include <string>
#include <vector>

class CKeyPageModel {
public:
    // Copies of the three tables from dataFolder's key files (a scope
    // without a readable file: its defaults). The scope shown is Global.
    void Load(const char* dataFolder);
    // Writes the three tables to their key files in dataFolder; a file that
    // cannot be written stays as it was. Returns 1 when all three were
    // written.
    int Save(const char* dataFolder) const;
    // All three tables back to the built-in defaults (the files untouched).
    void ResetToDefaults();

    KeyScope scope = KeyScope::Global;
    const KeyTable& Table(KeyScope s) const { return m_tables[(int)s]; }
    const KeyTable& Current() const { return Table(scope); }

    // The command of FunctionList row r; 0 for a group header or a row out
    // of range.
    static int CommandOf(int row);
    // The "現在のキー" column of row r in the scope shown ("" for a header).
    std::string RowKeys(int row) const;
    // The key list of row r in the scope shown: texts with " *" for
    // conflicts, and the binding each stands for.
    std::vector<KeyEntry> Entries(int row) const;
    // Binds (flags, key) to row r's command in the scope shown, after the
    // scope's other bindings. Returns the new binding's index, -1 for a
    // header row or when memory ran out.
    int Add(int row, uint16_t key, uint8_t flags);
    // Removes binding index of the scope shown. Returns 1, or 0 for a bad index.
    int Remove(int index);

private:
    KeyTable m_tables[KeyScopeCount];
};

// What the add-key dialog returns for its list selection (an index into
// KeyNameTable, -1 for none) and its three boxes: false when no key is
// chosen, else the key's code and the binding flags.
bool AddKey_Choice(int selected, bool ctrl, bool shift, bool alt, uint16_t* key, uint8_t* flags);
