// Stringpp: the text toolkit every other module stands on.
//
// `String` is a plain byte string. Conversions from text take a `Sto` prefix,
// conversions to text a `toS`/`2S` suffix. No function here fails or throws:
// a text of the wrong form gives a defined value (often 0) and a check gives
// false. Nothing keeps state between calls.
//
// Out-parameters (the rest of a token or record, the separator found) are
// written after the result is taken, so `tok = next_record(rest, ',', rest)`
// and `tok = next_Stringtoken(rest, ' ', &rest)` walk a text safely.
//
// Widths: the toolkit's `int` and `long` are 32-bit, `long long` 64-bit, on
// every machine; the readers wrap modulo 2^32 (2^64 for `Stoll`).
#ifndef TESSAN_TEXT_STRINGPP_H
#define TESSAN_TEXT_STRINGPP_H

#include <cstdint>
#include <string>

typedef std::string String;

// ---- Text to number -------------------------------------------------------

// A new NUL-terminated copy; the caller releases it with delete[].
char* Stoa(const String& s);

std::int32_t Stoi(String s);
std::int32_t Stol(String s);
long long Stoll(String s);
double Stod(String s, char sep);

std::uint32_t Stouhex(const String& s);
std::int32_t Stoshex(const String& s);
std::uint32_t Stoubin(const String& s);
std::int32_t Stosbin(const String& s);
// Without the mark, reads decimal and says "Decimal Conversion <n>" on stderr.
std::int32_t Stohex(const String& text, const String& mark);
std::int32_t Stoloruhex(const String& mark, const String& text);

// ---- Number to text -------------------------------------------------------

String ctoS(char c);
String unslong2S(std::uint32_t n);
String unslonglong2S(unsigned long long n);
String long2S(std::int32_t n);
String longlong2S(long long n);
String unslongbyS(std::uint32_t n);
String bin8toS(int n);
String hex1toS(int n);
String hex2toS(int n);
String hex4toS(int n);
String hex8toS(std::int32_t n);
// Fixed point, `digits` decimals, rounded half down by the toolkit's own rule
// (not printf's); "nan", "inf" and "-inf" for the non-finite values.
String dtoS(double x, int digits, char sep);
String dtoS(double x, int digits);

// ---- Checks ---------------------------------------------------------------

bool checkuint(const String& s);
bool checkint(const String& s);
bool beginbynumber(const String& s);
bool checkdouble(const String& s, char sep);
bool checkhex(const String& s);
bool checkbin(const String& s);
bool checkhexintel(const String& s);
bool check_ISO_8859_1_alphabetical_letter(char c);
bool checkvarname(const String& s);
bool checkvarname_with_pre_underscore(const String& s);

// ---- Substrings and search ------------------------------------------------

bool contains(String a, String b);
int find(String a, String b);
int char_occurences(const String& s, char c);
String my_before(String s, int n);
String my_after(const String& s, int i);
String my_at(const String& s, int i, int j);
String bdelete(const String& s);

// ---- Tokens ---------------------------------------------------------------

bool est_lc(char c);
String next_Stringtoken(String s, char sep, String* rest);
// The same cut made in place: the token that starts at or after *at, with *at
// moved past it, so a walk over a long text copies no rest.
String next_Stringtoken_at(const String& s, char sep, std::size_t* at);
int find_token(const String& text, const String& token);
bool contains_token(const String& text, const String& token);
String substitute_token(const String& s, const String& token, const String& by);

// ---- Records --------------------------------------------------------------

String next_record(const String& s, char sep, String& rest);
// found receives the separator met, or ' ' when none occurs.
String next_record(const String& s, const char* seps, String& rest, char& found);
String last_record(const String& s, char sep, String& rest);

// ---- Substitutions and filters --------------------------------------------

String substitute_char(const String& s, char c, const String& by);
String substitute_char(const String& s, char c, char by);
String suppres_char(const String& s, char c);
String substitute_string(const String& s, const String& from, const String& to);
String cancel_begin_end_spaces(const String& s);
String clever_substitute_space(const String& s, char c);
String latex_String_filter(const String& s);
String rtf_String_filter(const String& s);
String downcase(String s);
String upcase(String s);
String upcase_accent(String s);
String upcase_accent2(String s);

// ---- File names, directories, edit distance -------------------------------

String supress_filename_extension(const String& path);
String extract_filename_name(const String& path);
String extract_filename_path(const String& path);
String my_current_directory();
// Path of target seen from directory from (the current one when empty). Two
// relative paths start from the same directory ("b" from "a" is "../b"); an
// absolute target from a relative base, or a relative one from an absolute
// base, comes back as it stands. Paths are compared as texts: a ".." of the
// base that the target does not share is not resolved.
String relative_directory_path(const String& target, const String& from);
// -1 (and a line on stderr) when a text has 999 characters or more.
int levenshtein(const String& a, const String& b);

#endif
