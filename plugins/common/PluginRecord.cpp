#include "plugins/common/PluginRecord.h"

#include "store/ZvtText.h"

#include <stdio.h>
#include <string.h>

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
    // A text line holding only "." would end the message early.
    size_t n = strlen(r.message);
    size_t at = out.size() + 2;
    out.append("M:");
    out.resize(at + n + Zvt_DotLines(r.message, n));
    char* end = Zvt_CopyMessage(&out[at], r.message, n);
    out.resize((size_t)(end - out.data()));
    out.append("\n.\n");
}
