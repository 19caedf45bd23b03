// The history of visited articles: a ring of 64 slots of (folder path,
// row); it holds the last 63 visits.
#pragma once

enum { HISTORY_SLOTS = 64 };

struct HistorySlot {
    char path[260];
    int row;
};

class CHistory {
public:
    CHistory();
    // Advances the current position (and the oldest, when it is reached),
    // stores the visit there and clears the slot after it.
    void Push(const char* path, int row);
    // The visit after / before the current one; 0 when there is none. On
    // success the current position moves there.
    int Next(HistorySlot* out);
    int Back(HistorySlot* out);
    int Recording() const { return m_recording; }
    void SetRecording(int on) { m_recording = on; }

private:
    HistorySlot m_slots[HISTORY_SLOTS];
    int m_current = 0, m_oldest = 0;
    int m_recording = 1;
};
