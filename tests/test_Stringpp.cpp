// The text toolkit against tables of calls (tests/data/readertext/stringpp/),
// each with its results and its stderr, so that a row also says the call is
// silent; and the current directory.
#include <gtest/gtest.h>

#include <unistd.h>

#include <iomanip>
#include <memory>
#include <type_traits>
#include <utility>

#include "tests/test_files.h"
#include "text/Stringpp.h"

namespace {

using Texts = std::vector<String>;
using A = const Texts&;
using Call = test_files::table_call;

template <class T>
String text_of(const T& value) {
  std::ostringstream os;
  os << std::boolalpha << std::setprecision(15) << value;
  return os.str();
}

// An argument read from its text as the parameter's type wants it (a long
// double here holds every 64-bit integer exactly).
template <class T>
T from_text(const String& text) {
  if constexpr (std::is_same_v<std::decay_t<T>, String>)
    return text;
  else if constexpr (std::is_same_v<T, char>)
    return text[0];
  else
    return static_cast<T>(std::stold(text));
}

template <class R, class... P, std::size_t... I>
Call call(R (*f)(P...), std::index_sequence<I...>) {
  return [f](A a) { return Texts{text_of(f(from_text<P>(a[I])...))}; };
}

// A call of f on the row's texts, with one result.
template <class R, class... P>
Call call(R (*f)(P...)) {
  return call(f, std::index_sequence_for<P...>{});
}

// Token and record calls take the rest as their own input, as a walk does.
Call cut(String (*f)(const String&, char, String&)) {
  return [f](A a) {
    String rest = a[0];
    const String head = f(rest, a[1][0], rest);
    return Texts{head, rest};
  };
}

String token(const String& in, char c, String& rest) { return next_Stringtoken(in, c, &rest); }

#define CALL(f) {#f, call(f)}

const std::map<String, Call> calls = {
    {"Stoa", [](A a) {
       return Texts{String(std::unique_ptr<char[]>(Stoa(a[0])).get(), a[0].size() + 1)};  // with its NUL
     }},
    CALL(Stoi), CALL(Stol), CALL(Stoll), CALL(Stod), CALL(checkdouble), CALL(Stouhex), CALL(Stoshex),
    CALL(Stoubin), CALL(Stosbin), CALL(Stohex), CALL(Stoloruhex), CALL(ctoS), CALL(unslong2S),
    CALL(unslonglong2S), CALL(long2S), CALL(longlong2S), CALL(unslongbyS), CALL(bin8toS), CALL(hex1toS),
    CALL(hex2toS), CALL(hex4toS), CALL(hex8toS), CALL(checkuint), CALL(checkint), CALL(beginbynumber),
    CALL(checkhex), CALL(checkbin), CALL(checkhexintel), CALL(check_ISO_8859_1_alphabetical_letter),
    CALL(checkvarname), CALL(checkvarname_with_pre_underscore), CALL(contains), CALL(find),
    CALL(char_occurences), CALL(my_before), CALL(my_after), CALL(my_at), CALL(bdelete), CALL(est_lc),
    CALL(find_token), CALL(contains_token), CALL(substitute_token), CALL(suppres_char),
    CALL(substitute_string), CALL(cancel_begin_end_spaces), CALL(clever_substitute_space),
    CALL(latex_String_filter), CALL(rtf_String_filter), CALL(downcase), CALL(upcase), CALL(upcase_accent),
    CALL(upcase_accent2), CALL(supress_filename_extension), CALL(extract_filename_name),
    CALL(extract_filename_path), CALL(relative_directory_path), CALL(levenshtein),
    {"dtoS", call<String, double, int, char>(dtoS)}, {"dtoS with a point", call<String, double, int>(dtoS)},
    {"substitute_char", call<String, const String&, char, const String&>(substitute_char)},
    {"substitute_char to char", call<String, const String&, char, char>(substitute_char)},
    {"next_Stringtoken", cut(token)}, {"next_record", cut(next_record)}, {"last_record", cut(last_record)},
    {"next_record any of", [](A a) {
       String rest = a[0];
       char found = 'x';
       const String head = next_record(rest, a[1].c_str(), rest, found);
       return Texts{head, rest, String(1, found)};
     }},
    {"next_Stringtoken_at", [](A a) {
       std::size_t at = 0;
       const String token = next_Stringtoken_at(a[0], a[1][0], &at);
       return Texts{token, a[0].substr(at)};
     }},
    // The in-place cut from where the last one ended, over a whole text.
    {"next_Stringtoken_at walk", [](A a) {
       String cuts;
       for (std::size_t at = 0; at < a[0].size();) cuts += "[" + next_Stringtoken_at(a[0], ' ', &at) + "]";
       return Texts{cuts};
     }},
    {"levenshtein of repeats", [](A a) {
       return Texts{text_of(levenshtein(String(std::stoul(a[0]), 'a'), String(std::stoul(a[1]), 'b')))};
     }},
};

struct StringppTable : testing::TestWithParam<const char*> {};

TEST_P(StringppTable, EveryCallGivesItsTabledResults) {
  test_files::check_table(String(TESSAN_TEST_DATA) + "/readertext/stringpp/" + GetParam() + ".txt", calls);
}

INSTANTIATE_TEST_SUITE_P(Tables, StringppTable,
                         testing::Values("numbers_from_text", "numbers_to_text", "checks",
                                         "tokens_and_records", "substitutions_and_filters", "file_names"),
                         [](const auto& table) { return String(table.param); });

TEST(Stringpp, CurrentDirectoryIsTheBaseOfRelativePaths) {
  char here[4096];
  ASSERT_NE(getcwd(here, sizeof here), nullptr);
  EXPECT_EQ(my_current_directory(), String(here));
  EXPECT_EQ(relative_directory_path(here, ""), ".");
  EXPECT_EQ(relative_directory_path(here + String("/sub"), ""), "sub");
}

}  // namespace
