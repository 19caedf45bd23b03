// The system's profile-string functions for INI files ("zeva_BBS.ini").
// Windows: GetPrivateProfileStringA / WritePrivateProfileStringA. POSIX: an
// implementation with the same matching: section and key names case-blind,
// blanks around names and values ignored, one pair of quotes around a value
// removed.
#pragma once

// Copies the value (or def) into buf, at most size-1 bytes; returns the
// length copied.
unsigned Profile_GetString(const char* section, const char* key, const char* def,
                           char* buf, unsigned size, const char* path);
int Profile_GetInt(const char* section, const char* key, int def, const char* path);
// value nullptr removes the key; key nullptr removes the section. Returns 1/0.
int Profile_WriteString(const char* section, const char* key, const char* value, const char* path);
