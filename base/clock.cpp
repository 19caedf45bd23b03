#include "base/clock.h"

#include <chrono>
#include <thread>
#include <time.h>

#ifdef _WIN32
#include <windows.h>
#endif

uint32_t Clock_TickMs()
{
#ifdef _WIN32
    return GetTickCount();
#else
    using namespace std::chrono;
    return (uint32_t)duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
#endif
}

void Clock_SleepMs(unsigned ms)
{
#ifdef _WIN32
    Sleep(ms);
#else
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
#endif
}

void Clock_Local(LocalTime* out)
{
#ifdef _WIN32
    SYSTEMTIME st;
    GetLocalTime(&st);
    out->year = st.wYear;
    out->month = st.wMonth;
    out->day = st.wDay;
    out->hour = st.wHour;
    out->minute = st.wMinute;
    out->second = st.wSecond;
#else
    time_t t = time(nullptr);
    struct tm tmv;
    localtime_r(&t, &tmv);
    out->year = tmv.tm_year + 1900;
    out->month = tmv.tm_mon + 1;
    out->day = tmv.tm_mday;
    out->hour = tmv.tm_hour;
    out->minute = tmv.tm_min;
    out->second = tmv.tm_sec;
#endif
}
