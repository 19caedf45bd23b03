// zv_Stillmark.exe: keeps a browser-only board's settings file in shape.
#include "plugins/common/WinInetHttp_win.h"
#include "plugins/stillmark/Stillmark.h"

int main()
{
    std::string arg, folder;
    Plugin_WinArgs(arg, folder);
    return Stillmark_Run(arg.c_str(), folder.c_str());
}
