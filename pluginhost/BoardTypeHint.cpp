// Pre-selecting a new board's plug-in type from the copied address.
#include "pluginhost/PluginInfo.h"

#include "base/sjis.h"

#include <string.h>

// Address fragments, most specific first. The script names and folders of the
// board scripts each plug-in reads come before the generic board folders,
// which are left to the browser-only type.
const BoardTypeHint g_BoardTypeHints[BOARD_TYPE_HINT_ROWS + 1] = {
    {"rnall.cgi", "Orbiloom"},
    {"/orbiloom/", "Orbiloom"},
    {"orbiloom.cgi", "Orbiloom"},
    {"/rnbbs/", "Orbiloom"},
    {"/quillbook/", "ZVT"},
    {"quillbook.cgi", "ZVT"},
    {"/qbook/", "ZVT"},
    {"zvt.cgi", "ZVT"},
    {"/zvt/", "ZVT"},
    {"?point=", "ZVT"},
    {"zvbbs.cgi", "ZVT"},
    {"/zvbbs/", "ZVT"},
    {"/stillmark/", "Stillmark"},
    {"bbs.cgi", "Stillmark"},
    {"board.cgi", "Stillmark"},
    {"bbs.php", "Stillmark"},
    {"board.php", "Stillmark"},
    {"forum.cgi", "Stillmark"},
    {"/forum/", "Stillmark"},
    {"/bbs/", "Stillmark"},
    {"/board/", "Stillmark"},
    {"/keijiban/", "Stillmark"},
    {"/guestbook/", "Stillmark"},
    {"/cgi-bin/", "Stillmark"},
    {"bbs.", "Stillmark"},
    {"board.", "Stillmark"},
    {nullptr, nullptr},
};

namespace {

// The first name that begins with prefix, compared without regard to case,
// as a combo box finds a string.
int FindPrefix(const std::vector<std::string>& names, const char* prefix)
{
    size_t n = strlen(prefix);
    for (size_t i = 0; i < names.size(); i++)
        if (names[i].size() >= n && Str_NICmp(names[i].c_str(), prefix, n) == 0)
            return (int)i;
    return -1;
}

} // namespace

int Plugin_PreselectType(const char* clip, const char* lib, const char* url,
                         const std::vector<std::string>& names, std::string* urlToStore)
{
    if (urlToStore)
        urlToStore->clear();
    std::string address;
    bool haveAddress = false;
    if (!*lib && !*url) {
        const char* http = clip ? strstr(clip, "http://") : nullptr;
        if (http) {
            // Up to the first blank; line ends and other control bytes end the
            // address too, so that nothing but the address reaches the settings file.
            size_t n = 0;
            while (n < 250 && (unsigned char)http[n] > ' ')
                n++;
            address.assign(http, n);
            haveAddress = true;
            if (urlToStore)
                *urlToStore = address;
        }
    } else if (clip) {
        address = clip;
        haveAddress = true;
    }
    if (haveAddress) {
        for (const BoardTypeHint* row = g_BoardTypeHints; row->fragment; row++) {
            if (!strstr(address.c_str(), row->fragment))
                continue;
            int i = FindPrefix(names, row->typeName);
            if (i >= 0)
                return i;
        }
    }
    return names.empty() ? -1 : 0;
}
