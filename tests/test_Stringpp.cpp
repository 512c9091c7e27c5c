// The text toolkit: number conversions and checks, substrings, tokens,
// records, substitutions, filters, file names and the edit distance.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <limits>
#include <memory>
#include <utility>

#include "text/Stringpp.h"

namespace {

// Runs `f` on every input and compares with the expected result; a failure
// names the input.
template <class Out, class F>
void expect_each(F f, std::initializer_list<std::pair<const char*, Out>> cases) {
  for (const auto& c : cases) EXPECT_EQ(f(c.first), c.second) << "'" << c.first << "'";
}

// The same for functions of two texts.
using Two = std::pair<const char*, const char*>;
template <class Out, class F>
void expect_each2(F f, std::initializer_list<std::pair<Two, Out>> cases) {
  for (const auto& c : cases)
    EXPECT_EQ(f(c.first.first, c.first.second), c.second) << "'" << c.first.first << "', '" << c.first.second << "'";
}

// Record splitters: the text, what comes before the separator and the rest.
struct Split {
  const char *in, *head, *rest;
};
template <class F>
void expect_splits(F split, std::initializer_list<Split> cases) {
  for (const Split& c : cases) {
    String rest = "x";
    EXPECT_EQ(split(c.in, rest), c.head) << c.in;
    EXPECT_EQ(rest, c.rest) << c.in;
  }
}

const std::int32_t int32_min = std::numeric_limits<std::int32_t>::min();

}  // namespace

// ---- Text to number -------------------------------------------------------

TEST(Stoa, CopiesBytesWithTerminatingNul) {
  String s("a\0b", 3);
  std::unique_ptr<char[]> a(Stoa(s));
  EXPECT_EQ(String(a.get(), 4), String("a\0b\0", 4));
  std::unique_ptr<char[]> e(Stoa(""));
  EXPECT_EQ(e[0], '\0');
}

TEST(Stoi, ReadsDecimalWithoutTestingDigitsModulo32Bits) {
  // 'a' - '0' = 49 is added as a digit, a later '-' adds -3, a space -16 and
  // "+" is a digit of value -5 like any other byte.
  expect_each<std::int32_t>(Stoi, {{"", 0}, {"-", 0}, {"-12", -12}, {"1a", 59}, {"1-", 7}, {"1 ", -6}, {"+1", -49},
                                   {"2147483648", int32_min}});
  expect_each<std::int32_t>(Stol, {{"2147483647", 2147483647}, {"-2147483648", int32_min}, {"4294967297", 1},
                                   {"99999999999999999999", static_cast<std::int32_t>(1661992959u)}});
}

TEST(Stoll, Reads64BitAndWraps) {
  expect_each<long long>(Stoll, {{"9223372036854775807", std::numeric_limits<long long>::max()},
                                 {"-9223372036854775808", std::numeric_limits<long long>::min()},
                                 {"18446744073709551617", 1}, {"-3000000000", -3000000000LL}});
}

TEST(Stod, ReadsTheNumberGrammar) {
  const std::pair<const char*, double> cases[] = {
      {" 12.5", 12.5}, {"-0.25", -0.25}, {"0", 0.0},  {"0.5", 0.5},   {"1e3", 1000.0}, {"1.25E3", 1250.0},
      {"5e-1", 0.5},   {"3e-2", 0.03},   {"2e+2", 200.0}, {"-0.0", 0.0}, {"12345678901", 12345678901.0},
      {"0.1234567890123", 0.1234567890123}, {"1.00000000000000000000000001", 1.0}, {"1e308", 1e308}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(Stod(c.first, '.'), c.second) << "'" << c.first << "'";
  EXPECT_DOUBLE_EQ(Stod("2,5", ','), 2.5);
}

TEST(Stod, GivesZeroForTextsOutsideTheGrammar) {
  for (const char* t : {"", " ", "12.5 ", "+1", "1.", ".5", "-0", "00", "1e0", "1e05", "1e", "1.5.2",
                        "0e5", "-", "1e-", "abc", "1,5"})
    EXPECT_EQ(Stod(t, '.'), 0.0) << "'" << t << "'";
  EXPECT_EQ(Stod("2.5", ','), 0.0);
}

TEST(Stod, HugeExponentsEndAtZeroOrInfinityAtOnce) {
  EXPECT_EQ(Stod("1e999999999", '.'), HUGE_VAL);
  EXPECT_EQ(Stod("-1e999999999999999999", '.'), -HUGE_VAL);
  EXPECT_EQ(Stod("1e-999999999", '.'), 0.0);
  EXPECT_EQ(Stod("0.0e999999999", '.'), 0.0);
}

TEST(Checkdouble, AcceptsExactlyTheTextsStodReads) {
  for (const char* t : {"0", "0.5", "12", "1.25e3", "3e-2", " 7", "-3.5", "10E10"})
    EXPECT_TRUE(checkdouble(t, '.')) << "'" << t << "'";
  for (const char* t : {"", "-0", "00", "1.", ".5", "+1", "1e0", "1e05", "1e", "1 ", "  "})
    EXPECT_FALSE(checkdouble(t, '.')) << "'" << t << "'";
  EXPECT_TRUE(checkdouble("2,5", ','));
  EXPECT_FALSE(checkdouble("2.5", ','));
}

TEST(Stouhex, ReadsHexCountingOtherBytesAsZeroDigits) {
  // Nine digits wrap modulo 2^32.
  expect_each<std::uint32_t>(Stouhex, {{"", 0u}, {"1F", 31u}, {"ff", 255u}, {"1g", 16u},
                                       {"FFFFFFFF", 0xFFFFFFFFu}, {"123456789", 0x23456789u}});
}

TEST(Stoshex, ReadsTwosComplementOfTheTextsWidth) {
  // A byte above 0x7F is no digit and no sign.
  expect_each<std::int32_t>(Stoshex, {{"F", -1}, {"7F", 127}, {"80", -128}, {"FFFFFFFF", -1},
                                      {"80000000", int32_min}, {"FFFFFFFFF", -1}, {"", 0}, {"\xF0", 0}});
}

TEST(Stobin, ReadsUnsignedAndSignedBinary) {
  expect_each<std::uint32_t>(Stoubin, {{"", 0u}, {"101", 5u}, {"12", 4u}});  // no test of the digits
  expect_each<std::int32_t>(Stosbin, {{"", 0}, {"0", 0}, {"0101", 5}, {"1", -1}, {"10", -2}, {"11", -1},
                                      {"110", -2}, {"1011", -5}});
}

TEST(Stohex, ReadsHexBeforeTheMarkOrDecimalWithANote) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(Stohex("1Fh", "h"), 31);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  testing::internal::CaptureStderr();
  EXPECT_EQ(Stohex("25", "h"), 25);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Decimal Conversion 25\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(Stohex("25", ""), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(Stoloruhex, ReadsHexFromThePrefixOnOrDecimal) {
  testing::internal::CaptureStderr();
  expect_each2<std::int32_t>(Stoloruhex, {{{"0x", "0x1F"}, 31}, {{"0x", "31"}, 31}, {{"$", "$ff"}, 255}});
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// ---- Number to text -------------------------------------------------------

TEST(IntegerWriters, WriteDecimalDigits) {
  EXPECT_EQ(ctoS('x'), "x");
  EXPECT_EQ(unslong2S(0), "0");
  EXPECT_EQ(unslong2S(4294967295u), "4294967295");
  EXPECT_EQ(unslonglong2S(18446744073709551615ull), "18446744073709551615");
  EXPECT_EQ(long2S(-5), "-5");
  EXPECT_EQ(long2S(0), "0");
  EXPECT_EQ(long2S(int32_min), "-2147483648");
  EXPECT_EQ(longlong2S(0), "0");
  EXPECT_EQ(longlong2S(std::numeric_limits<long long>::min()), "-9223372036854775808");
}

TEST(IntegerWriters, WriteOctalAsLetters) {
  for (const auto& c : std::initializer_list<std::pair<std::uint32_t, const char*>>{
           {0, "A"}, {7, "H"}, {8, "BA"}, {4294967295u, "DHHHHHHHHHH"}})
    EXPECT_EQ(unslongbyS(c.first), c.second) << c.first;
}

TEST(IntegerWriters, WriteBitsAndHexOfTheTwosComplement) {
  EXPECT_EQ(bin8toS(5), "00000101");
  EXPECT_EQ(bin8toS(261), "00000101");
  EXPECT_EQ(bin8toS(-1), "11111111");
  EXPECT_EQ(hex1toS(26), "a");
  EXPECT_EQ(hex2toS(171), "ab");
  EXPECT_EQ(hex2toS(-1), "ff");
  EXPECT_EQ(hex4toS(171), "00ab");
  EXPECT_EQ(hex8toS(-1), "ffffffff");
  EXPECT_EQ(hex8toS(0x12ABCDEF), "12abcdef");
  EXPECT_EQ(hex8toS(int32_min), "80000000");
}

// dtoS cases: value, decimals, separator, text.
struct Dtos_case {
  double value;
  int decimals;
  char separator;
  const char* text;
};

void expect_dtos(std::initializer_list<Dtos_case> cases) {
  for (const Dtos_case& c : cases)
    EXPECT_EQ(dtoS(c.value, c.decimals, c.separator), c.text) << c.value << " to " << c.decimals;
}

TEST(Dtos, WritesFixedPointWithTheGivenSeparator) {
  EXPECT_EQ(dtoS(3.14159, 2), "3.14");  // the separator defaults to a point
  // Leading zeros of the fraction are kept; no decimals still ends with the separator.
  expect_dtos({{2.5, 3, ',', "2,500"},  {0.999, 2, '.', "1.00"},
               {-1.5, 1, '.', "-1.5"},   {0.05, 3, '.', "0.050"},  {-0.0, 2, '.', "0.00"},
               {3.7, 0, '.', "4."},      {3.2, -3, '.', "3."},     {0.25, 20, '.', "0.25000000000000000000"}});
}

TEST(Dtos, RoundsHalfDownUnlikePrintf) {
  // Exactly representable halves stay down: printf would give 0.38, 2 and 3.
  // The last case carries into the integer part.
  expect_dtos({{0.375, 2, '.', "0.37"}, {1.5, 0, '.', "1."},     {2.5, 0, '.', "2."},
               {-0.125, 2, '.', "-0.12"}, {0.376, 2, '.', "0.38"}, {9.9996, 3, '.', "10.000"}});
}

TEST(Dtos, WritesNonFiniteValuesByName) {
  expect_dtos({{std::nan(""), 2, '.', "nan"}, {HUGE_VAL, 2, '.', "inf"}, {-HUGE_VAL, 2, ',', "-inf"}});
}

TEST(Dtos, KeepsIntegerPartsBeyond32Bits) {
  expect_dtos({{3000000000.25, 2, '.', "3000000000.25"},
               {-2147483648.5, 1, '.', "-2147483648.5"},
               {1e15, 1, '.', "1000000000000000.0"},
               {9223372036854775807.0, 1, '.', "9223372036854775808.0"},
               {std::ldexp(1.0, 70), 2, '.', "1180591620717411303424.00"},
               {-std::ldexp(1.0, 64), 0, '.', "-18446744073709551616."}});
}

// ---- Checks ---------------------------------------------------------------

TEST(Checks, IntegerHexAndBinaryForms) {
  expect_each<bool>(checkuint, {{"", false}, {"0123", true}, {"12a", false}, {"-1", false}});
  expect_each<bool>(checkint, {{"", false}, {"-", false}, {"-12", true}, {"12", true}, {"+12", false},
                               {"--1", false}});
  expect_each<bool>(beginbynumber, {{"", false}, {"1a", true}, {"a1", false}});
  expect_each<bool>(checkhex, {{"", true}, {"09afAF", true}, {"g", false}});
  expect_each<bool>(checkbin, {{"", true}, {"0110", true}, {"012", false}});
  expect_each<bool>(checkhexintel, {{"1Fh", true}, {"h", true}, {"1FH", false}, {"", false}, {"1G h", false}});
}

TEST(Checks, Latin1Letters) {
  for (int b : {int('a'), int('Z'), 0xB5, 0xC0, 0xD6, 0xD9, 0xF6, 0xF9, 0xFD, 0xFF})
    EXPECT_TRUE(check_ISO_8859_1_alphabetical_letter(static_cast<char>(b))) << b;
  for (int b : {int('0'), int('_'), int(' '), 0x80, 0xBF, 0xD7, 0xD8, 0xF7, 0xF8, 0xFE})
    EXPECT_FALSE(check_ISO_8859_1_alphabetical_letter(static_cast<char>(b))) << b;
}

TEST(Checks, VariableNames) {
  for (const char* t : {"a", "ab1", "a_b", "Z9", "a__b"}) EXPECT_TRUE(checkvarname(t)) << t;
  for (const char* t : {"", "a_", "_a", "1a", "a-b", "a b", "\xE9t\xE9"}) EXPECT_FALSE(checkvarname(t)) << t;
  expect_each<bool>(checkvarname_with_pre_underscore,
                    {{"_a", true}, {"a", true}, {"_", false}, {"__", false}, {"", false}});
}

// ---- Substrings and search ------------------------------------------------

TEST(Search, ContainsFindAndCount) {
  expect_each2<bool>(contains, {{{"abc", ""}, true}, {{"", ""}, true}, {{"abc", "bc"}, true}, {{"abc", "d"}, false}});
  expect_each2<int>(find, {{{"abc", "d"}, -1}, {{"abc", ""}, 0}, {{"abcbc", "bc"}, 1}});
  EXPECT_EQ(char_occurences("a,b,,c", ','), 3);
  EXPECT_EQ(char_occurences("", ','), 0);
}

TEST(Substrings, CutByIndexesClampedToTheText) {
  for (const auto& c : std::initializer_list<std::pair<int, const char*>>{{5, "abc"}, {2, "ab"}, {0, ""}, {-1, ""}})
    EXPECT_EQ(my_before("abc", c.first), c.second) << c.first;
  for (const auto& c : std::initializer_list<std::pair<int, const char*>>{{1, "bc"}, {3, ""}, {7, ""}, {-2, "abc"}})
    EXPECT_EQ(my_after("abc", c.first), c.second) << c.first;
  const struct {
    int from, to;
    const char* cut;
  } ats[] = {{1, 3, "bc"}, {4, 10, "ef"}, {3, 3, ""}, {5, 2, ""}, {9, 12, ""}, {-1, 2, "ab"}};
  for (const auto& c : ats) EXPECT_EQ(my_at("abcdef", c.from, c.to), c.cut) << c.from << ", " << c.to;
  expect_each<String>(bdelete, {{"(x)", "x"}, {"ab", ""}, {"", ""}});
}

// ---- Tokens ---------------------------------------------------------------

TEST(Tokens, WordCharacters) {
  for (char c : String("azAZ09_.,@")) EXPECT_TRUE(est_lc(c)) << c;
  for (char c : String(" -+()#\t\xE9")) EXPECT_FALSE(est_lc(c)) << c;
}

TEST(NextStringtoken, CutsWordsNumbersAndSingleCharactersUpToTheSeparator) {
  struct row {
    const char *in, *token, *rest;
    char separator;
  } rows[] = {
      {"", "", "", ' '},           {"   ", " ", "", ' '},         {"a and b", "a", " and b", ' '},
      {"  -12.5)", "-12.5", ")", ' '}, {"(x", "(", "x", ' '},     {"-x", "-", "x", ' '},
      {"x_1.y", "x_1.y", "", ' '}, {"a>=b", "a", ">=b", ' '},     {">=b", ">", "=b", ' '},
      {"\tx", "\t", "x", ' '},     {"x@y,z w", "x@y,z", " w", ' '}, {"#A", "#", "A", ' '},
      {"a,b", "a", ",b", ','},     {",,,", ",", "", ','},
  };
  for (const row& r : rows) {
    String rest = "unchanged";
    EXPECT_EQ(next_Stringtoken(r.in, r.separator, &rest), r.token) << "'" << r.in << "'";
    EXPECT_EQ(rest, r.rest) << "'" << r.in << "'";
    std::size_t at = 0;  // the in-place cut ends where the rest begins
    EXPECT_EQ(next_Stringtoken_at(r.in, r.separator, &at), r.token) << "'" << r.in << "'";
    EXPECT_EQ(String(r.in).substr(at), r.rest) << "'" << r.in << "'";
  }
}

TEST(NextStringtoken, WalksATextWhenTheRestIsTheInput) {
  String rest = "not (a1 or -2.5)";
  String tokens;
  while (!rest.empty()) tokens += "[" + next_Stringtoken(rest, ' ', &rest) + "]";
  EXPECT_EQ(tokens, "[not][(][a1][or][-2.5][)]");
  const String text = "not (a1 or -2.5)  ";
  tokens.clear();
  for (std::size_t at = 0; at < text.size();) tokens += "[" + next_Stringtoken_at(text, ' ', &at) + "]";
  EXPECT_EQ(tokens, "[not][(][a1][or][-2.5][)][ ]");
}

TEST(FindToken, FindsWholeWordsOnly) {
  // '.' is a boundary here, and Latin-1 é belongs to words.
  expect_each2<int>(find_token, {{{"x = alpha+1", "alpha"}, 4}, {{"alphabet", "alpha"}, -1}, {{"alpha", "alpha"}, 0},
                                 {{"beta.alpha", "alpha"}, 5}, {{"\xE9_x", "\xE9_x"}, 0}, {{"\xE9x", "x"}, -1},
                                 {{"a+b", "a+b"}, -1}});
  EXPECT_TRUE(contains_token("S1 and S2", "S2"));
  EXPECT_FALSE(contains_token("S12", "S1"));
}

TEST(SubstituteToken, ReplacesOnlyWholeWordsJudgedInTheOriginalText) {
  const struct {
    const char *text, *token, *by, *result;
  } cases[] = {
      {"a + ab", "a", "c", "c + ab"}, {"ba a", "a", "c", "ba c"},
      {"a.b a,b", "a", "c", "a.b a,b"},  // '.' and ',' are word characters
      {"(a)", "a", "not x", "(not x)"}, {"", "a", "c", ""},
      // The left edge is judged in the original text, not in the replaced one.
      {"aa", "a", "b", "aa"}, {"go and gogo", "go", "1", "1 and gogo"}, {"a a", "a", "aa", "aa aa"},
      {"abc", "", "x", "abc"},  // an empty token changes nothing
  };
  for (const auto& c : cases)
    EXPECT_EQ(substitute_token(c.text, c.token, c.by), c.result) << c.text << " / " << c.token;
}

// ---- Records --------------------------------------------------------------

TEST(NextRecord, SplitsAtTheFirstSeparator) {
  expect_splits([](const char* in, String& rest) { return next_record(in, ',', rest); },
                {{"a,b,c", "a", "b,c"}, {"abc,", "abc", ""}, {"abc", "abc", ""}, {",a", "", "a"}});
}

TEST(NextRecord, SplitsAtAnyOfASetAndTellsWhich) {
  const struct {
    const char *in, *set, *head, *rest;
    char found;
  } cases[] = {{"a;b", ";,", "a", "b", ';'}, {"a,b;c", ";,", "a", "b;c", ','}, {"ab", ";,", "ab", "", ' '},
               {"a;b", "", "a;b", "", ' '}};
  for (const auto& c : cases) {
    String rest = "x";
    char found = 'x';
    EXPECT_EQ(next_record(c.in, c.set, rest, found), c.head) << c.in << " at " << c.set;
    EXPECT_EQ(rest, c.rest) << c.in << " at " << c.set;
    EXPECT_EQ(found, c.found) << c.in << " at " << c.set;
  }
}

TEST(NextRecord, WalksATextWhenTheRestIsTheInput) {
  String rest = "l1\nl2\n\nl4";
  String lines;
  do lines += "[" + next_record(rest, '\n', rest) + "]";
  while (!rest.empty());
  EXPECT_EQ(lines, "[l1][l2][][l4]");

  rest = "a;b,c";
  char found;
  String head = next_record(rest, ";,", rest, found);
  EXPECT_EQ(head, "a");
  EXPECT_EQ(rest, "b,c");
}

TEST(LastRecord, SplitsAtTheLastSeparator) {
  expect_splits([](const char* in, String& rest) { return last_record(in, '/', rest); },
                {{"dir/sub/file", "dir/sub", "file"}, {"/file", "", "file"}, {"file", "file", ""}});
  String rest = "a/b/c";
  EXPECT_EQ(last_record(rest, '/', rest), "a/b");
  EXPECT_EQ(rest, "c");
}

// ---- Substitutions and filters --------------------------------------------

TEST(Substitutions, CharactersAndStrings) {
  EXPECT_EQ(substitute_char("\"a\"", '"', ""), "a");
  EXPECT_EQ(substitute_char("a-b", '-', "--"), "a--b");
  EXPECT_EQ(substitute_char("a b c", ' ', '_'), "a_b_c");
  EXPECT_EQ(suppres_char("a b c", ' '), "abc");
  // Replacements are not rescanned.
  const struct {
    const char *text, *from, *to, *result;
  } cases[] = {{"x and y", "and", "&", "x & y"}, {"ab", "abc", "x", "ab"}, {"aaa", "aa", "b", "ba"},
               {"aa", "a", "aa", "aaaa"},        {"abc", "", "x", "abc"}};
  for (const auto& c : cases) EXPECT_EQ(substitute_string(c.text, c.from, c.to), c.result) << c.text;
}

TEST(Spaces, TrimsOnlyTheSpaceByte) {
  expect_each<String>(cancel_begin_end_spaces, {{"  a b  ", "a b"}, {"   ", ""}, {"", ""}, {"\ta \n", "\ta \n"}});
  EXPECT_EQ(clever_substitute_space(" a  b ", '_'), "a__b");
  EXPECT_EQ(clever_substitute_space("   ", '_'), "");
}

TEST(Filters, LatexAndRtf) {
  EXPECT_EQ(latex_String_filter("a_b_"), "a\\_b\\_");
  expect_each<String>(rtf_String_filter,
                      {{"\xC3\xA9#", "\\'e9\\'23"},
                       {"$5", "\\'245"},
                       {"l'\xE2\x80\x99", "l\\'91\\'27"},
                       {"\xC2\xAB" "a\xE2\x80\x93" "b\xC2\xBB", "\\'aba-b\\'bb"},
                       {"\xC3\x89\xC3\x88\xC3\x8A\xC3\x8B\xC3\x87", "\\'c9\\'c8\\'ca\\'cb\\'c7"},
                       {"\xC3\xA8\xC3\xAA\xC3\xAB\xC3\xA7\xC3\xA0", "\\'e8\\'ea\\'eb\\'e7\\'e0"},
                       {"\xC3\xB6\xC3\xB4\xC3\xAE\xC3\xAF" "2\xC3\x97" "3", "\\'f6\\'f4\\'ee\\'ef2x3"}});
}

TEST(Case, AsciiOnly) {
  EXPECT_EQ(downcase("AbC\xC9"), "abc\xC9");
  EXPECT_EQ(upcase("\xE9" "1a"), "1A");
  EXPECT_EQ(upcase("aZ_9"), "AZ_9");
}

TEST(Case, Latin1LettersLoseTheirAccents) {
  expect_each<String>(upcase_accent, {{"\xE9t\xE9", "ETE"}, {"\xE8\xEA\xE0\xE2\xF4\xE7\x8C", "EEAAOCI"},
                                      {"a\xF6\xFF-1", "A-1"}});
}

TEST(Case, Utf8LettersLoseTheirAccents) {
  // à is not in the table; 0xC4 0xB1 is the dotless i; a lone 0xC4 is
  // followed by a 0xC3 pair; a lead byte at the end is dropped.
  expect_each<String>(upcase_accent2,
                      {{"\xC3\xA9t\xC3\xA9", "ETE"},
                       {"\xC3\xB6\xC3\xB4\xC3\xAE\xC3\xAD\xC3\xAB\xC3\xA8\xC3\xA7\xC3\xA4\xC3\xA1", "OOIIEECAA"},
                       {"\xC3\xA0x", "X"}, {"\xC4\xB1" "a", "IA"}, {"\xC4\xC3\xA9" "b", "EB"}, {"\xC4\x80" "c", "C"},
                       {"\xE2\x80\x99z", "Z"}, {"ab\xC3", "AB"}, {"ab\xC4", "AB"}, {"ab\xC4\xC3", "AB"}});
  // The lead byte must not swallow what lies beyond the text's end.
  String s("x\xC3\0y", 4);
  EXPECT_EQ(upcase_accent2(s.substr(0, 2)), "X");
}

// ---- File names, directories, edit distance -------------------------------

TEST(FileNames, ExtensionIsRemovedFromTheLastComponentOnly) {
  expect_each<String>(supress_filename_extension,
                      {{"chart.gal", "chart"}, {"dir/chart.gal", "dir/chart"}, {"dir.old/chart", "dir.old/chart"},
                       {"a..b", "a..b"}, {".gal", ""}, {"chart.", "chart"}, {"a.b.c", "a.b"}, {"dir/", "dir/"},
                       {"x.\\y", "x.\\y"}, {"", ""}});
}

TEST(FileNames, NameAndDirectoryOfAPath) {
  expect_each<String>(extract_filename_name, {{"a/b/c.gal", "c.gal"}, {"c.gal", "c.gal"}, {"a/", ""}});
  expect_each<String>(extract_filename_path, {{"a/b/c.gal", "a/b"}, {"c.gal", "."}, {"/c.gal", "/"}});
}

TEST(CurrentDirectory, IsTheProcessWorkingDirectory) {
  char buf[4096];
  ASSERT_NE(getcwd(buf, sizeof buf), nullptr);
  EXPECT_EQ(my_current_directory(), String(buf));
}

TEST(RelativePath, ClimbsFromTheFirstDifferingComponentIgnoringTrailingSlashes) {
  expect_each2<String>(relative_directory_path,
                       {{{"/home/u/proj/src", "/home/u/doc"}, "../proj/src"}, {{"/x/y/z", "/x/y"}, "z"},
                        {{"/x", "/x/y"}, ".."}, {{"/a/b", "/c/d"}, "../../a/b"}, {{"/x/y", "/x/y"}, "."},
                        {{"a/b", "a/c/d"}, "../../b"}, {{"/", "/x"}, ".."}, {{"/x", "/"}, "x"},
                        {{"a/b", "a/b/"}, "."}, {{"/a/b/", "/a/b"}, "."}, {{"/x/y/z/", "/x/y/"}, "z"},
                        {{"/x/", "/x/y//"}, ".."}});
}

TEST(RelativePath, UnrelatedTargetComesBackAsItIs) {
  expect_each2<String>(relative_directory_path, {{{"a/b", "/x/y"}, "a/b"}, {{"/a/b", "x/y"}, "/a/b"}, {{"a/b", "c"}, "a/b"}});
}

TEST(RelativePath, EmptyBaseIsTheCurrentDirectory) {
  String here = my_current_directory();
  EXPECT_EQ(relative_directory_path(here, ""), ".");
  EXPECT_EQ(relative_directory_path(here + "/sub", ""), "sub");
}

TEST(Levenshtein, CountsEdits) {
  expect_each2<int>(levenshtein, {{{"flaw", "lawn"}, 2}, {{"", "abc"}, 3}, {{"abc", ""}, 3}, {{"same", "same"}, 0},
                                  {{"kitten", "sitting"}, 3}});
}

TEST(Levenshtein, MeasuresUpTo998CharactersAndRefusesLonger) {
  String a998(998, 'a'), a999(999, 'a');
  testing::internal::CaptureStderr();
  EXPECT_EQ(levenshtein(a998, ""), 998);
  EXPECT_EQ(levenshtein(a998, String(998, 'b')), 998);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  testing::internal::CaptureStderr();
  EXPECT_EQ(levenshtein(a999, ""), -1);
  EXPECT_EQ(levenshtein("", a999), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "chaines trop grandes!\nchaines trop grandes!\n");
}
