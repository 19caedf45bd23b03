/*
 * BREGEXP.DLL — regular expressions for Shift-JIS text (Perl syntax, built on
 * Oniguruma). The program loads the DLL by name and takes the six exports
 * below with GetProcAddress; the function-pointer types are given for that.
 *
 * Calling convention: __cdecl, exported undecorated ("BMatch", ...).
 *
 * Pattern strings are written the Perl way, with a delimiter of the caller's
 * choice (any ASCII punctuation; "/" is usual):
 *
 *   BMatch, BSplit   "/regexp/flags"   (a leading "m" is allowed: "m#re#k")
 *   BSubst           "s/regexp/replacement/flags"
 *   BTrans           "tr/from-list/to-list/flags"  (also "y/.../.../")
 *
 * For "/re/flags" the regexp runs to the LAST delimiter, so a search text
 * holding the delimiter itself ("/a/b/km") needs no escaping.
 *
 * Flags: k  Shift-JIS text (double-byte characters are single characters;
 *           without k every byte is a character of its own)
 *        m  multi-line: ^ and $ match at every line start and end
 *        s  . also matches a line feed
 *        i  ignore case          x  extended (blanks and #comments ignored)
 *        g  BSubst: every match; BTrans: ignored
 *        d, s (BTrans only): delete unmatched, squeeze repeats
 *
 * Every call takes the address of a handle (BREGEXP_HANDLE*, NULL at
 * first). The call compiles the pattern into a new handle when *handle is
 * NULL or holds a different pattern text (the old one is released), and
 * reuses *handle unchanged when its pattern text is the same byte for byte.
 * The caller releases a handle with BRegfree once it is done with it.
 *
 * msg is the caller's buffer of BREGEXP_MSG_SIZE (256) bytes. It is set to
 * the empty string on success and to a NUL-terminated message (cut to fit)
 * when the pattern cannot be compiled or the match gave up.
 *
 * Results: BMatch returns 1 for a match and 0 otherwise. An error (the
 * pattern does not compile, a bad delimiter or flag, the search exceeded its
 * backtracking limit) also returns 0 — never a non-zero value — with the
 * reason in msg, so a caller that tests the result for non-zero never takes
 * an error for a match. After an error *handle is NULL unless an earlier
 * handle of the same pattern was given.
 */
#ifndef ZEVA_OUTSIDE_BREGEXP_H
#define ZEVA_OUTSIDE_BREGEXP_H

#ifdef __cplusplus
extern "C" {
#endif

#ifdef _WIN32
#define BREGEXP_CALL __cdecl
#else
#define BREGEXP_CALL
#endif
#define BREGEXP_MSG_SIZE 256

/* What a handle points to. The library owns every field; a caller reads. */
typedef struct BRegexpHandle {
    /* The pattern string as passed to the call that compiled this handle,
       NUL-terminated ("/abc/km"). A cache compares it with strcmp to find
       the handle of a pattern it has compiled before. */
    const char *pattern;
    int patternLength;            /* strlen(pattern) */

    /* Match positions of the last match found by the last call (for
       BSubst and BSplit the last one they used): groupCount + 1 entries,
       [0] the whole match, [n] group n. They point into the caller's text
       (end = one past the last byte); a group that took no part in the
       match has NULL in both. A BMatch that finds nothing leaves
       matchStart and matchEnd NULL and groupCount 0. */
    int groupCount;
    const char **matchStart;
    const char **matchEnd;

    /* BSubst and BTrans: the resulting text (owned by the handle, valid
       until the next call with this handle), NUL-terminated; outEnd points
       at the terminating NUL. NULL when the call changed nothing. */
    const char *out;
    const char *outEnd;

    /* BSplit: splitCount pieces as 2 * splitCount pointers into the
       caller's text, start and end of each piece, followed by NULL. */
    int splitCount;
    const char **split;

    void *internal;               /* the library's own state */
} BRegexpHandle;

typedef BRegexpHandle *BREGEXP_HANDLE;

/* 1 when the text [text, textEnd) matches, else 0 (see above). */
int BREGEXP_CALL BMatch(const char *pattern, const char *text, const char *textEnd,
                        BREGEXP_HANDLE *handle, char *msg);

/* Number of replacements made (0: none, or an error with msg set); the
   result text is in (*handle)->out when the number is above 0. */
int BREGEXP_CALL BSubst(const char *pattern, const char *text, const char *textEnd,
                        BREGEXP_HANDLE *handle, char *msg);

/* Number of characters translated or deleted (0: none, or an error with
   msg set); the result text is in (*handle)->out when it is above 0. */
int BREGEXP_CALL BTrans(const char *pattern, const char *text, const char *textEnd,
                        BREGEXP_HANDLE *handle, char *msg);

/* Splits the text at every match; at most limit pieces (limit <= 0: no
   limit, the last piece holds the rest). Returns the number of pieces,
   listed in (*handle)->split; 0 for an empty text, or on an error with msg
   set. */
int BREGEXP_CALL BSplit(const char *pattern, const char *text, const char *textEnd,
                        int limit, BREGEXP_HANDLE *handle, char *msg);

/* Releases a handle; NULL is allowed. */
void BREGEXP_CALL BRegfree(BREGEXP_HANDLE handle);

/* A fixed text naming the library and its engine, e.g.
   "BREGEXP.DLL (ZEVA) 1.0 / Oniguruma 6.9.8". */
const char *BREGEXP_CALL BRegexpVersion(void);

/* Types for GetProcAddress. */
typedef int (BREGEXP_CALL *BMatchProc)(const char *, const char *, const char *,
                                       BREGEXP_HANDLE *, char *);
typedef int (BREGEXP_CALL *BSubstProc)(const char *, const char *, const char *,
                                       BREGEXP_HANDLE *, char *);
typedef int (BREGEXP_CALL *BTransProc)(const char *, const char *, const char *,
                                       BREGEXP_HANDLE *, char *);
typedef int (BREGEXP_CALL *BSplitProc)(const char *, const char *, const char *, int,
                                       BREGEXP_HANDLE *, char *);
typedef void (BREGEXP_CALL *BRegfreeProc)(BREGEXP_HANDLE);
typedef const char *(BREGEXP_CALL *BRegexpVersionProc)(void);

#ifdef __cplusplus
}
#endif

#endif
