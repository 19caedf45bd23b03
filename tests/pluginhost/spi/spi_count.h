// Counters the stand-in decoder libraries keep in a named shared block.
#pragma once
#include <windows.h>

#define SPI_COUNT_BLOCK "zeva_spi_count_block"

struct SpiCounter {
    LONG loads, isSupported, getPicture, others;
};
struct SpiCounts {
    SpiCounter of[2];   // stand-in 0 takes "AAAA" files, stand-in 1 "BBBB"
};
