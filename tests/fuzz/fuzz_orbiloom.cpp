// zv_Orbiloom's converter: any listing is handled without fault; every file
// name stays in the folder; every file starts with its header lines and
// ends with a complete record.
#include "plugins/common/PluginOutput.h"
#include "plugins/common/PluginText.h"
#include "plugins/orbiloom/OrbiloomConv.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

namespace {
void Fail(int line)
{
    fprintf(stderr, "fuzz_orbiloom: check at line %d failed\n", line);
    abort();
}
#define CHECK(x) ((x) ? (void)0 : Fail(__LINE__))

bool EndsWith(const std::string& s, const char* tail)
{
    size_t n = strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> buf(data, data + size);
    buf.push_back(0);
    size_t len = Plugin_Normalize(buf.data(), size);

    CZvMemorySink sink;
    OrbiloomResult r;
    OrbiloomConv_Convert(buf.data(), len, sink, &r);
    CHECK((int)sink.files.size() == r.files);
    CHECK(r.files <= r.articles);
    for (const CZvMemorySink::File& f : sink.files) {
        CHECK(f.closed);
        CHECK(EndsWith(f.name, ".zv$"));
        std::string base = f.name.substr(0, f.name.size() - 4);
        char safe[300];
        Plugin_SafeFileName(base.c_str(), safe, sizeof safe);
        CHECK(base == safe);   // already safe: nothing left to replace
        CHECK(f.data.compare(0, 3, "#T:") == 0 || f.data.compare(0, 3, "#P:") == 0);
        CHECK(EndsWith(f.data, "\n.\n"));
    }
    return 0;
}
