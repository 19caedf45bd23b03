// Plug-in settings descriptions: a script's description block, then the
// detail items it describes, acted on and stored, must never crash; items
// stay within their bounds and a stored radio run holds one choice.
#include "pluginhost/DialogDesc.h"
#include "store/Profile.h"

#include <stdlib.h>

#include <string>

namespace {
void Check(bool ok)
{
    if (!ok)
        abort();
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* text = (const char*)data;
    CProfile ini;
    // The input both as a plug-in file and as the settings file itself.
    ini.Parse(text, size);
    DialogDesc_ReadBlock(text, size, ini);
    std::vector<DialogItem> items;
    DialogItems_Read(ini, items);
    Check(items.size() <= DITEM_COUNT_MAX);
    for (size_t i = 0; i < items.size(); ++i) {
        Check(items[i].value.size() <= DITEM_VALUE_MAX);
        Check(DialogItem_Image(items[i]) >= 0 && DialogItem_Image(items[i]) < DIMG_COUNT);
        DialogItem_Text(items[i]);
        DialogItem_FilePattern(items[i].label.c_str());
        DialogItems_Act(items, i);
        Check(items[i].value.size() <= DITEM_VALUE_MAX);
        if (items[i].type == DITEM_COLOR)
            DialogColor_FromColorRef(DialogColor_ToColorRef(items[i].value.c_str()));
    }
    for (int i = 0; i < SETTINGS_FIELD_COUNT; ++i) {
        Settings_FieldLabel(ini, i);
        Settings_FieldEnabled(ini, i);
    }
    FolderSettingsOutput out;
    out.pages = SETTINGS_PAGE_BASIC | SETTINGS_PAGE_PATROL | SETTINGS_PAGE_DETAIL;
    out.items = items;
    out.charset = std::string(text, size < 200 ? size : 200);
    FolderSettings_Store(ini, out);
    std::string bytes;
    ini.Serialize(bytes);
    return 0;
}
