// Writes behind the caller: the caller fills one piece while a thread of its
// own writes the piece before it to a CAtomicFile, so that making the bytes
// and handing them to the system overlap. The thread starts with the second
// piece; a file made in one piece is written by the caller alone.
#pragma once
#include "base/fileio.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class CWriteBehind {
public:
    explicit CWriteBehind(CAtomicFile& file);
    ~CWriteBehind();   // waits for the thread; an unfinished file stays uncommitted
    CWriteBehind(const CWriteBehind&) = delete;
    CWriteBehind& operator=(const CWriteBehind&) = delete;

    // The piece to fill (one string object throughout); its size may be
    // grown as needed.
    std::string& Piece() { return m_fill; }
    // Hands over the first len bytes of the piece, which then holds another
    // buffer. 0 once a write has failed (the file is then given up).
    int Pass(size_t len);
    // Writes the first len bytes of the piece and waits for every write
    // before them; 1 when all of them succeeded.
    int Finish(size_t len);

private:
    void Run();
    void Stop();
    CAtomicFile& m_file;
    std::string m_fill, m_out;   // filled by the caller / being written
    size_t m_outLen;
    bool m_pending, m_stop, m_failed, m_started;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::thread m_thread;
};
