// Settings files: parsing, lookups and edits of arbitrary text must neither
// crash nor lose the layout of the file.
#include "store/Profile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <stdlib.h>
#include <string.h>

#include <string>

namespace {
void Check(bool ok)
{
    if (!ok)
        abort();
}

// Serialize, parse again, serialize again: the same bytes.
void CheckStable(const CProfile& p)
{
    std::string a, b;
    p.Serialize(a);
    CProfile q;
    q.Parse(a.data(), a.size());
    q.Serialize(b);
    Check(a == b);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    std::string section = fdp.ConsumeRandomLengthString(40);
    std::string key = fdp.ConsumeRandomLengthString(40);
    std::string value = fdp.ConsumeRandomLengthString(1200);
    int op = fdp.ConsumeIntegral<uint8_t>();
    std::string file = fdp.ConsumeRemainingBytesAsString();

    CProfile p;   // no path: nothing is ever written to disk
    p.Parse(file.data(), file.size());
    std::string text;
    p.Serialize(text);
    // Every line held is at most 510 bytes and has no zero byte.
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        Check(end != std::string::npos);
        Check(end - start <= CProfile::kReadLineMax);
        Check(memchr(text.data() + start, 0, end - start) == nullptr);
        start = end + 2;
    }
    CheckStable(p);

    p.SetSection(section.c_str());
    char buf[600];
    int n = p.GetString(key.c_str(), buf, sizeof buf, "def");
    Check(n >= 0 && n <= CProfile::kValueMax && (size_t)n == strlen(buf));
    char small[3];
    n = p.GetString(key.c_str(), small, sizeof small, value.c_str());
    Check(n <= 2 && (size_t)n == strlen(small));
    p.GetInt(key.c_str(), op);

    int before = p.LineCount();
    // Lines set from text without line ends, short enough to be read back
    // whole, must survive a save and a load unchanged.
    auto noBreak = [](const std::string& s) { return strpbrk(s.c_str(), "\r\n") == nullptr; };
    bool clean = noBreak(section) && noBreak(key) && noBreak(value) &&
                 strlen(key.c_str()) + 1 + strlen(value.c_str()) <= CProfile::kReadLineMax;
    switch (op % 4) {
    case 0:
        p.SetString(key.c_str(), value.c_str());
        Check(p.LineCount() <= before + 2);
        break;
    case 1:
        p.SetString(key.c_str(), nullptr);
        Check(p.LineCount() >= before - 1 && p.LineCount() <= before);
        break;
    case 2:
        p.SetInt(key.c_str(), (int)value.size() - 600);
        break;
    default: {
        ProfileFont f = {}, g;
        strncpy(f.face, value.c_str(), sizeof f.face - 1);
        f.size = (int32_t)key.size();
        p.SetFont(key.c_str(), &f);
        p.GetFont(key.c_str(), &g, &f);
        break;
    }
    }
    Check(p.IsModified() == 1);
    if (clean)
        CheckStable(p);
    return 0;
}
