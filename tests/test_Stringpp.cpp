// The text toolkit: number conversions and checks, substrings, tokens,
// records, substitutions, filters, file names and the edit distance.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>

#include "text/Stringpp.h"

// ---- Text to number -------------------------------------------------------

TEST(Stoa, CopiesBytesWithTerminatingNul) {
  String s("a\0b", 3);
  std::unique_ptr<char[]> a(Stoa(s));
  EXPECT_EQ(String(a.get(), 4), String("a\0b\0", 4));
  std::unique_ptr<char[]> e(Stoa(""));
  EXPECT_EQ(e[0], '\0');
}

TEST(Stoi, ReadsDecimalWithoutTestingDigits) {
  EXPECT_EQ(Stoi(""), 0);
  EXPECT_EQ(Stoi("-"), 0);
  EXPECT_EQ(Stoi("-12"), -12);
  EXPECT_EQ(Stoi("1a"), 59);     // 'a' - '0' = 49 added as a digit
  EXPECT_EQ(Stoi("1-"), 7);      // a later '-' adds -3
  EXPECT_EQ(Stoi("1 "), -6);     // a space adds -16
  EXPECT_EQ(Stoi("+1"), -49);    // "+" is a digit of value -5 like any other byte
  EXPECT_EQ(Stol("2147483647"), 2147483647);
}

TEST(Stoi, WrapsModulo32Bits) {
  EXPECT_EQ(Stoi("2147483648"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(Stol("-2147483648"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(Stol("4294967297"), 1);
  EXPECT_EQ(Stol("99999999999999999999"), static_cast<std::int32_t>(1661992959u));
}

TEST(Stoll, Reads64BitAndWraps) {
  EXPECT_EQ(Stoll("9223372036854775807"), std::numeric_limits<long long>::max());
  EXPECT_EQ(Stoll("-9223372036854775808"), std::numeric_limits<long long>::min());
  EXPECT_EQ(Stoll("18446744073709551617"), 1);
  EXPECT_EQ(Stoll("-3000000000"), -3000000000LL);
}

TEST(Stod, ReadsTheNumberGrammar) {
  EXPECT_DOUBLE_EQ(Stod(" 12.5", '.'), 12.5);
  EXPECT_DOUBLE_EQ(Stod("-0.25", '.'), -0.25);
  EXPECT_DOUBLE_EQ(Stod("0", '.'), 0.0);
  EXPECT_DOUBLE_EQ(Stod("0.5", '.'), 0.5);
  EXPECT_DOUBLE_EQ(Stod("1e3", '.'), 1000.0);
  EXPECT_DOUBLE_EQ(Stod("1.25E3", '.'), 1250.0);
  EXPECT_DOUBLE_EQ(Stod("5e-1", '.'), 0.5);
  EXPECT_DOUBLE_EQ(Stod("3e-2", '.'), 0.03);
  EXPECT_DOUBLE_EQ(Stod("2e+2", '.'), 200.0);
  EXPECT_DOUBLE_EQ(Stod("-0.0", '.'), 0.0);
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
  EXPECT_DOUBLE_EQ(Stod("1e308", '.'), 1e308);
}

TEST(Stod, ReadsLongDigitRunsAsTheNumberTheyShow) {
  EXPECT_DOUBLE_EQ(Stod("12345678901", '.'), 12345678901.0);
  EXPECT_DOUBLE_EQ(Stod("0.1234567890123", '.'), 0.1234567890123);
  EXPECT_DOUBLE_EQ(Stod("1.00000000000000000000000001", '.'), 1.0);
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
  EXPECT_EQ(Stouhex(""), 0u);
  EXPECT_EQ(Stouhex("1F"), 31u);
  EXPECT_EQ(Stouhex("ff"), 255u);
  EXPECT_EQ(Stouhex("1g"), 16u);
  EXPECT_EQ(Stouhex("FFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_EQ(Stouhex("123456789"), 0x23456789u);  // wraps modulo 2^32
}

TEST(Stoshex, ReadsTwosComplementOfTheTextsWidth) {
  EXPECT_EQ(Stoshex("F"), -1);
  EXPECT_EQ(Stoshex("7F"), 127);
  EXPECT_EQ(Stoshex("80"), -128);
  EXPECT_EQ(Stoshex("FFFFFFFF"), -1);
  EXPECT_EQ(Stoshex("80000000"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(Stoshex("FFFFFFFFF"), -1);
  EXPECT_EQ(Stoshex(""), 0);
  EXPECT_EQ(Stoshex("\xF0"), 0);  // a byte above 0x7F is no digit and no sign
}

TEST(Stobin, ReadsUnsignedAndSignedBinary) {
  EXPECT_EQ(Stoubin(""), 0u);
  EXPECT_EQ(Stoubin("101"), 5u);
  EXPECT_EQ(Stoubin("12"), 4u);  // no test of the digits
  EXPECT_EQ(Stosbin(""), 0);
  EXPECT_EQ(Stosbin("0"), 0);
  EXPECT_EQ(Stosbin("0101"), 5);
  EXPECT_EQ(Stosbin("1"), -1);
  EXPECT_EQ(Stosbin("10"), -2);
  EXPECT_EQ(Stosbin("11"), -1);
  EXPECT_EQ(Stosbin("110"), -2);
  EXPECT_EQ(Stosbin("1011"), -5);
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
  EXPECT_EQ(Stoloruhex("0x", "0x1F"), 31);
  EXPECT_EQ(Stoloruhex("0x", "31"), 31);
  EXPECT_EQ(Stoloruhex("$", "$ff"), 255);
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
  EXPECT_EQ(long2S(std::numeric_limits<std::int32_t>::min()), "-2147483648");
  EXPECT_EQ(longlong2S(0), "0");
  EXPECT_EQ(longlong2S(std::numeric_limits<long long>::min()), "-9223372036854775808");
}

TEST(IntegerWriters, WriteOctalAsLetters) {
  EXPECT_EQ(unslongbyS(0), "A");
  EXPECT_EQ(unslongbyS(7), "H");
  EXPECT_EQ(unslongbyS(8), "BA");
  EXPECT_EQ(unslongbyS(4294967295u), "DHHHHHHHHHH");
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
  EXPECT_EQ(hex8toS(std::numeric_limits<std::int32_t>::min()), "80000000");
}

TEST(Dtos, WritesFixedPointWithTheGivenSeparator) {
  EXPECT_EQ(dtoS(3.14159, 2), "3.14");
  EXPECT_EQ(dtoS(2.5, 3, ','), "2,500");
  EXPECT_EQ(dtoS(0.999, 2), "1.00");
  EXPECT_EQ(dtoS(-1.5, 1), "-1.5");
  EXPECT_EQ(dtoS(0.05, 3), "0.050");  // leading zeros of the fraction kept
  EXPECT_EQ(dtoS(-0.0, 2), "0.00");
  EXPECT_EQ(dtoS(3.7, 0), "4.");
  EXPECT_EQ(dtoS(3.2, -3), "3.");
}

TEST(Dtos, RoundsHalfDownUnlikePrintf) {
  // Exactly representable halves stay down: printf would give 0.38, 2 and 3.
  EXPECT_EQ(dtoS(0.375, 2), "0.37");
  EXPECT_EQ(dtoS(1.5, 0), "1.");
  EXPECT_EQ(dtoS(2.5, 0), "2.");
  EXPECT_EQ(dtoS(-0.125, 2), "-0.12");
  EXPECT_EQ(dtoS(0.376, 2), "0.38");
  EXPECT_EQ(dtoS(9.9996, 3), "10.000");  // the carry reaches the integer part
}

TEST(Dtos, WritesNonFiniteValuesByName) {
  EXPECT_EQ(dtoS(std::nan(""), 2), "nan");
  EXPECT_EQ(dtoS(HUGE_VAL, 2), "inf");
  EXPECT_EQ(dtoS(-HUGE_VAL, 2, ','), "-inf");
}

TEST(Dtos, KeepsIntegerPartsBeyond32Bits) {
  EXPECT_EQ(dtoS(3000000000.25, 2), "3000000000.25");
  EXPECT_EQ(dtoS(-2147483648.5, 1), "-2147483648.5");
  EXPECT_EQ(dtoS(1e15, 1), "1000000000000000.0");
  EXPECT_EQ(dtoS(9223372036854775807.0, 1), "9223372036854775808.0");
  EXPECT_EQ(dtoS(std::ldexp(1.0, 70), 2), "1180591620717411303424.00");
  EXPECT_EQ(dtoS(-std::ldexp(1.0, 64), 0), "-18446744073709551616.");
}

TEST(Dtos, WritesManyDecimals) {
  EXPECT_EQ(dtoS(0.5, 12), "0.500000000000");
  EXPECT_EQ(dtoS(0.25, 20), "0.25000000000000000000");
}

// ---- Checks ---------------------------------------------------------------

TEST(Checks, IntegerForms) {
  EXPECT_FALSE(checkuint(""));
  EXPECT_TRUE(checkuint("0123"));
  EXPECT_FALSE(checkuint("12a"));
  EXPECT_FALSE(checkuint("-1"));
  EXPECT_FALSE(checkint(""));
  EXPECT_FALSE(checkint("-"));
  EXPECT_TRUE(checkint("-12"));
  EXPECT_TRUE(checkint("12"));
  EXPECT_FALSE(checkint("+12"));
  EXPECT_FALSE(checkint("--1"));
  EXPECT_FALSE(beginbynumber(""));
  EXPECT_TRUE(beginbynumber("1a"));
  EXPECT_FALSE(beginbynumber("a1"));
}

TEST(Checks, HexAndBinaryForms) {
  EXPECT_TRUE(checkhex(""));
  EXPECT_TRUE(checkhex("09afAF"));
  EXPECT_FALSE(checkhex("g"));
  EXPECT_TRUE(checkbin(""));
  EXPECT_TRUE(checkbin("0110"));
  EXPECT_FALSE(checkbin("012"));
  EXPECT_TRUE(checkhexintel("1Fh"));
  EXPECT_TRUE(checkhexintel("h"));
  EXPECT_FALSE(checkhexintel("1FH"));
  EXPECT_FALSE(checkhexintel(""));
  EXPECT_FALSE(checkhexintel("1G h"));
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
  EXPECT_TRUE(checkvarname_with_pre_underscore("_a"));
  EXPECT_TRUE(checkvarname_with_pre_underscore("a"));
  EXPECT_FALSE(checkvarname_with_pre_underscore("_"));
  EXPECT_FALSE(checkvarname_with_pre_underscore("__"));
  EXPECT_FALSE(checkvarname_with_pre_underscore(""));
}

// ---- Substrings and search ------------------------------------------------

TEST(Search, ContainsFindAndCount) {
  EXPECT_TRUE(contains("abc", ""));
  EXPECT_TRUE(contains("", ""));
  EXPECT_TRUE(contains("abc", "bc"));
  EXPECT_FALSE(contains("abc", "d"));
  EXPECT_EQ(find("abc", "d"), -1);
  EXPECT_EQ(find("abc", ""), 0);
  EXPECT_EQ(find("abcbc", "bc"), 1);
  EXPECT_EQ(char_occurences("a,b,,c", ','), 3);
  EXPECT_EQ(char_occurences("", ','), 0);
}

TEST(Substrings, CutByIndexesClampedToTheText) {
  EXPECT_EQ(my_before("abc", 5), "abc");
  EXPECT_EQ(my_before("abc", 2), "ab");
  EXPECT_EQ(my_before("abc", 0), "");
  EXPECT_EQ(my_before("abc", -1), "");
  EXPECT_EQ(my_after("abc", 1), "bc");
  EXPECT_EQ(my_after("abc", 3), "");
  EXPECT_EQ(my_after("abc", 7), "");
  EXPECT_EQ(my_after("abc", -2), "abc");
  EXPECT_EQ(my_at("abcdef", 1, 3), "bc");
  EXPECT_EQ(my_at("abcdef", 4, 10), "ef");
  EXPECT_EQ(my_at("abcdef", 3, 3), "");
  EXPECT_EQ(my_at("abcdef", 5, 2), "");
  EXPECT_EQ(my_at("abcdef", 9, 12), "");
  EXPECT_EQ(my_at("abcdef", -1, 2), "ab");
  EXPECT_EQ(bdelete("(x)"), "x");
  EXPECT_EQ(bdelete("ab"), "");
  EXPECT_EQ(bdelete(""), "");
}

// ---- Tokens ---------------------------------------------------------------

TEST(Tokens, WordCharacters) {
  for (char c : String("azAZ09_.,@")) EXPECT_TRUE(est_lc(c)) << c;
  for (char c : String(" -+()#\t\xE9")) EXPECT_FALSE(est_lc(c)) << c;
}

TEST(NextStringtoken, CutsWordsNumbersAndSingleCharacters) {
  struct row {
    const char *in, *token, *rest;
  } rows[] = {
      {"", "", ""},           {"   ", " ", ""},          {"a and b", "a", " and b"},
      {"  -12.5)", "-12.5", ")"}, {"(x", "(", "x"},      {"-x", "-", "x"},
      {"x_1.y", "x_1.y", ""}, {"a>=b", "a", ">=b"},      {">=b", ">", "=b"},
      {"\tx", "\t", "x"},     {"x@y,z w", "x@y,z", " w"}, {"#A", "#", "A"},
  };
  for (const row& r : rows) {
    String rest = "unchanged";
    EXPECT_EQ(next_Stringtoken(r.in, ' ', &rest), r.token) << "'" << r.in << "'";
    EXPECT_EQ(rest, r.rest) << "'" << r.in << "'";
  }
}

TEST(NextStringtoken, StopsRunsAtTheSeparator) {
  String rest;
  EXPECT_EQ(next_Stringtoken("a,b", ',', &rest), "a");
  EXPECT_EQ(rest, ",b");
  EXPECT_EQ(next_Stringtoken(",,,", ',', &rest), ",");
  EXPECT_EQ(rest, "");
}

TEST(NextStringtoken, WalksATextWhenTheRestIsTheInput) {
  String rest = "not (a1 or -2.5)";
  String tokens;
  while (!rest.empty()) tokens += "[" + next_Stringtoken(rest, ' ', &rest) + "]";
  EXPECT_EQ(tokens, "[not][(][a1][or][-2.5][)]");
}

TEST(FindToken, FindsWholeWordsOnly) {
  EXPECT_EQ(find_token("x = alpha+1", "alpha"), 4);
  EXPECT_EQ(find_token("alphabet", "alpha"), -1);
  EXPECT_EQ(find_token("alpha", "alpha"), 0);
  EXPECT_EQ(find_token("beta.alpha", "alpha"), 5);  // '.' is a boundary here
  EXPECT_EQ(find_token("\xE9_x", "\xE9_x"), 0);    // Latin-1 é belongs to words
  EXPECT_EQ(find_token("\xE9x", "x"), -1);
  EXPECT_EQ(find_token("a+b", "a+b"), -1);
  EXPECT_TRUE(contains_token("S1 and S2", "S2"));
  EXPECT_FALSE(contains_token("S12", "S1"));
}

TEST(SubstituteToken, ReplacesOnlyWholeWords) {
  EXPECT_EQ(substitute_token("a + ab", "a", "c"), "c + ab");
  EXPECT_EQ(substitute_token("ba a", "a", "c"), "ba c");
  EXPECT_EQ(substitute_token("a.b a,b", "a", "c"), "a.b a,b");  // '.' and ',' are word characters
  EXPECT_EQ(substitute_token("(a)", "a", "not x"), "(not x)");
  EXPECT_EQ(substitute_token("", "a", "c"), "");
}

TEST(SubstituteToken, JudgesTheLeftEdgeInTheOriginalText) {
  EXPECT_EQ(substitute_token("aa", "a", "b"), "aa");
  EXPECT_EQ(substitute_token("go and gogo", "go", "1"), "1 and gogo");
  EXPECT_EQ(substitute_token("a a", "a", "aa"), "aa aa");
}

TEST(SubstituteToken, EmptyTokenChangesNothing) {
  EXPECT_EQ(substitute_token("abc", "", "x"), "abc");
}

// ---- Records --------------------------------------------------------------

TEST(NextRecord, SplitsAtTheFirstSeparator) {
  String rest = "x";
  EXPECT_EQ(next_record("a,b,c", ',', rest), "a");
  EXPECT_EQ(rest, "b,c");
  EXPECT_EQ(next_record("abc,", ',', rest), "abc");
  EXPECT_EQ(rest, "");
  EXPECT_EQ(next_record("abc", ',', rest), "abc");
  EXPECT_EQ(rest, "");
  EXPECT_EQ(next_record(",a", ',', rest), "");
  EXPECT_EQ(rest, "a");
}

TEST(NextRecord, SplitsAtAnyOfASetAndTellsWhich) {
  String rest;
  char found = 'x';
  EXPECT_EQ(next_record("a;b", ";,", rest, found), "a");
  EXPECT_EQ(rest, "b");
  EXPECT_EQ(found, ';');
  EXPECT_EQ(next_record("a,b;c", ";,", rest, found), "a");
  EXPECT_EQ(found, ',');
  EXPECT_EQ(next_record("ab", ";,", rest, found), "ab");
  EXPECT_EQ(rest, "");
  EXPECT_EQ(found, ' ');
  EXPECT_EQ(next_record("a;b", "", rest, found), "a;b");
  EXPECT_EQ(found, ' ');
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
  String rest;
  EXPECT_EQ(last_record("dir/sub/file", '/', rest), "dir/sub");
  EXPECT_EQ(rest, "file");
  EXPECT_EQ(last_record("/file", '/', rest), "");
  EXPECT_EQ(rest, "file");
  EXPECT_EQ(last_record("file", '/', rest), "file");
  EXPECT_EQ(rest, "");
  rest = "a/b/c";
  EXPECT_EQ(last_record(rest, '/', rest), "a/b");
  EXPECT_EQ(rest, "c");
}

// ---- Substitutions and filters --------------------------------------------

TEST(Substitutions, CharactersAndStrings) {
  EXPECT_EQ(substitute_char("\"a\"", '"', ""), "a");
  EXPECT_EQ(substitute_char("a-b", '-', "--"), "a--b");
  EXPECT_EQ(substitute_char("a b c", ' ', '_'), "a_b_c");
  EXPECT_EQ(suppres_char("a b c", ' '), "abc");
  EXPECT_EQ(substitute_string("x and y", "and", "&"), "x & y");
  EXPECT_EQ(substitute_string("ab", "abc", "x"), "ab");
  EXPECT_EQ(substitute_string("aaa", "aa", "b"), "ba");
  EXPECT_EQ(substitute_string("aa", "a", "aa"), "aaaa");  // replacements are not rescanned
  EXPECT_EQ(substitute_string("abc", "", "x"), "abc");
}

TEST(Spaces, TrimsOnlyTheSpaceByte) {
  EXPECT_EQ(cancel_begin_end_spaces("  a b  "), "a b");
  EXPECT_EQ(cancel_begin_end_spaces("   "), "");
  EXPECT_EQ(cancel_begin_end_spaces(""), "");
  EXPECT_EQ(cancel_begin_end_spaces("\ta \n"), "\ta \n");
  EXPECT_EQ(clever_substitute_space(" a  b ", '_'), "a__b");
  EXPECT_EQ(clever_substitute_space("   ", '_'), "");
}

TEST(Filters, LatexAndRtf) {
  EXPECT_EQ(latex_String_filter("a_b_"), "a\\_b\\_");
  EXPECT_EQ(rtf_String_filter("\xC3\xA9#"), "\\'e9\\'23");
  EXPECT_EQ(rtf_String_filter("$5"), "\\'245");
  EXPECT_EQ(rtf_String_filter("l'\xE2\x80\x99"), "l\\'91\\'27");
  EXPECT_EQ(rtf_String_filter("\xC2\xAB" "a\xE2\x80\x93" "b\xC2\xBB"), "\\'aba-b\\'bb");
  EXPECT_EQ(rtf_String_filter("\xC3\x89\xC3\x88\xC3\x8A\xC3\x8B\xC3\x87"), "\\'c9\\'c8\\'ca\\'cb\\'c7");
  EXPECT_EQ(rtf_String_filter("\xC3\xA8\xC3\xAA\xC3\xAB\xC3\xA7\xC3\xA0"), "\\'e8\\'ea\\'eb\\'e7\\'e0");
  EXPECT_EQ(rtf_String_filter("\xC3\xB6\xC3\xB4\xC3\xAE\xC3\xAF" "2\xC3\x97" "3"), "\\'f6\\'f4\\'ee\\'ef2x3");
}

TEST(Case, AsciiOnly) {
  EXPECT_EQ(downcase("AbC\xC9"), "abc\xC9");
  EXPECT_EQ(upcase("\xE9" "1a"), "1A");
  EXPECT_EQ(upcase("aZ_9"), "AZ_9");
}

TEST(Case, Latin1LettersLoseTheirAccents) {
  EXPECT_EQ(upcase_accent("\xE9t\xE9"), "ETE");
  EXPECT_EQ(upcase_accent("\xE8\xEA\xE0\xE2\xF4\xE7\x8C"), "EEAAOCI");
  EXPECT_EQ(upcase_accent("a\xF6\xFF-1"), "A-1");
}

TEST(Case, Utf8LettersLoseTheirAccents) {
  EXPECT_EQ(upcase_accent2("\xC3\xA9t\xC3\xA9"), "ETE");
  EXPECT_EQ(upcase_accent2("\xC3\xB6\xC3\xB4\xC3\xAE\xC3\xAD\xC3\xAB\xC3\xA8\xC3\xA7\xC3\xA4\xC3\xA1"), "OOIIEECAA");
  EXPECT_EQ(upcase_accent2("\xC3\xA0x"), "X");          // à is not in the table
  EXPECT_EQ(upcase_accent2("\xC4\xB1" "a"), "IA");       // dotless i
  EXPECT_EQ(upcase_accent2("\xC4\xC3\xA9" "b"), "EB");    // 0xC4 then a 0xC3 pair
  EXPECT_EQ(upcase_accent2("\xC4\x80" "c"), "C");
  EXPECT_EQ(upcase_accent2("\xE2\x80\x99z"), "Z");
}

TEST(Case, Utf8LeadByteAtTheEndIsDropped) {
  EXPECT_EQ(upcase_accent2("ab\xC3"), "AB");
  EXPECT_EQ(upcase_accent2("ab\xC4"), "AB");
  EXPECT_EQ(upcase_accent2("ab\xC4\xC3"), "AB");
  // The lead byte must not swallow what lies beyond the text's end.
  String s("x\xC3\0y", 4);
  EXPECT_EQ(upcase_accent2(s.substr(0, 2)), "X");
}

// ---- File names, directories, edit distance -------------------------------

TEST(FileNames, ExtensionIsRemovedFromTheLastComponentOnly) {
  EXPECT_EQ(supress_filename_extension("chart.gal"), "chart");
  EXPECT_EQ(supress_filename_extension("dir/chart.gal"), "dir/chart");
  EXPECT_EQ(supress_filename_extension("dir.old/chart"), "dir.old/chart");
  EXPECT_EQ(supress_filename_extension("a..b"), "a..b");
  EXPECT_EQ(supress_filename_extension(".gal"), "");
  EXPECT_EQ(supress_filename_extension("chart."), "chart");
  EXPECT_EQ(supress_filename_extension("a.b.c"), "a.b");
  EXPECT_EQ(supress_filename_extension("dir/"), "dir/");
  EXPECT_EQ(supress_filename_extension("x.\\y"), "x.\\y");
  EXPECT_EQ(supress_filename_extension(""), "");
}

TEST(FileNames, NameAndDirectoryOfAPath) {
  EXPECT_EQ(extract_filename_name("a/b/c.gal"), "c.gal");
  EXPECT_EQ(extract_filename_name("c.gal"), "c.gal");
  EXPECT_EQ(extract_filename_name("a/"), "");
  EXPECT_EQ(extract_filename_path("a/b/c.gal"), "a/b");
  EXPECT_EQ(extract_filename_path("c.gal"), ".");
  EXPECT_EQ(extract_filename_path("/c.gal"), "/");
}

TEST(CurrentDirectory, IsTheProcessWorkingDirectory) {
  char buf[4096];
  ASSERT_NE(getcwd(buf, sizeof buf), nullptr);
  EXPECT_EQ(my_current_directory(), String(buf));
}

TEST(RelativePath, ClimbsFromTheFirstDifferingComponent) {
  EXPECT_EQ(relative_directory_path("/home/u/proj/src", "/home/u/doc"), "../proj/src");
  EXPECT_EQ(relative_directory_path("/x/y/z", "/x/y"), "z");
  EXPECT_EQ(relative_directory_path("/x", "/x/y"), "..");
  EXPECT_EQ(relative_directory_path("/a/b", "/c/d"), "../../a/b");
  EXPECT_EQ(relative_directory_path("/x/y", "/x/y"), ".");
  EXPECT_EQ(relative_directory_path("a/b", "a/c/d"), "../../b");
  EXPECT_EQ(relative_directory_path("/", "/x"), "..");
  EXPECT_EQ(relative_directory_path("/x", "/"), "x");
}

TEST(RelativePath, UnrelatedTargetComesBackAsItIs) {
  EXPECT_EQ(relative_directory_path("a/b", "/x/y"), "a/b");
  EXPECT_EQ(relative_directory_path("/a/b", "x/y"), "/a/b");
  EXPECT_EQ(relative_directory_path("a/b", "c"), "a/b");
}

TEST(RelativePath, TrailingSlashesAreIgnored) {
  EXPECT_EQ(relative_directory_path("a/b", "a/b/"), ".");
  EXPECT_EQ(relative_directory_path("/a/b/", "/a/b"), ".");
  EXPECT_EQ(relative_directory_path("/x/y/z/", "/x/y/"), "z");
  EXPECT_EQ(relative_directory_path("/x/", "/x/y//"), "..");
}

TEST(RelativePath, EmptyBaseIsTheCurrentDirectory) {
  String here = my_current_directory();
  EXPECT_EQ(relative_directory_path(here, ""), ".");
  EXPECT_EQ(relative_directory_path(here + "/sub", ""), "sub");
}

TEST(Levenshtein, CountsEdits) {
  EXPECT_EQ(levenshtein("flaw", "lawn"), 2);
  EXPECT_EQ(levenshtein("", "abc"), 3);
  EXPECT_EQ(levenshtein("abc", ""), 3);
  EXPECT_EQ(levenshtein("same", "same"), 0);
  EXPECT_EQ(levenshtein("kitten", "sitting"), 3);
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
