#include "ui/keys/Accel_win.h"

#include "base/debug.h"

#include <new>
#include <vector>

static_assert(sizeof(ACCEL) == sizeof(KeyBinding), "a binding is an accelerator entry");

int LoadKeyTable(KeyTable& table, const char* path, HINSTANCE inst, int resId)
{
    if (KeyTable_ReadFile(table, path))
        return 1;
    HACCEL res = LoadAcceleratorsA(inst, MAKEINTRESOURCEA(resId));
    int n = res ? CopyAcceleratorTableA(res, nullptr, 0) : 0;
    if (n <= 0)
        return 0;
    try {
        std::vector<ACCEL> a((size_t)n);
        n = CopyAcceleratorTableA(res, a.data(), n);
        for (int i = 0; i < n; ++i)
            table.items.push_back(KeyBinding{(uint8_t)(a[(size_t)i].fVirt & 0x7F), 0, a[(size_t)i].key,
                                             a[(size_t)i].cmd});
    } catch (const std::bad_alloc&) {
        Debug_Out("LoadKeyTable() - メモリが足りません\n");
    }
    return 0;
}

HACCEL KeyTable_CreateAccelerators(const KeyTable& table)
{
    int n = table.Count() < 32767 ? table.Count() : 32767;
    if (n == 0)
        return nullptr;
    try {
        std::vector<ACCEL> a((size_t)n);
        for (int i = 0; i < n; ++i) {
            const KeyBinding& b = table.At(i);
            a[(size_t)i].fVirt = (BYTE)(b.flags & 0x7F);   // 0x80 ends a table in resources
            a[(size_t)i].key = b.key;
            a[(size_t)i].cmd = b.cmd;
        }
        return CreateAcceleratorTableA(a.data(), n);
    } catch (const std::bad_alloc&) {
        Debug_Out("KeyTable_CreateAccelerators() - メモリが足りません\n");
        return nullptr;
    }
}

int BuildAccelerators(HINSTANCE inst, const char* dataFolder, HACCEL accel[KeyScopeCount])
{
    int ok = 1;
    for (int s = 0; s < KeyScopeCount; ++s) {
        KeyScope scope = (KeyScope)s;
        char path[MAX_PATH];
        KeyTable table;
        if (KeyFilePath(dataFolder, scope, path, sizeof path))
            LoadKeyTable(table, path, inst, KeyResourceId(scope));
        else
            LoadKeyTable(table, nullptr, inst, KeyResourceId(scope));
        HACCEL made = KeyTable_CreateAccelerators(table);
        if (!made && table.Count())
            ok = 0;
        if (accel[s])
            DestroyAcceleratorTable(accel[s]);
        accel[s] = made;
    }
    return ok;
}

void DestroyAccelerators(HACCEL accel[KeyScopeCount])
{
    for (int s = 0; s < KeyScopeCount; ++s) {
        if (accel[s])
            DestroyAcceleratorTable(accel[s]);
        accel[s] = nullptr;
    }
}
