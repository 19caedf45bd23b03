// The external-editor composer: a work file (title line, quoted text,
// signature) is prepared in the data folder, the user's editor is started on
// it, and EditorManThread stores the file as an unsent article of its store
// once the editor has ended. Up to 16 editors run at once.
//
// The work-file formatting and reading below are portable; starting and
// watching the editor process goes through IEditorLauncher, whose Win32
// implementation lives in Composer_win.cpp.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "base/clock.h"

class CSubj;
class CLockFile;

// The program options the composer reads, and the data folder.
struct ComposerSettings {
    char dataDir[260];        // data folder, with its trailing separator
    char editor[260];         // Editor
    char editorOption[260];   // EditorOption
    char quoteMark[80];       // QuoteMark
};
// Defaults: "notepad", no option, ">".
void ComposerSettings_Init(ComposerSettings* s, const char* dataDir);

// What the composer needs of the main window. The composer's thread calls
// these; OpenStorePath and RefreshTitleView are called while it holds the
// lock of the collection that OpenCollection returns.
//
// Thread contract: the composer's thread takes the store's path lock (the
// lock table) first and the collection's lock second; so does everyone
// else. While it holds them, these callbacks must not wait for the window
// thread: they read what the window thread changes only under the
// collection's lock (the collection pointer stays, its path changes under
// the lock) and post messages, never send them.
class IComposerHost {
public:
    virtual ~IComposerHost() {}
    // The collection the main window shows (nullptr when there is none).
    virtual CSubj* OpenCollection() = 0;
    // Path of the store open in the main window, "" when none is open.
    virtual const char* OpenStorePath() = 0;
    // An article was added to the open collection.
    virtual void RefreshTitleView() = 0;
};

// Starts and watches editor processes. A process is an opaque non-zero value.
class IEditorLauncher {
public:
    virtual ~IEditorLauncher() {}
    // Starts the command line in a new console without inherited handles;
    // 0 when it could not be started.
    virtual intptr_t Start(const char* commandLine) = 0;
    virtual int HasEnded(intptr_t process) = 0;
    virtual void Close(intptr_t process) = 0;
};
#ifdef _WIN32
// CreateProcessA / WaitForSingleObject / CloseHandle.
IEditorLauncher* EditorLauncher_System();
#endif

class CComposer;
#ifdef _WIN32
// Before the program exits: 1 when it may exit (no editor open, or the user
// answered Yes to the warning that open editors lose their work).
int Composer_ConfirmExit(void* ownerWindow, const CComposer& composer);
#endif

// One start of the composer. Texts may be nullptr for "none".
struct ComposeRequest {
    const char* store = nullptr;      // the .zvt file the article goes into
    const char* workFile = nullptr;   // an existing work file, or nullptr for a new one
    int32_t no = 0x7FFFFFFF;          // 2147483647 = none
    int32_t pno = 0x7FFFFFFF;
    const char* noText = nullptr;     // used when no is negative (identifier)
    const char* pnoText = nullptr;    // used when pno is negative
    const char* title = nullptr;
    const char* author = nullptr;
    const char* text = nullptr;
    const char* tmpl = nullptr;       // posting template stored with the article
    int reply = 0;
    int edit = 0;
};

struct ComposerSlot {
    std::atomic<intptr_t> process{0};   // 0 = the slot is free
    char store[260];
    char workFile[260];
    uint64_t workTime;
    uint64_t workSize;
    int edit;
    int32_t no, pno;
    char noText[260], pnoText[260];
    char title[260];
    char author[260];
    char tmpl[260];
    int failed;   // storing failed once already (logged)
};

class CComposer {
public:
    enum { kSlots = 16, kWorkFiles = 99, kPollMs = 200 };

    // host and lockFile may be nullptr (no open collection, no lock table).
    CComposer(const ComposerSettings& settings, IComposerHost* host, CLockFile* lockFile,
              IEditorLauncher* launcher);
    ~CComposer();   // stops the thread
    CComposer(const CComposer&) = delete;
    CComposer& operator=(const CComposer&) = delete;

    // Options changed (user-interface thread).
    void SetSettings(const ComposerSettings& settings);

    // Clears the slots, deletes the work files left from earlier runs and
    // starts EditorManThread.
    void StartUp();
    // Stops EditorManThread (running editors are left alone).
    void StopThread();

    // 1 when the editor was started, 0 otherwise.
    int Start(const ComposeRequest& request);
    // One look at every slot, as EditorManThread does every 200 ms; the
    // number of slots freed.
    int Poll();

    int IsBusy() const { return BusyCount() > 0; }
    int BusyCount() const;
    const ComposerSlot& Slot(int i) const { return m_slots[i]; }

private:
    // Stores the result of a finished slot. 0 when the store can't be had
    // right now (the slot stays busy and is tried again).
    int Finish(ComposerSlot& slot);
    int StoreInto(ComposerSlot& slot, CSubj* subj);
    void ThreadMain();

    ComposerSettings m_settings;
    IComposerHost* m_host;
    CLockFile* m_lockFile;
    IEditorLauncher* m_launcher;
    ComposerSlot m_slots[kSlots];
    std::mutex m_startMutex;
    std::mutex m_pollMutex;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};

// ---- Work files (portable) ----

// "%s作業ファイル%03d.txt" in the data folder.
void Composer_WorkFilePath(const char* dataDir, int n, char* out, size_t size);
// Creates the first of the 99 work files that does not exist yet (as a new,
// empty file) and gives its path; 0 when none can be created.
int Composer_NewWorkFile(const char* dataDir, char* path, size_t size);
// Deletes the work files 000 to 098; the number deleted.
int Composer_DeleteWorkFiles(const char* dataDir);

// What goes into a work file.
struct WorkFileText {
    int reply = 0;
    int edit = 0;
    const char* title = "";      // trailing blanks already removed
    const char* author = "";
    const char* text = nullptr;
    const char* quoteMark = ">";
    const std::string* signature = nullptr;   // nullptr: no signature file
};
std::string Composer_FormatWorkFile(const WorkFileText& w);
// Replaces the file's content; 1 or 0.
int Composer_WriteWorkFile(const char* path, const std::string& bytes);
// "%sSign.ini" in the store's folder: 1 with its bytes, 0 when it is missing.
int Composer_ReadSignature(const char* store, std::string& out);
// `"Editor" [EditorOption] "work file"`.
void Composer_CommandLine(const char* editor, const char* option, const char* workFile, char* out,
                          size_t size);
// Copies s without its trailing spaces and tabs (bounded by size).
void Composer_TrimTitle(const char* s, char* out, size_t size);

// The work file read back: title (first line, at most 500 bytes, cut at CR
// or LF) and text (line ends made LF, trailing blank lines removed, ending
// with LF). 0 when the file can't be read.
int Composer_ReadWorkFile(const char* path, std::string& title, std::string& text);
std::string Composer_NormalizeText(const char* p, size_t n);

// Date and time of an article, coded as the store keeps them.
uint16_t Composer_Date(const LocalTime& t);
uint16_t Composer_Time(const LocalTime& t);

// Appends the article read from the slot's work file to subj: flags U only,
// the slot's template, numbers or identifier texts from the slot, the given
// local time. 1 when it was added.
int Composer_AppendArticle(CSubj* subj, const ComposerSlot& slot, const std::string& title,
                           const std::string& text, const LocalTime& now);
