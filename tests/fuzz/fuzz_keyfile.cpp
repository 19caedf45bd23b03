// Key files and menu texts: any bytes must parse without harm, write back to
// the same bytes (less a trailing partial record), and give key texts,
// conflicts and the keyboard page's column text within their bounds.
#include "ui/keys/KeyTable.h"
#include "ui/keys/MenuText.h"

#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {
void Check(bool ok)
{
    if (!ok)
        abort();
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    KeyTable t;
    int n = KeyTable_Parse(t, data, size);
    Check(n == (int)(size / 6));
    std::vector<char> out;
    KeyTable_Serialize(t, out);
    Check(out.size() == (size_t)n * 6 && (out.empty() || memcmp(out.data(), data, out.size()) == 0));

    char text[32];
    for (int i = 0; i < n && i < 64; ++i) {
        size_t len = KeyBindingText(t.At(i), text, sizeof text);
        Check(len < sizeof text && strlen(text) == len);
        HasConflict(t, i);
        CurrentKeysText(t, t.At(i).cmd);
        Check(KeyText(t, t.At(i).cmd, i, text, sizeof text) == i);
    }

    // The same bytes as an item text.
    std::string s((const char*)data, size);
    s = s.c_str();
    size_t labelLen = 0;
    const char* key = nullptr;
    MenuText_Split(s.c_str(), &labelLen, &key);
    Check(labelLen <= s.size() && key >= s.c_str() && key <= s.c_str() + s.size());
    char visible[MenuTextSize], tip[ToolTipSize];
    Check(MenuText_Visible(s.c_str(), labelLen, visible, sizeof visible) < sizeof visible);
    Check(MenuText_ToolTip(s.c_str(), tip, sizeof tip) < sizeof tip);
    char kept[MenuTextSize];
    Check(MenuText_Copy(s.c_str(), kept, sizeof kept) < sizeof kept);
    uint32_t color = 0;
    if (MenuText_Swatch(s.c_str(), &color))
        Check(color <= 0xFFFFFF);
    const char* items[3] = {s.c_str(), visible, tip};
    int index = -1;
    if (MenuChar_Decide(items, 3, size ? data[0] % 4 - 1 : -1, size ? data[size - 1] : 'a', &index) !=
        MenuCharAction::None)
        Check(index >= 0 && index < 3);
    return 0;
}
