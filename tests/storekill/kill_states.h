// The loop of the kill test: a store goes round four states, by two merges
// and two rewrites, each saved with CSubj::Update. The child program walks
// the loop on a real file; the test knows the bytes of every state and
// checks that a killed child leaves one of them, whole.
#pragma once
#include "bench/store_gen.h"
#include "store/Subj.h"

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace killtest {

const int kStates = 4;
const char kStoreName[] = "001.zvt";
// Articles of state 0: over 1 MB, so that a save makes more than one piece
// and writes behind on its thread.
const uint32_t kBase = 3000;

inline storegen::Board TheBoard()
{
    return storegen::Board(77, false);
}

inline std::string Title(int state)
{
    return "kill " + std::to_string(state);
}

// State 0: kBase articles as the main program writes them.
inline std::string Base()
{
    return TheBoard().Store(kBase, 0, nullptr, Title(0).c_str());
}

// A plug-in's output: new articles, stored ones with O (replaced), with V
// (arriving read) and with D (deleted), and a title that names the state.
inline std::string Incoming(int state)
{
    storegen::Board board = TheBoard();
    std::string t;
    storegen::Board::Header(t, Title(state).c_str(), 0, 0);
    uint32_t from = state == 1 ? kBase : kBase + 150;
    for (uint32_t k = from; k < from + 150; ++k)
        board.Article(t, k, true, k % 10 == 0 ? "V" : "");
    for (uint32_t k = (uint32_t)state * 100; k < (uint32_t)state * 100 + 30; ++k)
        board.Article(t, k, true, "O");
    for (uint32_t k = (uint32_t)state * 300; k < (uint32_t)state * 300 + 20; ++k)
        board.Article(t, k, true, "D");
    if (state == 2)
        for (uint32_t k = kBase; k < kBase + 20; ++k)
            board.Article(t, k, true, "D");
    return t;
}

inline void Parse(CSubj& s, const std::string& text)
{
    std::vector<char> buf(text.size() + 2, 0);
    memcpy(buf.data() + 1, text.data(), text.size());
    s.ParseBuffer(buf.data(), text.size());
}

inline int StateOf(CSubj& s)
{
    for (int k = 0; k < kStates; ++k)
        if (Title(k) == s.Header().title)
            return k;
    return -1;
}

// One step of the loop on s, which holds state `from` (any other value:
// start over at state 0). A merge saves by itself; a rewrite calls Update.
// Returns the state reached in memory.
inline int Advance(CSubj& s, int from)
{
    switch (from) {
    case 0:
    case 1: {
        CSubj in;
        Parse(in, Incoming(from + 1));
        s.Merge(&in);
        return from + 1;
    }
    case 2:
        for (int i = 0; i < s.GetCount(); ++i)
            s.SetAtr(i, ATR_N, 0);
        s.SetTitle(Title(3).c_str());
        s.Update();
        return 3;
    default:
        s.ClearAll();
        Parse(s, Base());
        s.SetModified();
        s.Update();
        return 0;
    }
}

// The file bytes of every state.
inline std::vector<std::string> States()
{
    std::vector<std::string> out;
    CSubj s;   // no path: nothing is written
    Parse(s, Base());
    for (int k = 0; k < kStates; ++k) {
        std::string bytes;
        s.Serialize(bytes);
        out.push_back(bytes);
        Advance(s, k);
    }
    return out;
}

}  // namespace killtest
