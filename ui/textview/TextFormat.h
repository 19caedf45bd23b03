// What the text and header views decide, apart from the window: the ranges
// of quoted lines and search hits in the rich-edit control's character
// positions, the header strip's two lines, and the placeholder expansion of
// article text templates (reply titles). Portable; tested natively.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

class CSubj;

// A run of characters [start, end) in the control's positions: a Shift-JIS
// double-byte character counts as one, and so does a CR LF pair (the
// control keeps one paragraph mark for it). A lead byte at the very end of
// the text is one character.
struct TextRange {
    int start, end;
};

// Number of character positions of text[0, len).
int TextFormat_CharCount(const char* text, size_t len);

// Quoted lines: a line (at the start of the text or after an LF) that
// begins with ">" or with the double-byte "＞". Each range covers the line
// up to, not including, its LF; a last line without LF up to the text end.
void TextFormat_QuoteRanges(const char* text, size_t len, std::vector<TextRange>* out);

// Plain search hits: every character start where the text begins with the
// search text's first byte and goes on with the rest of it compared without
// regard to the case of ASCII letters (double-byte characters compare
// exactly). Overlapping or touching hits come merged into one range. An
// empty search text has no hits.
void TextFormat_PlainHits(const char* text, size_t len, const char* search, std::vector<TextRange>* out);

// The regular-expression library as the highlighter uses it: finds the
// first match in [start, end) and reports it as byte pointers within that
// span; returns 0 when there is none.
class CTextMatcher {
public:
    virtual ~CTextMatcher() {}
    virtual int Find(const char* start, const char* end, const char** matchStart, const char** matchEnd) = 0;
};

// Regular-expression hits: matched again and again from the end of the
// previous match (an empty match moves on by one character), in order.
void TextFormat_RegexHits(const char* text, size_t len, CTextMatcher* matcher, std::vector<TextRange>* out);

// The text as rich text for the control, in one piece (setting the text and
// then formatting range by range costs the control a walk from the start
// for every range): quote ranges in colour 1, hits bold in colour 2 on
// colour 3; colours as 0x00BBGGRR. Every byte of 0x80 and above and every
// control byte is written as a hexadecimal escape and read back through
// code page 932; LF, CR LF and CR end paragraphs.
std::string TextFormat_Rtf(const char* text, size_t len, const std::vector<TextRange>& quotes,
                           const std::vector<TextRange>& hits, uint32_t quoteColor, uint32_t hitText,
                           uint32_t hitBack);

// The header strip's lines: "タイトル： %s  %s" (title, home page) and
// "発言者： %s%s    日付： %s" (name; " <e-mail>" or nothing; date and time).
// Each value is taken up to 1024 bytes, never cutting a character.
void TextFormat_HeaderLines(const char* title, const char* name, const char* email, const char* hp,
                            const char* dateTime, std::string* line1, std::string* line2);

// The HTML view's "tmp.html": the text unchanged inside a PRE element, with
// the base address dir (the shown store's folder, ending with its
// backslash).
std::string TextFormat_HtmlPage(const char* dir, const char* text);
// The folder part of a path up to and including its last backslash ("" when
// there is none); a backslash is never taken from inside a character.
std::string TextFormat_FolderOf(const char* path);

// Copies at most size - 1 bytes of src without cutting a double-byte
// character; returns the bytes copied. size 0 writes nothing.
size_t TextFormat_CopyChars(char* dst, size_t size, const char* src);

// Values of an article's placeholders: s_no, s_pno, s_title, s_msg, s_name,
// s_email, s_hp, s_image (nullptr = empty).
struct PlaceholderValues {
    const char* no;
    const char* pno;
    const char* title;
    const char* msg;
    const char* name;
    const char* email;
    const char* hp;
    const char* image;
};

// Expands a template: "%name%" (a name of at most 20 bytes) becomes the
// value, an unknown name nothing; "%%" is one "%". A "%" that no other "%"
// closes within 20 bytes stays as it is.
std::string Placeholder_Expand(const char* tmpl, const PlaceholderValues& values);
// The same with the values of article index of the collection.
std::string Placeholder_ExpandArticle(const char* tmpl, CSubj& subj, int index);

// The template of a reply's title: "%s_title%" when the parent's title
// starts with "re:" in any case, else replyHeader (the ReplyHeader option)
// unless it is empty, else "RE: %s_title%".
const char* Placeholder_ReplyTemplate(const char* parentTitle, const char* replyHeader);
