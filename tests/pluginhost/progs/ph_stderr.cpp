// Writes every byte value, line ends and Japanese text to standard error,
// more than one read's worth, and a status line to standard output.
#include "progcommon.h"

int main()
{
    char all[256];
    for (int i = 0; i < 256; i++)
        all[i] = (char)i;
    Put(STD_ERROR_HANDLE, "エラー: 接続できません\r\n");
    Put(STD_ERROR_HANDLE, all, 256);
    Out("変換中...\r\n");
    Sleep(150);
    for (int i = 0; i < 4; i++)
        Put(STD_ERROR_HANDLE, all, 256);
    Put(STD_ERROR_HANDLE, "\n\r\nend");
    Out("正常終了\r\n");
    return 0;
}
