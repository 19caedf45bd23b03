// Reports received byte counts the way a fetching plug-in does; the last
// count has no line end.
#include "progcommon.h"

int main()
{
    Out("1000 bytes受信\r\n");
    Sleep(120);
    Out("2000 bytes受信\r\n");
    Sleep(120);
    Out("3000 bytes受信");
    return 0;
}
