// The three key tables of the message loop as system accelerator tables:
// each scope's key file in the data folder, or its default accelerator
// resource when there is no file.
#pragma once
#include <windows.h>

#include "ui/keys/KeyTable.h"

// Empties table and reads the key file at path (nullptr: none); when the file
// cannot be read, copies the accelerator resource resId of inst instead.
// Returns 1 when the file was read, 0 when the resource was used.
int LoadKeyTable(KeyTable& table, const char* path, HINSTANCE inst, int resId);
// A system accelerator table of the table's bindings (the first 32767; a key
// bound twice acts by its first binding). nullptr for an empty table.
HACCEL KeyTable_CreateAccelerators(const KeyTable& table);
// For each scope: loads its table from dataFolder + its key file, or from its
// default resource in inst, and puts a new accelerator table into
// accel[(int)scope], destroying the one it replaces. A scope whose table is
// empty gets nullptr. Returns 1, or 0 when a table could not be created.
int BuildAccelerators(HINSTANCE inst, const char* dataFolder, HACCEL accel[KeyScopeCount]);
// Destroys the three tables and sets the handles to nullptr.
void DestroyAccelerators(HACCEL accel[KeyScopeCount]);
