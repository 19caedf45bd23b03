// Status lines: each text goes out as one line ending in CR LF, unbuffered,
// so that the host shows it while the plug-in runs.
#pragma once
#include <stddef.h>

class CBoardSettings;

typedef void (*PluginWriteFn)(const char* data, size_t size);

// Where the lines go (the console handle in the programs; the default writes
// to stdout and flushes). nullptr restores the default.
void Plugin_SetWriter(PluginWriteFn fn);
void Plugin_Print(const char* text);
void Plugin_Printf(const char* fmt, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
// Prints the text and stores it as ERROR in the current section.
void Plugin_Report(CBoardSettings& settings, const char* text);
