// Helpers of the patrol engine tests: a data folder of boards, and fakes of
// the progress list and of the platform services that record what the
// engine did, in order.
#pragma once
#include "base/clock.h"
#include "base/fileio.h"
#include "base/sjis.h"
#include "patrol/Patrol.h"
#include "patrol/StoreNotify.h"
#include "pluginhost/PluginRun.h"
#include "store/Profile.h"
#include "store/Subj.h"
#include "store/subj_testutil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace patroltest {

#ifdef _WIN32
const char kSep = '\\';
#else
const char kSep = '/';
#endif
const char kSent[] = "送信済み.zvt";

// A data folder; boards and plain folders below it.
class Tree {
public:
    std::string Root() const { return m_dir.Path() + kSep; }
    // Folder path (ending with the separator) of a relative path "a/b".
    std::string Folder(const std::string& rel) const
    {
        std::string p = Root();
        for (char c : rel)
            p += c == '/' ? kSep : c;
        return p + kSep;
    }
    void MakeFolder(const std::string& rel)
    {
        std::string p = Root();
        for (char c : rel + "/") {
            if (c == '/')
                Dir_Create(p.c_str());
            p += c == '/' ? kSep : c;
        }
    }
    // A folder with "zeva_BBS.ini": BBSFOLDER (when >= 0), URL and LIB.
    void Board(const std::string& rel, int bbsFolder, const std::string& url = "http://127.0.0.1/x",
               const std::string& lib = "ZVT")
    {
        MakeFolder(rel);
        std::string ini = "[BASIC]\r\n";
        if (!lib.empty())
            ini += "LIB=" + lib + "\r\n";
        if (!url.empty())
            ini += "URL=" + url + "\r\n";
        if (bbsFolder >= 0)
            ini += "BBSFOLDER=" + std::to_string(bbsFolder) + "\r\n";
        Put(rel + "/zeva_BBS.ini", ini);
    }
    void Put(const std::string& relFile, const std::string& bytes)
    {
        ASSERT_TRUE(subjtest::WriteBytes(File(relFile), bytes)) << relFile;
    }
    std::string File(const std::string& relFile) const
    {
        std::string p = Root();
        for (char c : relFile)
            p += c == '/' ? kSep : c;
        return p;
    }
    std::string Read(const std::string& relFile) const { return subjtest::ReadBytes(File(relFile)); }
    bool Has(const std::string& relFile) const { return File_Exists(File(relFile).c_str()) != 0; }
    int Marks(const std::string& rel) const { return Ini(rel, "BBSFOLDER", -1); }
    int Ini(const std::string& rel, const char* key, int def) const
    {
        CProfile ini;
        ini.Open(File(rel + "/zeva_BBS.ini").c_str());
        ini.SetSection("BASIC");
        return ini.GetInt(key, def);
    }
    std::string IniText(const std::string& rel, const char* key) const
    {
        CProfile ini;
        ini.Open(File(rel + "/zeva_BBS.ini").c_str());
        ini.SetSection("BASIC");
        char buf[600];
        ini.GetString(key, buf, sizeof buf, "<none>");
        return buf;
    }

private:
    subjtest::TempDir m_dir;
};

// ZVT text of a store with correct header counts.
inline std::string Zvt(const std::string& text)
{
    CSubj s;
    subjtest::Parse(s, text);
    return subjtest::Written(s);
}

inline std::string Article(int no, const std::string& flags, const std::string& title)
{
    return "S:" + std::to_string(no) + ",*,04/05/06,12:00" + (flags.empty() ? "" : "," + flags) + "\nT:" + title +
           "\nN:nm\nM:body\n.\n";
}

inline std::vector<std::string> Titles(const std::string& path)
{
    std::vector<std::string> out;
    CSubj s;
    s.LoadFile(path.c_str());
    for (int i = 0; i < s.GetCount(); ++i)
        out.push_back(s.GetTitle(i));
    return out;
}

// The progress list: rows, and every event in order ("insert NAME",
// "text NAME TEXT", "end", "title TEXT").
class FakeView : public CPatrolView {
public:
    struct Row {
        std::string name, text;
    };
    int InsertRow(const char* name, const char* status) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        rows.push_back(Row{name, status ? status : ""});
        events.push_back(std::string("insert ") + name);
        int row = (int)rows.size() - 1;
        if (onInsert)
            onInsert(row);
        return row;
    }
    void SetRowText(int row, const char* text) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        rows[row].text = text;
        events.push_back("text " + rows[row].name + " " + text);
    }
    std::string GetRowText(int row) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return rows[row].text;
    }
    void ShowEnd() override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        rows.push_back(Row{"終了しました", ""});
        events.push_back("end");
    }
    void SetTitle(const char* text) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        events.push_back(std::string("title ") + text);
    }
    void RequestClose() override { ++closeRequests; }

    std::string TextOf(const std::string& name)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const Row& r : rows)
            if (r.name == name)
                return r.text;
        return "<no row>";
    }
    int RowCount()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return (int)rows.size();
    }

    std::vector<Row> rows;
    std::vector<std::string> events;
    std::function<void(int)> onInsert;   // called under the list's own lock
    std::atomic<int> closeRequests{0};

private:
    std::mutex m_mutex;
};

class RecordingNotify : public CStoreNotify {
public:
    void AboutToChange(const char* path) override
    {
        std::lock_guard<std::mutex> lock(m);
        log.push_back("before " + std::string(Path_FileName(path)));
    }
    void Changed(const char* path, int flag) override
    {
        std::lock_guard<std::mutex> lock(m);
        log.push_back("after " + std::string(Path_FileName(path)) + " " + std::to_string(flag));
    }
    std::mutex m;
    std::vector<std::string> log;
};

// What a fake plug-in does for a board (by board name).
struct FakePlugin {
    bool startFails = false;     // the process can't be created
    std::string output;          // ZVT text left as "<name>.zv$" ("" = none)
    std::string outputName = "store.zv$";
    std::vector<std::string> lines;   // status lines shown
    bool waitForCancel = false;  // runs until the patrol is cancelled
    unsigned runMs = 0;          // runs this long
};

class FakeHost : public CPatrolHost {
public:
    CPatrolRun* CreateRun(const char* boardFolder, const char* errorLogPath) override;
    int SystemProxy(char* out, size_t size) override
    {
        if (systemProxy.empty())
            return 0;
        Str_Copy(out, size, systemProxy.c_str());
        return 1;
    }
    void StopSound() override { Log("stop sound"); }
    void PlayWave(const char* path) override { Log(std::string("play ") + path); }
    void RefreshFolderView() override { Log("refresh"); }
    void HangUp() override { Log("hang up"); }
    CStoreNotify* Notify() override { return &notify; }

    void Log(const std::string& e)
    {
        std::lock_guard<std::mutex> lock(m);
        events.push_back(e);
    }
    std::vector<std::string> Events()
    {
        std::lock_guard<std::mutex> lock(m);
        return events;
    }

    std::map<std::string, FakePlugin> plugins;   // by board name
    std::string systemProxy;
    RecordingNotify notify;
    std::atomic<int> running{0};
    std::atomic<int> maxRunning{0};
    std::mutex m;
    std::vector<std::string> events;
    std::vector<std::string> errorLogs;
    std::vector<std::string> types;
};

class FakeRun : public CPatrolRun {
public:
    FakeRun(FakeHost* host, const std::string& folder) : m_host(host), m_folder(folder) {}
    int LaunchAndWatch(const char* typeName, CPluginStatusSink* row, const std::atomic<int>* cancel) override
    {
        char name[260];
        Patrol_BoardName(name, sizeof name, m_folder.c_str());
        FakePlugin p = m_host->plugins[name];
        {
            std::lock_guard<std::mutex> lock(m_host->m);
            m_host->types.push_back(typeName ? typeName : "<null>");
        }
        if (p.startFails)
            return 0;
        m_host->Log(std::string("run ") + name);
        int now = ++m_host->running;
        int seen = m_host->maxRunning.load();
        while (now > seen && !m_host->maxRunning.compare_exchange_weak(seen, now)) {
        }
        for (const std::string& l : p.lines)
            row->ShowStatus(l.c_str());
        uint32_t start = Clock_TickMs();
        while ((p.waitForCancel && !*cancel && Clock_TickMs() - start < 10000) ||
               (Clock_TickMs() - start < p.runMs))
            Clock_SleepMs(10);
        if (!p.output.empty())
            subjtest::WriteBytes(m_folder + p.outputName, p.output);
        --m_host->running;
        m_host->Log(std::string("done ") + name);
        return 1;
    }

private:
    FakeHost* m_host;
    std::string m_folder;
};

inline CPatrolRun* FakeHost::CreateRun(const char* boardFolder, const char* errorLogPath)
{
    {
        std::lock_guard<std::mutex> lock(m);
        errorLogs.push_back(errorLogPath);
    }
    subjtest::WriteBytes(errorLogPath, "");
    return new FakeRun(this, boardFolder);
}

// Waits (polling) until the engine's patrol thread has ended.
inline bool WaitPatrolEnd(CPatrolEngine& engine, unsigned ms = 20000)
{
    return engine.WaitEnd(ms) != 0;
}

}  // namespace patroltest
