// Text routines of the card readers: splitting a line at its first delimiter, keyword tests
// without regard to case, item counts, extraction between keys, integer conversion with a
// status and character-level copies.
//
// Texts are fixed-length and blank-padded; a trimmed text is one without its trailing blanks.
// Characters are single bytes and case conversion touches only the ASCII letters. A text
// argument of its own length is followed, at the end of the argument list, by that length
// (l<name>, in; below 0 counts as 0); an output text has the length the routine states. An
// output may be one of the inputs. Only a count that exceeds the text it selects from (and an
// int2aformat format that cannot write its integers, or an item longer than its text) is
// reported, with code -3; such a call writes the empty result: blanks, or nothing for an array.
#pragma once
#include <string_view>

#include "base/view.hpp"

namespace vorlen::stringhandling {

// The routines on C++ views, for the library's own card readers.
i64 len_trim(std::string_view s);
bool match(std::string_view a, std::string_view b);
i64 tally(std::string_view s, std::string_view text, i32 csflag = 1);
bool occurs(std::string_view a, std::string_view b);
i32 countitems(std::string_view s0);
i64 clen(std::string_view s);
i64 clen_trim(std::string_view s);
// First integer of ca in free format: 0 and the value in integ; a positive status for text that
// is not an integer and a negative one for a blank text, integ then unchanged.
i32 str2int(std::string_view ca, i32& integ);

extern "C" {

// Splits s at the first sdelim (trailing blanks of s included in the search).
//   a (out)          n characters: s before the delimiter, or all of s without one
//   b (out)          n characters: s after the delimiter, blank without one
//   s (in)           text of length ls
//   sdelim (in)      1 character
//   n (in)           length of a and b; below 1 nothing is written
void stringhandling_split(char* a, char* b, const char* s, const char* sdelim, const i32* n,
                          const i32* ls);

// Text strictly between the last occurrence of the whole startkey in s and the next
// occurrence of the whole stopkey after it (the search starting len_trim(startkey)
// characters into the start key), left-adjusted (leading blanks moved to the end).
//   extract (out)    n characters; blank when either key is absent
//   s, startkey, stopkey (in)  texts of lengths ls, lstartkey, lstopkey
//   n (in)           length of the result
void stringhandling_extract(char* extract, const char* s, const char* startkey, const char* stopkey,
                            const i32* n, const i32* ls, const i32* lstartkey, const i32* lstopkey);

// The first n characters of s with A..Z turned into a..z (lowercase) or the reverse.
//   result (out)     n characters; blank with code -3 when n exceeds ls
//   s (in)           text of length ls
void stringhandling_lowercase(char* lowercase, const char* s, const i32* n, const i32* ls);
void stringhandling_uppercase(char* uppercase, const char* s, const i32* n, const i32* ls);

// True when the trimmed a and b are equal after lower-casing both; leading blanks count.
lgl stringhandling_match(const char* a, const char* b, const i32* la, const i32* lb);

// Occurrences of the trimmed text in s, overlapping ones included; ls + 1 for a blank text.
//   csflag (in, optional)  absent or 1: exact; else s is left-adjusted (its leading blanks
//                   moved to the end) and both are lower-cased
i32 stringhandling_tally(const char* s, const char* text, const i32* csflag, const i32* ls,
                         const i32* ltext);
// tally(a, b, 0) > 0: the trimmed b occurs in a, without regard to case.
lgl stringhandling_occurs(const char* a, const char* b, const i32* la, const i32* lb);

// Items of a data line (s0 up to clen, tabs counting as blanks): 0 for a blank line, else 1
// plus one for every comma after the first character and one for every word followed by a
// blank; "a ,b" counts 3.
i32 stringhandling_countitems(const char* s0, const i32* ls0);

// sout(i) = the replacement of s0(i) in codes (first row j with codes(j,1) = the character's
// byte: the byte codes(j,2); each code taken as its low byte), i = 1..n.
//   sout (out)       n characters; blank with code -3 when n exceeds ls0
//   codes(nc,2) (in) characters to replace and their replacements
void stringhandling_translate(const char* s0, char* sout, const i32* codes, const i32* n,
                              const i32* nc, const i32* ls0);

// s cut or padded to nout, then the first occurrence of the trimmed text replaced by the
// trimmed rep (the result cut or padded to nout) as long as there is one: every search starts
// again at the first character. A blank text replaces nothing, and where rep holds the text
// the search goes on after each inserted rep, so both end.
//   sout (out)       nout characters
void stringhandling_replacetext(const char* s, const char* text, const char* rep, char* sout,
                                const i32* nout, const i32* ls, const i32* ltext, const i32* lrep);

// s without its trailing blanks, each run of blanks (a leading one included) made one blank.
//   sout (out)       nout characters
void stringhandling_reduceblanks(const char* s, char* sout, const i32* nout, const i32* ls);

// The characters of s that belong to the set ex(1:nx), in order, at most ns of them.
//   sout (out)       ns characters; blank for nx below 1, blank with code -3 for nx above lex
void stringhandling_spack(const char* s, const char* ex, char* sout, const i32* ns, const i32* nx,
                          const i32* ls, const i32* lex);

// Integers written with a format and joined: every jrray(j,i), column by column, is written
// into a text of jmax characters with the format aw, left-adjusted and appended to the trimmed
// result.
//   j2s (out)        sout characters; blank for n or m below 1, and blank with code -3 when a
//                    write needs more than jmax characters or the format cannot write the
//                    integers (malformed, no integer descriptor, a second record): the message
//                    "Format <aw>: <reason> in int2aformat"; the process goes on
//   jrray(n,m) (in)  the integers
//   aw (in)          8 characters: the format, such as "(I5)" or "(I3,',')"
void stringhandling_int2aformat(char* j2s, const i32* jrray, const char* aw, const i32* jmax,
                                const i32* sout, const i32* n, const i32* m);

// clen: ls, or the position of a NUL that is the last non-blank character, minus 1.
// clen_trim: len_trim(s), or one less when the last non-blank character is a NUL.
i32 stringhandling_clen(const char* s, const i32* ls);
i32 stringhandling_clen_trim(const char* s, const i32* ls);
// s(1:clen_trim(s)) cut or padded to n characters.
void stringhandling_ctrim(char* ctrim, const char* s, const i32* n, const i32* ls);

// integ written as its digits with a minus sign when negative, left-adjusted.
//   ca (out)         n characters; blank when too short
//   istat (out)      0, or 1 when ca is too short
void stringhandling_int2str(const i32* integ, char* ca, i32* istat, const i32* n);
// First integer of ca in free format (blanks, tabs, a comma or a slash end it; r*c repeats c).
//   integ (in/out)   the value; unchanged on failure, on a null value and before a slash
//   istat (out)      0; 1 for text that is not an integer; -1 for a blank ca
void stringhandling_str2int(const char* ca, i32* integ, i32* istat, const i32* lca);

// ia(i) = the code 0..255 of ca(i), i = 1..n; nothing written and code -3 when n exceeds lca.
void stringhandling_str2ascii(i32* ia, const char* ca, const i32* n, const i32* lca);
// ca(i) = s(i), i = 1..n (single characters); nothing written and code -3 when n exceeds ls.
void stringhandling_copys2a(const char* s, char* ca, const i32* n, const i32* ls);
// s (out, n characters) = ca(1..n) (nca single characters); blank with code -3 when n
// exceeds nca.
void stringhandling_copya2s(const char* ca, char* s, const i32* n, const i32* nca);
// n copies of ch (1 character).
void stringhandling_inistringwithcharacter(char* inistringwithcharacter, const char* ch,
                                           const i32* n);

}  // extern "C"
}  // namespace vorlen::stringhandling
