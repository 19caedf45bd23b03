#include "ui/keys/KeyPageModel.h"

void CKeyPageModel::Load(const char* dataFolder)
{
    scope = KeyScope::Global;
    for (int s = 0; s < KeyScopeCount; ++s) {
        char path[260];
        // A folder too long for the path: no file can be read, the defaults stand.
        bool whole = KeyFilePath(dataFolder, (KeyScope)s, path, sizeof path) != 0;
        KeyTable_Load(m_tables[s], whole ? path : nullptr, (KeyScope)s);
    }
}

int CKeyPageModel::Save(const char* dataFolder) const
{
    return SaveKeyTables(dataFolder, m_tables);
}

void CKeyPageModel::ResetToDefaults()
{
    for (int s = 0; s < KeyScopeCount; ++s)
        KeyTable_SetDefaults(m_tables[s], (KeyScope)s);
}

int CKeyPageModel::CommandOf(int row)
{
    return row >= 0 && row < FunctionCount ? FunctionList[row].id : 0;
}

std::string CKeyPageModel::RowKeys(int row) const
{
    int cmd = CommandOf(row);
    return cmd ? CurrentKeysText(Current(), cmd) : std::string();
}

std::vector<KeyEntry> CKeyPageModel::Entries(int row) const
{
    int cmd = CommandOf(row);
    return cmd ? KeyEntries(Current(), cmd) : std::vector<KeyEntry>();
}

int CKeyPageModel::Add(int row, uint16_t key, uint8_t flags)
{
    int cmd = CommandOf(row);
    if (!cmd)
        return -1;
    return m_tables[(int)scope].Add(flags, key, (uint16_t)cmd);
}

int CKeyPageModel::Remove(int index)
{
    return m_tables[(int)scope].Remove(index);
}

bool AddKey_Choice(int selected, bool ctrl, bool shift, bool alt, uint16_t* key, uint8_t* flags)
{
    if (selected < 0 || selected >= KeyNameCount)
        return false;
    *key = KeyNameTable[selected].code;
    *flags = KeyFlagsOf(ctrl, shift, alt);
    return true;
}
