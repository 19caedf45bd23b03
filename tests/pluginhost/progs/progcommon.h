// Shared by the small programs the plug-in host tests start: unbuffered
// writes to the standard handles and a file written in the current folder.
#pragma once
#include <string.h>
#include <windows.h>

inline void Put(DWORD which, const char* text, DWORD n = (DWORD)-1)
{
    if (n == (DWORD)-1)
        n = (DWORD)strlen(text);
    DWORD written = 0;
    WriteFile(GetStdHandle(which), text, n, &written, nullptr);
}

inline void Out(const char* text)
{
    Put(STD_OUTPUT_HANDLE, text);
}

// Appends text to the named file in the current folder.
inline void Record(const char* file, const char* text)
{
    HANDLE h = CreateFileA(file, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(h, text, (DWORD)strlen(text), &written, nullptr);
    CloseHandle(h);
}
