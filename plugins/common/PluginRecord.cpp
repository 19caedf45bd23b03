#include "plugins/common/PluginRecord.h"

#include <stdio.h>

namespace {
void AppendNumber(std::string& out, int v)
{
    if (v == -1) {
        out += "*,";
        return;
    }
    char buf[16];
    snprintf(buf, sizeof buf, "%d,", v);
    out += buf;
}
}

void Record_Append(std::string& out, const PluginRecord& r)
{
    out += "S:";
    AppendNumber(out, r.number);
    AppendNumber(out, r.parent);
    out.append(r.date).append(",").append(r.time).append("\n");
    out.append("T:").append(r.title).append("\n");
    out.append("N:").append(r.name).append("\n");
    if (*r.postTemplate)
        out.append("P:").append(r.postTemplate).append("\n");
    if (*r.followTemplate)
        out.append("F:").append(r.followTemplate).append("\n");
    out.append("M:").append(r.message).append("\n.\n");
}
