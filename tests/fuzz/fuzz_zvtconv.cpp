// Newline normalisation and zv_ZVT's converter: any bytes are handled
// without fault; normalising twice changes nothing; the article file holds
// the normalised text; the pointer and posting address are well formed.
#include "plugins/common/PluginOutput.h"
#include "plugins/common/PluginText.h"
#include "plugins/zvt/ZvtConv.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

namespace {
void Fail(int line)
{
    fprintf(stderr, "fuzz_zvtconv: check at line %d failed\n", line);
    abort();
}
#define CHECK(x) ((x) ? (void)0 : Fail(__LINE__))
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> buf(data, data + size);
    buf.push_back(0);
    size_t len = Plugin_Normalize(buf.data(), size);
    CHECK(len <= size);
    CHECK(buf[len] == 0);

    std::vector<char> again(buf.begin(), buf.begin() + len);
    again.push_back(0);
    CHECK(Plugin_Normalize(again.data(), len) == len);
    CHECK(memcmp(again.data(), buf.data(), len) == 0);

    CZvMemorySink sink;
    ZvtScan scan;
    CHECK(ZvtConv_Convert(buf.data(), len, sink, &scan) == 1);
    CHECK(sink.files.size() == 1);
    CHECK(sink.files[0].data == std::string(buf.data(), len));
    CHECK(scan.upUrl.size() <= 300);
    CHECK(scan.upUrl.find('\n') == std::string::npos);
    CHECK(scan.pointer.size() <= 99 || !scan.dateKind);
    CHECK(scan.pointer.find('\n') == std::string::npos);
    if (!scan.dateKind && !scan.pointer.empty()) {
        CHECK(scan.pointer.find_first_not_of("0123456789") == std::string::npos);
        CHECK(strtoll(scan.pointer.c_str(), nullptr, 10) >= 1);
    }
    return 0;
}
