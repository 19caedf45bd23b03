#include "base/debug.h"

#include <mutex>
#include <stdarg.h>
#include <stdio.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
std::mutex g_mutex;
bool g_capturing = false;
std::string g_captured;
}

void Debug_Out(const char* text)
{
    if (!text)
        return;
#ifdef _WIN32
    OutputDebugStringA(text);
#endif
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_capturing && g_captured.size() < (64u << 20))
        g_captured += text;
}

void Debug_Printf(const char* fmt, ...)
{
    char buf[1024];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    buf[sizeof buf - 1] = 0;
    Debug_Out(buf);
}

void Debug_BeginCapture()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_capturing = true;
    g_captured.clear();
}

std::string Debug_Take()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    std::string s;
    s.swap(g_captured);
    return s;
}

void Debug_EndCapture()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_capturing = false;
    g_captured.clear();
}
