#include "base/writebehind.h"

#include <new>

CWriteBehind::CWriteBehind(CAtomicFile& file)
    : m_file(file), m_outLen(0), m_pending(false), m_stop(false), m_failed(false), m_started(false)
{
}

CWriteBehind::~CWriteBehind()
{
    Stop();
}

void CWriteBehind::Run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_cv.wait(lock, [this] { return m_pending || m_stop; });
        if (!m_pending)
            return;
        lock.unlock();
        // The caller does not touch m_out or the file while a piece is pending.
        bool ok = m_file.Write(m_out.data(), m_outLen) != 0;
        lock.lock();
        if (!ok)
            m_failed = true;
        m_pending = false;
        m_cv.notify_all();
    }
}

void CWriteBehind::Stop()
{
    if (!m_started)
        return;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait(lock, [this] { return !m_pending; });
        m_stop = true;
        m_cv.notify_all();
    }
    m_thread.join();
    m_started = false;
}

int CWriteBehind::Pass(size_t len)
{
    if (!m_started && !m_failed) {
        try {
            m_thread = std::thread(&CWriteBehind::Run, this);
            m_started = true;
        } catch (...) {
            // No thread to be had: the caller writes every piece itself.
        }
        if (!m_started) {
            if (!m_file.Write(m_fill.data(), len))
                m_failed = true;
            return m_failed ? 0 : 1;
        }
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait(lock, [this] { return !m_pending; });
    if (m_failed)
        return 0;
    m_out.swap(m_fill);
    m_outLen = len;
    m_pending = true;
    m_cv.notify_all();
    try {
        if (m_fill.size() < m_out.size())
            m_fill.resize(m_out.size());
    } catch (const std::bad_alloc&) {
        // No room for the next piece: the file is given up.
        m_failed = true;
        return 0;
    }
    return 1;
}

int CWriteBehind::Finish(size_t len)
{
    Stop();
    if (m_failed)
        return 0;
    return m_file.Write(m_fill.data(), len);
}
