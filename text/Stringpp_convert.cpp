// Conversions between texts and numbers, and the checks of number and name
// forms. Every reader accumulates in unsigned arithmetic so that a text too
// long for the width wraps modulo 2^32 (2^64) instead of overflowing.
#include "text/Stringpp.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <iostream>

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_ascii_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Decimal reading shared by Stoi/Stol/Stoll: no test that the bytes are
// digits (callers rely on '1a' giving 59), the byte taken as signed.
template <typename U>
U read_decimal(const String& s) {
  if (s.empty()) return 0;
  U value = 0;
  U sign = 1;
  std::size_t i = 0;
  if (s[0] == '-') {
    sign = U(0) - 1;
    i = 1;
  }
  for (; i < s.size(); ++i) {
    int digit = static_cast<signed char>(s[i]) - '0';
    value = value * 10 + static_cast<U>(digit);
  }
  return sign * value;
}

// The number grammar of Stod/checkdouble, one transition per character.
// Integer, fraction and scale are kept wider than the historic 32 bits so
// that long texts still read as the number they show; for texts inside the
// 32-bit range the value is the same.
struct parsed_number {
  bool valid = false;
  double value = 0.0;
};

parsed_number parse_number(const String& s, char sep) {
  enum state_t { start, after_sign, leading_zero, int_digits, after_sep, frac_digits,
                 exp_mark, exp_sign, exp_digits, error };
  // Fraction digits past 18 cannot change a double; they are read but dropped.
  const unsigned long long scale_limit = 1000000000000000000ULL;
  state_t st = start;
  bool valid = false;
  double sign = 1.0;
  double integer = 0.0;
  unsigned long long fraction = 0, scale = 1;
  int exp_sign_v = 1;
  long long exponent = 0;
  for (char c : s) {
    switch (st) {
      case start:
        if (c == ' ') { st = start; valid = false; }
        else if (c == '-') { sign = -1.0; st = after_sign; valid = false; }
        else if (c == '0') { st = leading_zero; valid = true; }
        else if (c >= '1' && c <= '9') { integer = c - '0'; st = int_digits; valid = true; }
        else st = error;
        break;
      case after_sign:
        if (c == '0') { st = leading_zero; valid = false; }
        else if (c >= '1' && c <= '9') { integer = c - '0'; st = int_digits; valid = true; }
        else st = error;
        break;
      case leading_zero:
        if (c == sep) { st = after_sep; valid = false; }
        else st = error;
        break;
      case int_digits:
        if (c == sep) { st = after_sep; valid = false; }
        else if (is_digit(c)) { integer = integer * 10 + (c - '0'); valid = true; }
        else if (c == 'e' || c == 'E') { st = exp_mark; valid = false; }
        else st = error;
        break;
      case after_sep:
        if (is_digit(c)) { fraction = c - '0'; scale = 10; st = frac_digits; valid = true; }
        else st = error;
        break;
      case frac_digits:
        if (is_digit(c)) {
          if (scale < scale_limit) { fraction = fraction * 10 + (c - '0'); scale *= 10; }
          valid = true;
        } else if (c == 'e' || c == 'E') { st = exp_mark; valid = false; }
        else st = error;
        break;
      case exp_mark:
        if (c >= '1' && c <= '9') { exponent = c - '0'; st = exp_digits; valid = true; }
        else if (c == '-' || c == '+') { exp_sign_v = (c == '-') ? -1 : 1; st = exp_sign; valid = false; }
        else st = error;
        break;
      case exp_sign:
        if (c >= '1' && c <= '9') { exponent = c - '0'; st = exp_digits; valid = true; }
        else st = error;
        break;
      case exp_digits:
        // Saturates: past a few hundred the value is already 0 or infinite.
        if (is_digit(c)) { if (exponent < 1000000000LL) exponent = exponent * 10 + (c - '0'); valid = true; }
        else st = error;
        break;
      case error:
        break;
    }
    if (st == error) { valid = false; break; }
  }
  parsed_number r;
  if (!valid) return r;
  r.valid = true;
  double v = sign * (integer + static_cast<double>(fraction) / static_cast<double>(scale));
  // One step of ten per unit keeps the historic rounding; stopping at 0 or
  // infinity gives the same value without looping over a huge exponent.
  for (long long k = 0; k < exponent && v != 0.0 && !std::isinf(v); ++k)
    v = exp_sign_v > 0 ? v * 10.0 : v / 10.0;
  r.value = v;
  return r;
}

}  // namespace

char* Stoa(const String& s) {
  char* a = new char[s.size() + 1];
  std::memcpy(a, s.data(), s.size());
  a[s.size()] = '\0';
  return a;
}

std::int32_t Stoi(String s) { return static_cast<std::int32_t>(read_decimal<std::uint32_t>(s)); }
std::int32_t Stol(String s) { return static_cast<std::int32_t>(read_decimal<std::uint32_t>(s)); }
long long Stoll(String s) { return static_cast<long long>(read_decimal<unsigned long long>(s)); }

double Stod(String s, char sep) { return parse_number(s, sep).value; }

bool checkdouble(const String& s, char sep) { return !s.empty() && parse_number(s, sep).valid; }

std::uint32_t Stouhex(const String& s) {
  std::uint32_t v = 0;
  for (char c : s) {
    v *= 16;
    if (c >= '0' && c <= '9') v += c - '0';
    else if (c >= 'a' && c <= 'f') v += c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v += c - 'A' + 10;
  }
  return v;
}

std::int32_t Stoshex(const String& s) {
  std::uint32_t v = Stouhex(s);
  if (!s.empty() && static_cast<signed char>(s[0]) > '7' && s.size() < 8)
    v -= std::uint32_t(1) << (4 * s.size());
  return static_cast<std::int32_t>(v);
}

std::uint32_t Stoubin(const String& s) {
  std::uint32_t v = 0;
  for (char c : s) v = v * 2 + static_cast<std::uint32_t>(static_cast<signed char>(c) - '0');
  return v;
}

std::int32_t Stosbin(const String& s) {
  if (s.empty()) return 0;
  if (s[0] == '0') return static_cast<std::int32_t>(Stoubin(s.substr(1)));
  if (s.size() == 1) return -1;
  std::uint32_t v = 0;
  for (std::size_t i = 1; i < s.size(); ++i)
    v = v * 2 + 1 - static_cast<std::uint32_t>(static_cast<signed char>(s[i]) - '0');
  return static_cast<std::int32_t>(~v);
}

std::int32_t Stohex(const String& text, const String& mark) {
  std::size_t p = text.find(mark);
  if (p != String::npos) return static_cast<std::int32_t>(Stouhex(text.substr(0, p)));
  std::int32_t v = Stol(text);
  std::cerr << "Decimal Conversion " << v << "\n" << std::flush;
  return v;
}

std::int32_t Stoloruhex(const String& mark, const String& text) {
  std::size_t p = text.find(mark);
  if (p != String::npos) return static_cast<std::int32_t>(Stouhex(text.substr(p)));
  return Stol(text);
}

// ---- Number to text -------------------------------------------------------

String ctoS(char c) { return String(1, c); }

String unslonglong2S(unsigned long long n) {
  char buf[24];
  int i = sizeof buf;
  do {
    buf[--i] = static_cast<char>('0' + n % 10);
    n /= 10;
  } while (n != 0);
  return String(buf + i, sizeof buf - i);
}

String unslong2S(std::uint32_t n) { return unslonglong2S(n); }

String long2S(std::int32_t n) {
  if (n < 0) return "-" + unslong2S(std::uint32_t(0) - static_cast<std::uint32_t>(n));
  return unslong2S(static_cast<std::uint32_t>(n));
}

String longlong2S(long long n) {
  if (n < 0) return "-" + unslonglong2S(0ULL - static_cast<unsigned long long>(n));
  return unslonglong2S(static_cast<unsigned long long>(n));
}

String unslongbyS(std::uint32_t n) {
  String digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('A' + n % 8));
    n /= 8;
  } while (n != 0);
  return digits;
}

String bin8toS(int n) {
  String s(8, '0');
  for (int bit = 0; bit < 8; ++bit)
    if ((static_cast<unsigned>(n) >> bit) & 1u) s[7 - bit] = '1';
  return s;
}

String hex1toS(int n) { return String(1, "0123456789abcdef"[static_cast<unsigned>(n) & 0xfu]); }
String hex2toS(int n) { return hex1toS(n >> 4) + hex1toS(n); }
String hex4toS(int n) { return hex2toS(n >> 8) + hex2toS(n & 0xff); }
String hex8toS(std::int32_t n) { return hex4toS(n >> 16) + hex4toS(n & 0xffff); }

String dtoS(double x, int digits, char sep) {
  if (std::isnan(x)) return "nan";
  if (std::isinf(x)) return x < 0 ? "-inf" : "inf";
  String text;
  if (x < 0) {
    text = "-";
    x = -x;
  }
  // m is 10^digits; past 18 digits a double has nothing left to show, so the
  // remaining places are zeros.
  int shown = digits <= 0 ? 0 : (digits > 18 ? 18 : digits);
  String padding(digits > 18 ? digits - 18 : 0, '0');
  if (x >= 9223372036854775808.0) {
    // Every double this large is an integer: its exact digits, no fraction.
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 0);
    return text + String(buf, res.ptr) + sep + String(shown, '0') + padding;
  }
  unsigned long long ip = static_cast<unsigned long long>(x);
  unsigned long long m = 1;
  for (int i = 0; i < shown; ++i) m *= 10;
  double y = static_cast<double>(m) * (x - static_cast<double>(ip) + 1.0);
  unsigned long long n = static_cast<unsigned long long>(y);
  if (y - static_cast<double>(n) > 0.5) ++n;
  if (n >= 2 * m) {
    ++ip;
    n = m;
  }
  return text + unslonglong2S(ip) + sep + unslonglong2S(n).substr(1) + padding;
}

String dtoS(double x, int digits) { return dtoS(x, digits, '.'); }

// ---- Checks ---------------------------------------------------------------

bool checkuint(const String& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!is_digit(c)) return false;
  return true;
}

bool checkint(const String& s) {
  if (s.empty()) return false;
  if (s[0] == '-') return checkuint(s.substr(1));
  return checkuint(s);
}

bool beginbynumber(const String& s) { return !s.empty() && is_digit(s[0]); }

bool checkhex(const String& s) {
  for (char c : s)
    if (!(is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
  return true;
}

bool checkbin(const String& s) {
  for (char c : s)
    if (c != '0' && c != '1') return false;
  return true;
}

bool checkhexintel(const String& s) {
  if (s.empty() || s.back() != 'h') return false;
  return checkhex(s.substr(0, s.size() - 1));
}

bool check_ISO_8859_1_alphabetical_letter(char c) {
  unsigned char b = static_cast<unsigned char>(c);
  return is_ascii_letter(c) || b == 0xB5 || (b >= 0xC0 && b <= 0xD6) || (b >= 0xD9 && b <= 0xF6) ||
         (b >= 0xF9 && b <= 0xFD) || b == 0xFF;
}

namespace {
bool varname_tail(const String& s) {
  for (std::size_t i = 1; i + 1 < s.size(); ++i)
    if (!(is_ascii_letter(s[i]) || is_digit(s[i]) || s[i] == '_')) return false;
  return is_ascii_letter(s.back()) || is_digit(s.back());
}
}  // namespace

bool checkvarname(const String& s) { return !s.empty() && is_ascii_letter(s[0]) && varname_tail(s); }

bool checkvarname_with_pre_underscore(const String& s) {
  return !s.empty() && (is_ascii_letter(s[0]) || s[0] == '_') && varname_tail(s);
}
