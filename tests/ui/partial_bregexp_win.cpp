// A stand-in "BREGEXP.DLL" that lacks four of the six functions the program
// looks for: the program must count the library as absent and never call
// what it did find.
#include <windows.h>

extern "C" __declspec(dllexport) int __cdecl BMatch(const char*, const char*, const char*, void**, char*)
{
    ExitProcess(3);   // never called
}

extern "C" __declspec(dllexport) void __cdecl BRegfree(void*)
{
    ExitProcess(4);
}
