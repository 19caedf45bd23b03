// Writes "変換中..." in two pieces, cut inside the double-byte "中".
#include "progcommon.h"

int main()
{
    const char* text = "変換中...\r\n";
    DWORD cut = (DWORD)strlen("変換") + 1;
    Put(STD_OUTPUT_HANDLE, text, cut);
    Sleep(300);
    Out(text + cut);
    return 0;
}
