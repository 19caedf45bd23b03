// Time helpers: millisecond tick, sleep, local calendar time.
#pragma once
#include <stdint.h>

uint32_t Clock_TickMs();
void Clock_SleepMs(unsigned ms);

struct LocalTime {
    int year, month, day, hour, minute, second;
};
void Clock_Local(LocalTime* out);
