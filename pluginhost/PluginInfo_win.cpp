// Version blocks of executable plug-ins and the version box's list.
#include "pluginhost/PluginHost.h"

#include "base/debug.h"
#include "base/sjis.h"

#include <stdlib.h>
#include <string.h>

namespace {

// A value of the Japanese Unicode string table; false when it is missing.
bool QueryString(void* block, const char* name, std::string& out)
{
    char key[128];
    Str_Format(key, sizeof(key), "\\StringFileInfo\\041104b0\\%s", name);
    char* value = nullptr;
    UINT len = 0;
    if (!VerQueryValueA(block, key, (void**)&value, &len) || !value)
        return false;
    out.assign(value, strnlen(value, len));
    return true;
}

int ReadVersionBlock(PluginInfo* info)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(info->path, &handle);
    if (size == 0)
        return 1;
    void* block = malloc(size);
    if (!block) {
        Debug_Out("GetFileInfo: メモリ不足\n");
        return 0;
    }
    if (GetFileVersionInfoA(info->path, 0, size, block)) {
        QueryString(block, "InternalName", info->internalName);
        QueryString(block, "FILEVERSION", info->version);
        QueryString(block, "Comments", info->comments);
        QueryString(block, "LegalCopyright", info->author);
        QueryString(block, "InternalName", info->target);
    }
    free(block);
    return 1;
}

} // namespace

int Plugin_ReadInfo(PluginInfo* info)
{
    info->ClearText();
    if (info->kind == PLUGIN_EXE)
        return ReadVersionBlock(info);
    return Plugin_ReadScriptInfo(info);
}

int Plugin_Lookup(PluginInfo* info, const char* name, const char* pluginFolder)
{
    Plugin_Resolve(info, name, pluginFolder);
    return Plugin_ReadInfo(info);
}

void Plugin_VersionBoxText(const char* pluginFolder, std::string& out)
{
    std::vector<std::string> files;
    Plugin_ListFiles(pluginFolder, files);
    for (const std::string& file : files) {
        PluginInfo info;
        SimpleProfiler(true);
        Plugin_Lookup(&info, file.c_str(), pluginFolder);
        SimpleProfiler(false);
        Debug_Printf("%s\n", file.c_str());
        Plugin_AppendVersionLine(out, file.c_str(), info.version.c_str(), info.author.c_str());
    }
}
