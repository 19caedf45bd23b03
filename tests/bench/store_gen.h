// Realistic article stores for benchmarks and load tests: Shift-JIS titles,
// names and texts, messages of 1 to 30 lines, replies quoting their parent,
// mail and home-page fields on some articles, and boards that name their
// articles by identifier text instead of numbers. Every article is a pure
// function of (seed, serial), so a plug-in's copy of a stored article can be
// made again byte for byte.
#pragma once
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <string>

namespace storegen {

// splitmix64: small, fast and the same on every machine.
class Rng {
public:
    explicit Rng(uint64_t seed) : m_s(seed) {}
    uint64_t Next()
    {
        uint64_t z = (m_s += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    uint32_t Below(uint32_t n) { return n ? (uint32_t)(((Next() >> 32) * n) >> 32) : 0; }
    bool Percent(uint32_t p) { return Below(100) < p; }

private:
    uint64_t m_s;
};

namespace words {
// Source text is UTF-8; the build turns every literal into Shift-JIS.
inline const char* const kTitle[] = {
    "雑談", "質問", "報告", "お知らせ", "新製品", "旅行", "料理", "映画の感想", "今日の出来事",
    "プログラム", "パソコン", "携帯電話", "ゲーム", "音楽", "読書", "天気", "掲示板", "不具合",
    "初心者です", "教えてください", "ありがとう", "久しぶり", "週末の予定", "東京", "大阪", "北海道",
};
inline const char* const kName[] = {
    "名無しさん", "山田太郎", "鈴木", "佐藤花子", "たなか", "ななし", "管理人", "通りすがり",
    "ぽち", "hiro", "ken", "Yuki", "ＡＢＣ", "やまもと", "初心者", "常連",
};
inline const char* const kPhrase[] = {
    "こんにちは。", "今日はいい天気ですね。", "よろしくお願いします。", "どうでしょうか？",
    "私もそう思います。", "ありがとうございました。", "昨日の件ですが、", "なるほど、",
    "試してみたところ、", "うまく動きました。", "エラーが出ます。", "設定を見直してください。",
    "ＵＲＬはこちらです。", "また来ます。", "詳しくは下記を参照。", "ちょっと違うかも。",
    "漢字とかなの混じった文章", "半角ｶﾀｶﾅも少し", "全角　空白　入り", "（笑）", "。。。",
    "version 1.2 ", "OK ", "http://www.example.jp/ ", "2004年5月6日", "12:34 ",
};
inline const char* const kMail[] = {"sage", "age", "user@example.jp", "taro@example.ne.jp"};
inline const char* const kHome[] = {"http://www.example.jp/~taro/", "http://homepage.example.ne.jp/"};
}  // namespace words

template <size_t N>
inline const char* Pick(Rng& r, const char* const (&list)[N])
{
    return list[r.Below((uint32_t)N)];
}

// A board: numbered articles from firstNo on, or articles named by
// identifier text.
class Board {
public:
    Board(uint64_t seed, bool identifiers, int32_t firstNo = 1000)
        : m_seed(seed), m_ids(identifiers), m_firstNo(firstNo)
    {
    }
    bool Identifiers() const { return m_ids; }

    // Number field of article k ("%d" or the S form).
    void Number(std::string& out, uint32_t k) const
    {
        if (m_ids) {
            static const char kAlnum[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
            Rng r(m_seed * 31 + k + 0x1D);
            out += 'S';
            for (int i = 0; i < 10; ++i)
                out += kAlnum[r.Below(62)];
        } else {
            char buf[16];
            snprintf(buf, sizeof buf, "%ld", (long)(m_firstNo + (int64_t)k));
            out += buf;
        }
    }

    // Parent of article k, or -1 for a thread root.
    int64_t Parent(uint32_t k) const
    {
        Rng r(Seed(k) ^ 0xABCDEF);
        if (k == 0 || !r.Percent(45))
            return -1;
        uint32_t back = 1 + r.Below(k < 300 ? k : 300);
        return (int64_t)k - back;
    }

    // The record of article k as the main program writes it (stored marks
    // and a colour on some) or, with plugin set, as a plug-in delivers it
    // (no marks, no colour; extraFlags as given).
    void Article(std::string& out, uint32_t k, bool plugin = false, const char* extraFlags = "") const
    {
        Rng r(Seed(k));
        out += "S:";
        Number(out, k);
        out += ',';
        int64_t parent = Parent(k);
        if (parent >= 0)
            Number(out, (uint32_t)parent);
        else
            out += '*';
        // About 150 articles a day from 2003 on.
        int day = (int)(k / 150);
        int y, m, d;
        Civil(day, &y, &m, &d);
        uint32_t minute = (uint32_t)((uint64_t)(k % 150) * 1440 / 150) + r.Below(9);
        char buf[64];
        snprintf(buf, sizeof buf, ",%02d/%02d/%02d,%2d:%02d,", y % 100, m, d, (int)(minute / 60) % 24,
                 (int)(minute % 60));
        out += buf;
        // The marks are drawn either way, so that both forms of an article
        // carry the same fields.
        bool unread = r.Percent(8), patrol = r.Percent(1), label = r.Percent(3);
        if (!plugin && unread)
            out += 'N';
        if (!plugin && patrol)
            out += 'R';
        out += extraFlags;
        out += ',';
        if (!plugin && label)
            out += "0000FF";
        out += '\n';

        out += "T:";
        if (parent >= 0)
            out += "Re: ";
        BaseTitle(out, parent >= 0 ? (uint32_t)parent : k);
        out += "\nN:";
        out += Pick(r, words::kName);
        if (r.Percent(3))
            out += (char)('0' + r.Below(10));
        out += '\n';
        if (r.Percent(30)) {
            out += "E:";
            out += Pick(r, words::kMail);
            out += '\n';
        }
        if (r.Percent(5)) {
            out += "H:";
            out += Pick(r, words::kHome);
            out += '\n';
        }
        if (r.Percent(2)) {
            snprintf(buf, sizeof buf, "I:img/%u.jpg\n", (unsigned)(k % 97));
            out += buf;
        }
        out += "M:";
        // Mostly short texts, some long ones: 1 to 30 lines.
        uint32_t lines = 1 + (r.Percent(70) ? r.Below(10) : r.Below(30));
        if (parent >= 0 && lines > 1) {
            out += "> ";
            Rng quoted(Seed((uint32_t)parent));
            Line(out, quoted);
            out += '\n';
            --lines;
        }
        for (uint32_t i = 0; i < lines; ++i) {
            if (i > 0 && i + 1 < lines && r.Percent(8)) {
                out += '\n';   // an empty line between paragraphs
                continue;
            }
            Line(out, r);
            out += '\n';
        }
        out += ".\n";
    }

    // Header block as the main program writes it.
    static void Header(std::string& out, const char* title, int unread, int patrol)
    {
        char buf[400];
        snprintf(buf, sizeof buf, "#T:%s\n#N:%d\n#U:0\n#B:0\n#R:%d\n#F:\n#P:\n", title, unread, patrol);
        out += buf;
    }

    // A whole store of articles 0 .. n-1, or of as many as reach maxBytes.
    std::string Store(uint32_t n, size_t maxBytes = 0, uint32_t* made = nullptr,
                      const char* title = "ベンチマーク用の掲示板") const
    {
        std::string body;
        if (maxBytes)
            body.reserve(maxBytes + 4096);
        int unread = 0, patrol = 0;
        uint32_t k = 0;
        for (; maxBytes ? body.size() < maxBytes : k < n; ++k) {
            size_t at = body.size();
            Article(body, k);
            const char* flags = strchr(body.c_str() + at + 2, ',');
            flags = strchr(flags + 1, ',');
            flags = strchr(flags + 1, ',');
            flags = strchr(flags + 1, ',') + 1;
            for (; *flags != ','; ++flags) {
                unread += *flags == 'N';
                patrol += *flags == 'R';
            }
        }
        if (made)
            *made = k;
        std::string out;
        out.reserve(body.size() + 512);
        Header(out, title, unread, patrol);
        out += body;
        return out;
    }

private:
    uint64_t Seed(uint32_t k) const { return m_seed * 0x100000001B3ULL + k; }

    void BaseTitle(std::string& out, uint32_t k) const
    {
        Rng r(Seed(k) ^ 0x7777);
        out += Pick(r, words::kTitle);
        if (r.Percent(50)) {
            out += "について";
        }
        if (r.Percent(30)) {
            char buf[16];
            snprintf(buf, sizeof buf, " (%u)", (unsigned)(k % 50));
            out += buf;
        }
    }

    static void Line(std::string& out, Rng& r)
    {
        uint32_t parts = 1 + r.Below(4);
        for (uint32_t i = 0; i < parts; ++i)
            out += Pick(r, words::kPhrase);
    }

    // Days since 2003-01-01 to a calendar date.
    static void Civil(int day, int* y, int* m, int* d)
    {
        static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        int year = 2003;
        for (;;) {
            int len = (year % 4 == 0) ? 366 : 365;
            if (day < len)
                break;
            day -= len;
            ++year;
        }
        int month = 0;
        for (;; ++month) {
            int len = kDays[month] + (month == 1 && year % 4 == 0);
            if (day < len)
                break;
            day -= len;
        }
        *y = year;
        *m = month + 1;
        *d = day + 1;
    }

    uint64_t m_seed;
    bool m_ids;
    int32_t m_firstNo;
};

}  // namespace storegen
