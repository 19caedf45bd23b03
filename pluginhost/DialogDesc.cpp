// The plug-in's description of the board settings and what the folder
// properties sheet stores.
#include "pluginhost/DialogDesc.h"

#include "base/debug.h"
#include "base/fileio.h"
#include "base/sjis.h"
#include "store/Profile.h"

#include <stdlib.h>
#include <string.h>

const SettingsField g_SettingsFields[SETTINGS_FIELD_COUNT] = {
    {"URL", "_URL", "URL(&A)"},
    {"UPURL", "_UPURL", "アップロード用URL(&A)"},
    {"NAME", "_NAME", "名前(&N)"},
    {"EMAIL", "_EMAIL", "e-mail(&E)"},
    {"HP", "_HP", "ホームページ(&H)"},
    {"KEY", "_KEY", "キー(&K)"},
    {"PARAM1", "_PARAM1", "パラメータ1(&1)"},
    {"PARAM2", "_PARAM2", "パラメータ2(&2)"},
    {"USER", "_USER", "ユーザ(&U)"},
    {"PASS", "_PASS", "パスワード(&P)"},
};

std::string Settings_FieldLabel(CProfile& ini, int i)
{
    char buf[CProfile::kValueMax + 1];
    ini.SetSection("DIALOG");
    ini.GetString(g_SettingsFields[i].labelKey, buf, sizeof buf, g_SettingsFields[i].defaultLabel);
    return buf;
}

bool Settings_FieldEnabled(CProfile& ini, int i)
{
    char buf[8];
    ini.SetSection("DIALOG");
    ini.GetString(g_SettingsFields[i].key, buf, sizeof buf, "0");
    return buf[0] != '0';
}

namespace {

// Cuts s to at most max bytes without splitting a double-byte character.
void CutAt(std::string& s, size_t max)
{
    if (s.size() <= max)
        return;
    size_t i = 0;
    while (i < max) {
        size_t step = IsSjisLead((unsigned char)s[i]) && i + 1 < s.size() ? 2 : 1;
        if (i + step > max)
            break;
        i += step;
    }
    s.resize(i);
}

DialogItemType TypeOf(const char* code)
{
    switch (code[0]) {
    case 'L':
        return DITEM_HEADING;
    case 'C':
        return DITEM_CHECK;
    case 'R':
        return DITEM_RADIO;
    case 'P':
        return DITEM_COLOR;
    case 'F':
        return DITEM_FILE;
    default:
        return code[0] && code[1] == 'S' ? DITEM_TEXT_S : DITEM_TEXT;
    }
}

} // namespace

int DialogItem_Parse(const char* desc, DialogItem* item)
{
    const char* comma = strchr(desc, ',');
    if (!comma)
        return 0;
    item->type = TypeOf(desc);
    item->key.clear();
    item->ownValue.clear();
    item->label.clear();
    item->value.clear();
    const char* p = comma + 1;
    bool own = false;
    for (; *p && *p != ','; ++p) {
        if (*p == '=' && !own)
            own = true;
        else
            (own ? item->ownValue : item->key) += *p;
    }
    if (*p == ',')
        item->label = p + 1;
    return 1;
}

int DialogItems_Read(CProfile& ini, std::vector<DialogItem>& items)
{
    items.clear();
    int result = DITEMS_OK;
    for (int i = 0; i < DITEM_COUNT_MAX; ++i) {
        char key[8], desc[DITEM_DESC_MAX + 1];
        Str_Format(key, sizeof key, "L%03d", i);
        ini.SetSection("DIALOG");
        ini.GetString(key, desc, sizeof desc, "");
        if (!desc[0] || desc[0] == '.')
            break;
        DialogItem item;
        if (!DialogItem_Parse(desc, &item)) {
            result = DITEMS_MALFORMED;
            break;
        }
        Debug_Printf("%d@%s@%s@%s\n", (int)item.type, item.key.c_str(), item.ownValue.c_str(),
                     item.label.c_str());
        items.push_back(item);
    }
    ini.SetSection("BASIC");
    for (DialogItem& item : items) {
        char buf[DITEM_VALUE_MAX + 1];
        if (item.type == DITEM_RADIO) {
            ini.GetString(item.key.c_str(), buf, DITEM_RADIO_READ_MAX + 1, "");
            item.value = item.ownValue == buf ? item.ownValue : std::string();
        } else {
            ini.GetString(item.key.c_str(), buf, sizeof buf, item.type == DITEM_CHECK ? "0" : "");
            item.value = buf;
        }
        CutAt(item.value, DITEM_VALUE_MAX);
    }
    return result;
}

bool DialogItem_IsChosen(const DialogItem& item)
{
    return item.type == DITEM_RADIO && !item.value.empty() && item.value == item.ownValue;
}

bool DialogItem_IsOn(const DialogItem& item)
{
    return atoi(item.value.c_str()) != 0;
}

bool DialogItem_IsText(const DialogItem& item)
{
    return item.type == DITEM_TEXT || item.type == DITEM_TEXT_S;
}

int DialogItem_Image(const DialogItem& item)
{
    switch (item.type) {
    case DITEM_HEADING:
        return DIMG_HEADING;
    case DITEM_CHECK:
        return DialogItem_IsOn(item) ? DIMG_CHECK_ON : DIMG_CHECK_OFF;
    case DITEM_RADIO:
        return DialogItem_IsChosen(item) ? DIMG_RADIO_ON : DIMG_RADIO_OFF;
    case DITEM_COLOR:
        return DIMG_COLOR;
    case DITEM_FILE:
        return DIMG_FILE;
    default:
        return DIMG_TEXT;
    }
}

std::string DialogItem_Text(const DialogItem& item)
{
    switch (item.type) {
    case DITEM_HEADING:
    case DITEM_CHECK:
    case DITEM_RADIO:
        return item.label;
    default:
        return item.label + " \"" + item.value + "\"";
    }
}

int DialogItem_Indent(const DialogItem& item)
{
    return item.type == DITEM_HEADING ? 0 : 1;
}

int DialogItems_Act(std::vector<DialogItem>& items, size_t i)
{
    if (i >= items.size())
        return 0;
    DialogItem& item = items[i];
    if (item.type == DITEM_CHECK) {
        item.value = DialogItem_IsOn(item) ? "0" : "1";
        return 1;
    }
    if (item.type == DITEM_RADIO) {
        size_t first = i, last = i;
        while (first > 0 && items[first - 1].type == DITEM_RADIO)
            --first;
        while (last + 1 < items.size() && items[last + 1].type == DITEM_RADIO)
            ++last;
        for (size_t k = first; k <= last; ++k)
            items[k].value.clear();
        item.value = item.ownValue;
        CutAt(item.value, DITEM_VALUE_MAX);
        return 1;
    }
    return 0;
}

void DialogItem_SetValue(DialogItem* item, const char* value)
{
    item->value = value ? value : "";
    CutAt(item->value, DITEM_VALUE_MAX);
}

unsigned long DialogColor_ToColorRef(const char* value)
{
    unsigned long rgb = strtoul(value, nullptr, 16) & 0xFFFFFF;
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

std::string DialogColor_FromColorRef(unsigned long c)
{
    unsigned long rgb = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    char buf[16];
    Str_Format(buf, sizeof buf, "%06lX", rgb);
    return buf;
}

std::string DialogItem_FilePattern(const char* label)
{
    const char* open = Sjis_StrRChr(label, '(');
    if (!open)
        return std::string();
    const char* close = Sjis_StrChr(open + 1, ')');
    return close ? std::string(open + 1, close) : std::string();
}

// ---- the description block -------------------------------------------------

namespace {

// Splits text into lines as a bounded line reader does: a line ends after
// its LF or after max bytes; what follows a zero byte in a line is not seen.
class CLineReader {
public:
    CLineReader(const char* data, size_t size) : m_data(data), m_size(size) {}
    bool Next(size_t max, std::string& line)
    {
        if (m_pos >= m_size)
            return false;
        size_t start = m_pos;
        while (m_pos < m_size && m_pos - start < max) {
            if (m_data[m_pos++] == '\n')
                break;
        }
        line.assign(m_data + start, m_pos - start);
        size_t zero = line.find('\0');
        if (zero != std::string::npos)
            line.resize(zero);
        return true;
    }

private:
    const char* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

struct Entry {
    std::string key, value;
};

// The entries of one block line; kept only when the line ends in CR LF.
void ScanBlockLine(const std::string& line, CProfile& ini)
{
    std::vector<Entry> entries;
    bool started = false, inValue = false, ended = false;
    Entry cur;
    auto finish = [&] {
        if (started)
            entries.push_back(cur);
        cur = Entry();
        inValue = false;
    };
    size_t n = line.size();
    for (size_t i = 0; i < n;) {
        unsigned char c = (unsigned char)line[i];
        if (IsSjisLead(c) && i + 1 < n) {
            if (started)
                (inValue ? cur.value : cur.key).append(line, i, 2);
            i += 2;
            continue;
        }
        if (c == '#') {
            cur = Entry();
            started = true;
            inValue = false;
        } else if (c == '=' && started && !inValue) {
            inValue = true;
        } else if (c == '\r' && i + 1 < n && line[i + 1] == '\n') {
            finish();
            started = false;
            ended = true;
            break;
        } else if (c == '\\' && i + 1 < n && line[i + 1] == 'n') {
            finish();
            started = true;
            i += 2;
            continue;
        } else if (started) {
            (inValue ? cur.value : cur.key) += (char)c;
        }
        ++i;
    }
    if (!ended)
        return;
    ini.SetSection("DIALOG");
    for (const Entry& e : entries) {
        // An empty key or one that opens like a section header would turn
        // into a line that hides the rest of the section.
        if (e.key.empty() || e.key[0] == '[')
            continue;
        ini.SetString(e.key.c_str(), e.value.c_str());
    }
}

} // namespace

int DialogDesc_ReadBlock(const char* data, size_t size, CProfile& ini)
{
    CLineReader reader(data, size);
    std::string line;
    if (!reader.Next(1023, line))
        return 0;
    bool found = false, inBlock = false;
    while (reader.Next(1022, line)) {
        if (line.compare(0, 9, "#[DIALOG]") == 0) {
            found = inBlock = true;
            continue;
        }
        if (line.compare(0, 10, "#[/DIALOG]") == 0) {
            inBlock = false;
            continue;
        }
        if (inBlock)
            ScanBlockLine(line, ini);
    }
    return found ? 1 : 0;
}

void DialogDesc_ClearItems(CProfile& ini)
{
    ini.SetSection("DIALOG");
    ini.SetString("L000", ".");
}

// ---- what OK stores --------------------------------------------------------

int FolderSettings_Marks(bool patrol, bool temporary)
{
    return (patrol ? 1 : 0) + (temporary ? 2 : 0);
}

void FolderSettings_Store(CProfile& ini, const FolderSettingsOutput& out)
{
    ini.SetSection("BASIC");
    if (out.pages & SETTINGS_PAGE_BASIC) {
        ini.SetString("LIB", out.lib.c_str());
        ini.SetInt("BBSFOLDER", FolderSettings_Marks(out.patrol, out.temporary));
    }
    if (out.pages & SETTINGS_PAGE_PATROL) {
        for (int i = 0; i < SETTINGS_FIELD_COUNT; ++i) {
            std::string v = out.fields[i];
            CutAt(v, SETTINGS_FIELD_MAX);
            ini.SetString(g_SettingsFields[i].key, v.c_str());
        }
    }
    if (out.pages & SETTINGS_PAGE_DETAIL) {
        std::string cs = out.charset;
        CutAt(cs, SETTINGS_CHARSET_MAX);
        ini.SetString("CHARSET", cs.c_str());
        for (const DialogItem& item : out.items) {
            // Headings hold no value; an item without a key would write a
            // line no one can read back.
            if (item.type == DITEM_HEADING || item.key.empty())
                continue;
            if (item.type == DITEM_RADIO && !DialogItem_IsChosen(item))
                continue;
            ini.SetString(item.key.c_str(), item.value.c_str());
        }
    }
}

std::string Plugin_HelpFile(const char* pluginFolder, const char* typeName)
{
    static const char* const exts[] = {".hlp", ".txt", ".doc"};
    for (const char* ext : exts) {
        std::string path = std::string(pluginFolder) + "zv_" + typeName + ext;
        if (File_Exists(path.c_str()) && !File_IsDir(path.c_str()))
            return path;
    }
    return std::string();
}
