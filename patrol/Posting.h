// Posting of the articles that wait in a board's stores: the first step of a
// board's patrol. Due articles are posted by HTTP (through CHttpPoster) and
// moved to "送信済み.zvt", or, when their template's method is "LIB", handed
// to the plug-in in the store's ".zvw" file; articles flagged for fetching are
// listed in "ReadList.tmp".
//
// No article is lost or sent twice on a failed write: "送信済み.zvt" and the
// hand-over file are saved before the store the articles left. A posted
// article that "送信済み.zvt" can't take stays in its store, no longer due;
// one the hand-over file can't take stays due. A due article found already
// in "送信済み.zvt" or the hand-over file (its store's save failed after
// them) is taken out of the store instead of being sent again.
#pragma once
#include <stddef.h>

#include <atomic>

class CPluginStatusSink;
class CStoreNotify;

// Sleeps for the status texts that stay visible a while; tests pass their own.
typedef void (*PostSleepFn)(unsigned ms);

// One HTTP POST of a form body. Shows its progress and failures in row,
// writes the response log, and returns 1 when the post succeeded.
class CHttpPoster {
public:
    virtual ~CHttpPoster() {}
    virtual int Post(CPluginStatusSink* row, const char* logPath, const char* url, const char* body,
                     const char* user, const char* pass) = 0;
};

// Saves the store that the main window shows (written only if it changed).
class COpenStoreSaver {
public:
    virtual ~COpenStoreSaver() {}
    virtual void SaveOpenStore() = 0;
};

struct PostingContext {
    CPluginStatusSink* row = nullptr;         // the board's row; may be nullptr
    CStoreNotify* notify = nullptr;           // may be nullptr
    CHttpPoster* poster = nullptr;            // nullptr: nothing is posted by HTTP
    COpenStoreSaver* openStore = nullptr;     // may be nullptr
    const std::atomic<int>* cancel = nullptr; // read before each article
    PostSleepFn sleep = nullptr;              // nullptr: Clock_SleepMs
};

struct PostingResult {
    int posted = 0;       // posted by HTTP and saved into "送信済み.zvt"
    int handedOver = 0;   // saved into hand-over files
    int failed = 0;       // posts that failed (the articles stay due)
};

// Posts the waiting articles of the board folder (ending with a path
// separator). Returns 1 when the folder holds stores, 0 when it holds none.
int Patrol_PostArticles(const char* boardFolder, const PostingContext& ctx, PostingResult* result = nullptr);

// Judges a response by its HTML comments: each "<!--" up to the next "-->"
// (or the end of what was read). A comment whose text holds "ERROR:" shows
// the text after "ERROR:" up to the comment's end in row, waits two seconds
// and marks the post failed. Returns 1 for success, 0 for failure.
int Post_JudgeResponse(const char* data, size_t size, CPluginStatusSink* row, PostSleepFn sleep);

// Shows text in row (if any) and, when waitMs is not 0, waits that long.
void Post_ShowStatus(CPluginStatusSink* row, const char* text, unsigned waitMs, PostSleepFn sleep);

enum {
    POST_STATUS_WAIT_MS = 2000,     // failure texts stay visible this long
    POST_READLIST_WAIT_MS = 1000,   // "巡回リスト作成失敗"
    POST_RESPONSE_MAX = 3000,       // bytes of a response read, judged and logged
};
