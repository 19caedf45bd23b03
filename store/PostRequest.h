// Posting requests: a board's posting template ("POST,$C,name=$N&comment=$M")
// expanded with an article's and the board's values into method, URL and an
// URL-encoded form body.
#pragma once
#include <stddef.h>

struct PostRequest {
    char method[10];   // text before the first separating comma, cut at 9 bytes
    char url[262];     // text between the first two, cut at 261 bytes
    char* body;        // the rest, parts joined by "&"; owned, PostRequest_Free
};

void PostRequest_Init(PostRequest* request);   // empty fields, no body
void PostRequest_Free(PostRequest* request);   // frees the body

// Value of key name in the board settings, for "$(" name ")": copies at most
// size - 1 bytes into buf.
typedef void (*PostSettingFn)(void* context, const char* name, char* buf, unsigned size);

// The values a template's macros stand for. nullptr counts as empty.
struct PostMacros {
    const char* url;         // $C  board URL
    const char* upurl;       // $c  upload URL (empty: the board URL)
    const char* title;       // $T  article title
    const char* msg;         // $M  article text
    const char* name;        // $N
    const char* email;       // $E
    const char* hp;          // $H
    const char* key;         // $K
    const char* user;        // $U
    const char* pass;        // $P
    const char* param1;      // $1
    const char* param2;      // $2
    const char* listTitle;   // $#T
    const char* no;          // $Sn (never encoded)
    const char* pno;         // $Sr (never encoded)
    const char* charset;     // starting with "E": double-byte pairs go out as EUC-JP
    PostSettingFn setting;   // $(name); nullptr gives empty values
    void* settingContext;
};

enum { kPostNameMax = 19, kPostSettingMax = 259 };

// Expands tmpl into request (fields replaced; the old body is not freed).
// Returns 1, or 0 when the work buffer can't be allocated ("メモリ不足\n" to
// the debug output; the request is then empty without a body).
int Post_Build(const char* tmpl, const PostMacros& macros, PostRequest* request);

