// Substrings, tokens, records, substitutions and filters. Every function
// returns a fresh String and leaves its inputs alone; the out-parameters
// (rest, found) are written last, so a caller may pass its input as its rest.
#include "text/Stringpp.h"

#include <algorithm>
#include <cstring>

// ---- Substrings and search ------------------------------------------------

bool contains(String a, String b) { return a.find(b) != String::npos; }

int find(String a, String b) {
  std::size_t p = a.find(b);
  return p == String::npos ? -1 : static_cast<int>(p);
}

int char_occurences(const String& s, char c) {
  int n = 0;
  for (char x : s)
    if (x == c) ++n;
  return n;
}

String my_before(String s, int n) {
  if (n <= 0) return String();
  if (static_cast<std::size_t>(n) >= s.size()) return s;
  return s.substr(0, n);
}

String my_after(const String& s, int i) {
  if (i < 0) i = 0;
  if (static_cast<std::size_t>(i) >= s.size()) return String();
  return s.substr(i);
}

String my_at(const String& s, int i, int j) {
  if (i < 0) i = 0;
  if (i >= j || static_cast<std::size_t>(i) >= s.size()) return String();
  return s.substr(i, static_cast<std::size_t>(j - i));
}

String bdelete(const String& s) {
  if (s.size() <= 2) return String();
  return s.substr(1, s.size() - 2);
}

// ---- Tokens ---------------------------------------------------------------

bool est_lc(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '.' || c == ',' || c == '@';
}

String next_Stringtoken_at(const String& s, char sep, std::size_t* at) {
  const std::size_t n = s.size();
  std::size_t start = std::min(*at, n);
  if (start == n) {
    *at = n;
    return String();
  }
  while (start < n && s[start] == sep) ++start;
  if (start == n) {
    *at = n;
    return String(1, s[n - 1]);
  }
  char c = s[start];
  std::size_t end = start + 1;
  if (c == '-') {
    while (end < n && s[end] != sep && ((s[end] >= '0' && s[end] <= '9') || s[end] == '.')) ++end;
  } else if (est_lc(c)) {
    while (end < n && s[end] != sep && est_lc(s[end])) ++end;
  }
  *at = end;
  return s.substr(start, end - start);
}

String next_Stringtoken(String s, char sep, String* rest) {
  std::size_t at = 0;
  String token = next_Stringtoken_at(s, sep, &at);
  *rest = at < s.size() ? s.substr(at) : String();
  return token;
}

namespace {
bool in_token_alphabet(char c) {
  switch (static_cast<unsigned char>(c)) {
    case 0x8C: case 0xE0: case 0xE2: case 0xE7: case 0xE8: case 0xE9: case 0xEA: case 0xF4:
      return true;
    default:
      return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  }
}
}  // namespace

int find_token(const String& text, const String& token) {
  String padded = " " + text + " ";
  for (std::size_t i = 1; i + 1 < padded.size(); ++i)
    if (!in_token_alphabet(padded[i])) padded[i] = ' ';
  return find(padded, " " + token + " ");
}

bool contains_token(const String& text, const String& token) { return find_token(text, token) >= 0; }

namespace {
// Each non-overlapping occurrence of pattern, left to right, is replaced by
// `by` when accept(start, end) says so, else kept; replacements are never
// scanned again. An empty pattern matches nowhere.
template <typename Accept>
String replace_occurrences(const String& s, const String& pattern, const String& by, Accept accept) {
  if (pattern.empty()) return s;
  String result;
  std::size_t from = 0;
  for (std::size_t i = s.find(pattern); i != String::npos; i = s.find(pattern, from)) {
    result.append(s, from, i - from);
    std::size_t end = i + pattern.size();
    result += accept(i, end) ? by : pattern;
    from = end;
  }
  result.append(s, from, String::npos);
  return result;
}
}  // namespace

// The left edge is judged on the byte before the occurrence in s itself, not
// on what was written before it: a replacement glued to the previous
// occurrence ("gogo") must not turn the second one into a whole word.
String substitute_token(const String& s, const String& token, const String& by) {
  return replace_occurrences(s, token, by, [&s](std::size_t i, std::size_t end) {
    return (i == 0 || !est_lc(s[i - 1])) && (end == s.size() || !est_lc(s[end]));
  });
}

// ---- Records --------------------------------------------------------------

namespace {
// Writes rest last so that the caller's rest may be the input itself.
String split_at(const String& s, std::size_t p, String& rest) {
  if (p == String::npos) {
    String all = s;
    rest.clear();
    return all;
  }
  String head = s.substr(0, p);
  rest = s.substr(p + 1);
  return head;
}
}  // namespace

String next_record(const String& s, char sep, String& rest) { return split_at(s, s.find(sep), rest); }

String next_record(const String& s, const char* seps, String& rest, char& found) {
  std::size_t p = String::npos;
  if (seps != nullptr && *seps != '\0') p = s.find_first_of(seps);
  found = p == String::npos ? ' ' : s[p];
  return split_at(s, p, rest);
}

String last_record(const String& s, char sep, String& rest) { return split_at(s, s.rfind(sep), rest); }

// ---- Substitutions and filters --------------------------------------------

String substitute_char(const String& s, char c, const String& by) {
  String r;
  r.reserve(s.size());
  for (char x : s) {
    if (x == c) r += by;
    else r += x;
  }
  return r;
}

String substitute_char(const String& s, char c, char by) {
  String r = s;
  for (char& x : r)
    if (x == c) x = by;
  return r;
}

String suppres_char(const String& s, char c) {
  String r;
  r.reserve(s.size());
  for (char x : s)
    if (x != c) r += x;
  return r;
}

String substitute_string(const String& s, const String& from, const String& to) {
  return replace_occurrences(s, from, to, [](std::size_t, std::size_t) { return true; });
}

String cancel_begin_end_spaces(const String& s) {
  std::size_t b = s.find_first_not_of(' ');
  if (b == String::npos) return String();
  std::size_t e = s.find_last_not_of(' ');
  return s.substr(b, e - b + 1);
}

String clever_substitute_space(const String& s, char c) {
  return substitute_char(cancel_begin_end_spaces(s), ' ', c);
}

String latex_String_filter(const String& s) { return substitute_string(s, "_", "\\_"); }

String rtf_String_filter(const String& s) {
  // Order matters: the apostrophe goes first so that the escapes the later
  // steps write are never escaped again.
  static const char* const table[][2] = {
      {"'", "\\'91"},
      {"\xE2\x80\x99", "\\'27"},
      {"\xC2\xAB", "\\'ab"},
      {"\xC2\xBB", "\\'bb"},
      {"\xE2\x80\x93", "-"},
      {"\xC3\x89", "\\'c9"},
      {"\xC3\x88", "\\'c8"},
      {"\xC3\x8A", "\\'ca"},
      {"\xC3\x8B", "\\'cb"},
      {"\xC3\x87", "\\'c7"},
      {"\xC3\xA9", "\\'e9"},
      {"\xC3\xA8", "\\'e8"},
      {"\xC3\xAA", "\\'ea"},
      {"\xC3\xAB", "\\'eb"},
      {"\xC3\xA7", "\\'e7"},
      {"\xC3\xA0", "\\'e0"},
      {"\xC3\xB6", "\\'f6"},
      {"\xC3\xB4", "\\'f4"},
      {"\xC3\xAE", "\\'ee"},
      {"\xC3\xAF", "\\'ef"},
      {"\xC3\x97", "x"},
      {"#", "\\'23"},
      {"$", "\\'24"},
  };
  String r = s;
  for (const auto& row : table) r = substitute_string(r, row[0], row[1]);
  return r;
}

String downcase(String s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

namespace {
char ascii_upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
bool is_ascii(char c) { return static_cast<unsigned char>(c) < 0x80; }
}  // namespace

String upcase(String s) {
  String r;
  r.reserve(s.size());
  for (char c : s)
    if (is_ascii(c)) r += ascii_upper(c);
  return r;
}

String upcase_accent(String s) {
  String r;
  r.reserve(s.size());
  for (char c : s) {
    if (is_ascii(c)) {
      r += ascii_upper(c);
      continue;
    }
    switch (static_cast<unsigned char>(c)) {
      case 0xE9: case 0xE8: case 0xEA: r += 'E'; break;
      case 0xE0: case 0xE2: r += 'A'; break;
      case 0xF4: r += 'O'; break;
      case 0xE7: r += 'C'; break;
      case 0x8C: r += 'I'; break;
      default: break;
    }
  }
  return r;
}

namespace {
// Letter of the UTF-8 pair 0xC3 b, or 0 when the pair has none.
char c3_letter(unsigned char b) {
  switch (b) {
    case 0xB6: case 0xB4: return 'O';
    case 0xAE: case 0xAD: return 'I';
    case 0xAB: case 0xA9: case 0xA8: return 'E';
    case 0xA7: return 'C';
    case 0xA4: case 0xA1: return 'A';
    default: return 0;
  }
}
}  // namespace

// A lead byte with nothing after it is dropped: the text ends there.
String upcase_accent2(String s) {
  String r;
  r.reserve(s.size());
  const std::size_t n = s.size();
  for (std::size_t i = 0; i < n; ++i) {
    char c = s[i];
    if (is_ascii(c)) {
      r += ascii_upper(c);
      continue;
    }
    unsigned char b = static_cast<unsigned char>(c);
    if (b == 0xC4) {
      if (i + 1 >= n) break;
      unsigned char next = static_cast<unsigned char>(s[++i]);
      if (next == 0xB1) r += 'I';
      if (next != 0xC3) continue;
      b = 0xC3;
    }
    if (b == 0xC3) {
      if (i + 1 >= n) break;
      char letter = c3_letter(static_cast<unsigned char>(s[++i]));
      if (letter != 0) r += letter;
    }
  }
  return r;
}
