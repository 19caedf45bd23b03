// Work files of the composer: naming, creation, the text written for the
// editor, and reading the edited file back into an article.
#include "patrol/Composer.h"

#include "base/debug.h"
#include "base/fileio.h"
#include "base/sjis.h"
#include "store/Subj.h"

#include <ctype.h>
#include <string.h>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

// A byte that can follow a lead byte; a line end or a zero after a lead byte
// stands on its own.
static inline bool IsTrail(char c)
{
    return (unsigned char)c >= 0x40;
}

void ComposerSettings_Init(ComposerSettings* s, const char* dataDir)
{
    memset(s, 0, sizeof *s);
    Str_Copy(s->dataDir, sizeof s->dataDir, dataDir ? dataDir : "");
    Str_Copy(s->editor, sizeof s->editor, "notepad");
    Str_Copy(s->quoteMark, sizeof s->quoteMark, ">");
}

void Composer_WorkFilePath(const char* dataDir, int n, char* out, size_t size)
{
    Str_Format(out, size, "%s作業ファイル%03d.txt", dataDir ? dataDir : "", n);
}

// Creates path as a new file; fails when it exists already.
static int CreateNew(const char* path)
{
#ifdef _WIN32
    int fd = _open(path, _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return 0;
    _close(fd);
#else
    int fd = open(path, O_CREAT | O_EXCL | O_WRONLY, 0644);
    if (fd < 0)
        return 0;
    close(fd);
#endif
    return 1;
}

int Composer_NewWorkFile(const char* dataDir, char* path, size_t size)
{
    for (int n = 0; n < CComposer::kWorkFiles; ++n) {
        char name[300];
        Composer_WorkFilePath(dataDir, n, name, sizeof name);
        if (strlen(name) >= size || strlen(name) >= 260)
            return 0;   // a cut name would be another file
        if (CreateNew(name)) {
            Str_Copy(path, size, name);
            return 1;
        }
    }
    return 0;
}

// One listing of the data folder instead of a delete attempt per number:
// only the names "作業ファイル000.txt" ... "作業ファイル098.txt" go.
int Composer_DeleteWorkFiles(const char* dataDir)
{
    std::vector<DirEntry> entries;
    if (!Dir_List(dataDir ? dataDir : "", entries))
        return 0;
    char first[300];
    Composer_WorkFilePath("", 0, first, sizeof first);
    const size_t stem = strlen(first) - strlen("000.txt");
    int count = 0;
    for (const DirEntry& e : entries) {
        const char* n = e.name.c_str();
        if (e.isDir || e.name.size() != stem + 7 || memcmp(n, first, stem) != 0)
            continue;
        const char* d = n + stem;
        if (!isdigit((unsigned char)d[0]) || !isdigit((unsigned char)d[1]) || !isdigit((unsigned char)d[2]) ||
            Str_ICmp(d + 3, ".txt") != 0)
            continue;
        int number = (d[0] - '0') * 100 + (d[1] - '0') * 10 + (d[2] - '0');
        if (number >= CComposer::kWorkFiles)
            continue;
        char path[300];
        Composer_WorkFilePath(dataDir, number, path, sizeof path);
        if (File_Delete(path))
            ++count;
    }
    return count;
}

void Composer_TrimTitle(const char* s, char* out, size_t size)
{
    Str_Copy(out, size, s ? s : "");
    // A trail byte is never a space or a tab, so the end can be cut byte-wise.
    size_t n = strlen(out);
    while (n > 0 && (out[n - 1] == ' ' || out[n - 1] == '\t'))
        out[--n] = 0;
}

std::string Composer_FormatWorkFile(const WorkFileText& w)
{
    const char* title = w.title ? w.title : "";
    const char* author = w.author ? w.author : "";
    const char* mark = w.quoteMark ? w.quoteMark : "";
    std::string out;
    if (w.reply) {
        out += title;
        out += "\r\n";
        out += mark;
        out += "タイトル: ";
        out += title;
        out += "\r\n";
        if (*author) {
            out += mark;
            out += "発言者: ";
            out += author;
            out += "\r\n";
        }
    } else if (*title) {
        out += title;
        out += "\r\n";
    }
    if (w.text) {
        const char* p = w.text;
        bool started = !w.reply;   // a quote begins at the first non-empty line
        while (*p) {
            const char* line = p;
            while (*p && *p != '\n')
                p += (IsSjisLead((unsigned char)*p) && IsTrail(p[1])) ? 2 : 1;
            size_t len = (size_t)(p - line);
            if (*p == '\n')
                ++p;
            if (!started && len == 0)
                continue;
            started = true;
            if (w.reply)
                out += mark;
            out.append(line, len);
            out += "\r\n";
        }
    }
    if (!w.edit && w.signature) {
        out += "\r\n";
        out += *w.signature;
    }
    out += "\r\n";
    return out;
}

int Composer_WriteWorkFile(const char* path, const std::string& bytes)
{
    FILE* f = fopen(path, "wb");
    if (!f)
        return 0;
    size_t n = bytes.empty() ? 0 : fwrite(bytes.data(), 1, bytes.size(), f);
    int ok = n == bytes.size();
    if (fclose(f) != 0)
        ok = 0;
    return ok;
}

int Composer_ReadSignature(const char* store, std::string& out)
{
    out.clear();
    char folder[260];
    const char* name = Path_FileName(store ? store : "");
    Str_CopyN(folder, sizeof folder, store ? store : "", (size_t)(name - (store ? store : "")));
    char path[300];
    Str_Format(path, sizeof path, "%sSign.ini", folder);
    std::vector<char> buf;
    if (!File_ReadAll(path, buf))
        return 0;
    out.assign(buf.begin(), buf.end());
    return 1;
}

void Composer_CommandLine(const char* editor, const char* option, const char* workFile, char* out,
                          size_t size)
{
    if (option && *option)
        Str_Format(out, size, "\"%s\" %s \"%s\"", editor ? editor : "", option, workFile ? workFile : "");
    else
        Str_Format(out, size, "\"%s\" \"%s\"", editor ? editor : "", workFile ? workFile : "");
}

std::string Composer_NormalizeText(const char* p, size_t n)
{
    std::string out;
    out.reserve(n + 1);
    size_t i = 0;
    while (i < n) {
        unsigned char c = (unsigned char)p[i];
        if (c == '\r') {   // CR LF or a lone CR
            i += (i + 1 < n && p[i + 1] == '\n') ? 2 : 1;
            out += '\n';
        } else if (c == '\n') {   // LF or LF CR
            i += (i + 1 < n && p[i + 1] == '\r') ? 2 : 1;
            out += '\n';
        } else if (IsSjisLead(c) && i + 1 < n && IsTrail(p[i + 1])) {
            out.append(p + i, 2);
            i += 2;
        } else if (c == 0) {   // would end the stored text early
            out += ' ';
            ++i;
        } else {
            out += (char)c;
            ++i;
        }
    }
    // Trailing lines of only spaces and tabs go; the rest ends with LF.
    size_t end = out.size();
    for (;;) {
        size_t lineStart = end;
        while (lineStart > 0 && out[lineStart - 1] != '\n')
            --lineStart;
        bool blank = true;
        for (size_t k = lineStart; k < end; ++k)
            if (out[k] != ' ' && out[k] != '\t') {
                blank = false;
                break;
            }
        if (!blank)
            break;
        if (lineStart == 0) {
            end = 0;
            break;
        }
        end = lineStart - 1;   // drop the blank line and the LF before it
    }
    out.resize(end);
    if (!out.empty())
        out += '\n';
    return out;
}

int Composer_ReadWorkFile(const char* path, std::string& title, std::string& text)
{
    title.clear();
    text.clear();
    std::vector<char> buf;
    if (!File_ReadAll(path, buf))
        return 0;
    const char* p = buf.data();
    size_t n = buf.size();
    // The title: the first line, at most 500 bytes, without splitting a
    // double-byte character; a longer line goes on into the text.
    size_t i = 0;
    while (i < n && i < 500 && p[i] != '\r' && p[i] != '\n') {
        size_t step = (IsSjisLead((unsigned char)p[i]) && i + 1 < n && IsTrail(p[i + 1])) ? 2 : 1;
        if (i + step > 500)
            break;
        i += step;
    }
    title.assign(p, i);
    if (i < n && p[i] == '\r')
        i += (i + 1 < n && p[i + 1] == '\n') ? 2 : 1;
    else if (i < n && p[i] == '\n')
        ++i;
    text = Composer_NormalizeText(p + i, n - i);
    return 1;
}

uint16_t Composer_Date(const LocalTime& t)
{
    return (uint16_t)(((t.year - 1970) << 9) + (t.month << 5) + t.day);
}

uint16_t Composer_Time(const LocalTime& t)
{
    return (uint16_t)(t.hour * 60 + t.minute);
}

int Composer_AppendArticle(CSubj* subj, const ComposerSlot& slot, const std::string& title,
                           const std::string& text, const LocalTime& now)
{
    if (!subj || subj->IsReadOnly())
        return 0;
    SubjItem it;
    CSubj::InitItem(&it);
    it.msg = CSubj::AllocText(text.c_str(), text.size());
    if (!it.msg)
        return 0;
    it.title = subj->Atoms(CSubj::A_TITLE).Add(title.c_str());
    it.post = subj->Atoms(CSubj::A_POST).Add(slot.tmpl);
    it.no = slot.no < 0 ? subj->MakeIdNo(slot.noText) : slot.no;
    it.pno = slot.pno < 0 ? subj->MakeIdNo(slot.pnoText) : slot.pno;
    it.date = Composer_Date(now);
    it.time = Composer_Time(now);
    it.atr = ATR_U;
    return subj->Append(it) >= 0;
}
