// A critical section: recursive, like the Win32 one it stands for.
#pragma once
#include <mutex>

class CCritSec {
public:
    void Enter() { m_mutex.lock(); }
    void Leave() { m_mutex.unlock(); }

private:
    std::recursive_mutex m_mutex;
};

class CCritSecHold {
public:
    explicit CCritSecHold(CCritSec& cs) : m_cs(cs) { m_cs.Enter(); }
    ~CCritSecHold() { m_cs.Leave(); }
    CCritSecHold(const CCritSecHold&) = delete;
    CCritSecHold& operator=(const CCritSecHold&) = delete;

private:
    CCritSec& m_cs;
};
