// Debug output. Windows: OutputDebugStringA. Both builds can also capture
// the text in memory so that tests can read what was reported.
#pragma once
#include <string>

void Debug_Out(const char* text);
void Debug_Printf(const char* fmt, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Starts (or restarts) capturing; Debug_Take returns and clears what was
// captured so far. Capturing stops with Debug_EndCapture.
void Debug_BeginCapture();
std::string Debug_Take();
void Debug_EndCapture();
