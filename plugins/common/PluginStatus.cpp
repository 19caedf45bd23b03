#include "plugins/common/PluginStatus.h"

#include "base/sjis.h"
#include "plugins/common/PluginSettings.h"

#include <stdarg.h>
#include <stdio.h>
#include <string>

namespace {
void WriteStdout(const char* data, size_t size)
{
    fwrite(data, 1, size, stdout);
    fflush(stdout);
}

PluginWriteFn g_writer = WriteStdout;
}

void Plugin_SetWriter(PluginWriteFn fn)
{
    g_writer = fn ? fn : WriteStdout;
}

void Plugin_Print(const char* text)
{
    std::string line(text);
    line += "\r\n";
    g_writer(line.data(), line.size());
}

void Plugin_Printf(const char* fmt, ...)
{
    char buf[1024];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    buf[sizeof buf - 1] = 0;
    Plugin_Print(buf);
}

void Plugin_Report(CBoardSettings& settings, const char* text)
{
    Plugin_Print(text);
    settings.Set("ERROR", text);
}
