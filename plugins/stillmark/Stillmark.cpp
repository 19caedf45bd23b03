#include "plugins/stillmark/Stillmark.h"

#include "base/fileio.h"
#include "plugins/common/PluginSettings.h"

#include <string.h>
#include <vector>

namespace {
bool IsSectionLine(const std::string& line)
{
    return !line.empty() && line.front() == '[' && line.back() == ']';
}

void AppendLines(std::string& out, const std::vector<std::string>& lines)
{
    for (const std::string& l : lines)
        out.append(l).append("\r\n");
}
}

std::string Stillmark_Rewrite(const char* data, size_t size, bool dialog)
{
    // Lines before any section, DIALOG, BASIC, everything else.
    std::vector<std::string> lists[4];
    int current = 0;
    size_t start = 0;
    for (size_t i = 0; data && i <= size; ++i) {
        if (i < size && data[i] != '\n')
            continue;
        if (i == size && start == size)
            break;
        size_t end = i;
        if (end > start && data[end - 1] == '\r')
            --end;
        std::string line(data + start, end - start);
        start = i + 1;
        if (IsSectionLine(line))
            current = line == "[DIALOG]" ? 1 : line == "[BASIC]" ? 2 : 3;
        lists[current].push_back(line);
    }
    if (dialog)
        lists[1] = {"[DIALOG]", "URL=1", "_URL=ブラウザで開くアドレス(URL)(&A)："};

    std::string text;
    AppendLines(text, lists[0]);
    AppendLines(text, lists[1]);
    AppendLines(text, lists[2]);
    AppendLines(text, lists[3]);
    while (!text.empty() && text.back() && strchr(" \t\r\n", text.back()))
        text.pop_back();
    if (!text.empty())
        text += "\r\n";
    return text;
}

int Stillmark_Run(const char* arg, const char* folder)
{
    std::string path = Plugin_SettingsPath(folder, "zeva_BBS.ini");
    std::vector<char> old;
    bool had = File_ReadAll(path.c_str(), old) != 0;
    std::string text = Stillmark_Rewrite(had ? old.data() : nullptr, had ? old.size() : 0,
                                         arg && strcmp(arg, "i") == 0);
    File_Replace(path.c_str(), text.data(), text.size());
    return 0;
}
