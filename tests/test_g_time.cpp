// Wall clock, sleep, stopwatch and the day-number calendar with its French
// names, checked against the C library's own clocks, round trips and known
// dates. A clock is only ever compared with the same clock read around the
// call, so that no verdict depends on the load or the phase of a second.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/time.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <ctime>
#include <utility>
#include <vector>

#include "text/g_time.h"

namespace {

using steady = std::chrono::steady_clock;

volatile sig_atomic_t alarms = 0;
void on_alarm(int) { alarms = alarms + 1; }

std::pair<long long, long long> seconds_and_micros(const ::timeval& tv) { return {tv.tv_sec, tv.tv_usec}; }

// The process's user time and processor time in milliseconds, read as the
// stopwatch reads them.
long long user_ms() {
  struct rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  return static_cast<long long>(ru.ru_utime.tv_sec) * 1000 + ru.ru_utime.tv_usec / 1000;
}
long long clock_ms() { return static_cast<long long>(std::clock()) * 1000 / CLOCKS_PER_SEC; }

}  // namespace

// The library reads the wall clock that gettimeofday reads: its answer lies
// between two readings of it. A clock stepped back between them is read again.
TEST(Gettimeofday, ReadsTheSystemWallClock) {
  static_assert(sizeof(tessan::timeval{}.tv_sec) == 8, "seconds must survive 2038");
  for (int attempt = 0;; ++attempt) {
    ::timeval before, after;
    tessan::timeval tv;
    tessan::timezone tz{};
    ::gettimeofday(&before, nullptr);
    const int status = tessan::gettimeofday(&tv, &tz);
    ::gettimeofday(&after, nullptr);
    if (seconds_and_micros(after) < seconds_and_micros(before) && attempt < 100) continue;
    EXPECT_EQ(status, 0);
    const std::pair<long long, long long> got{tv.tv_sec, tv.tv_usec};
    EXPECT_LE(seconds_and_micros(before), got);
    EXPECT_LE(got, seconds_and_micros(after));
    EXPECT_GE(tv.tv_usec, 0);
    EXPECT_LT(tv.tv_usec, 1000000);
    return;
  }
}

// nanosleep counts on the monotonic clock that steady_clock reads: a sleep is
// never shorter than asked, however loaded the machine. A timer ringing every
// 5 ms interrupts the 41 ms sleep at least once, and the sleep goes on to its
// end.
TEST(Usleep, SleepsOneMillisecondMoreThanTheWholeMillisecondsResumingAfterASignal) {
  using std::chrono::milliseconds;
  for (const auto& c : {std::make_pair(0, 1), {999, 1}, {1000, 2}, {4999, 5}, {-5000, 1}}) {
    const steady::time_point start = steady::now();
    tessan::usleep(c.first);
    EXPECT_GE(steady::now() - start, milliseconds(c.second)) << "usleep(" << c.first << ")";
  }
  struct sigaction sa = {}, old = {};
  sa.sa_handler = on_alarm;  // no SA_RESTART: the sleep is interrupted
  sigaction(SIGALRM, &sa, &old);
  struct itimerval timer = {}, no_timer = {};
  timer.it_value.tv_usec = 5000;
  timer.it_interval.tv_usec = 5000;
  setitimer(ITIMER_REAL, &timer, nullptr);
  const steady::time_point start = steady::now();
  tessan::usleep(40000);
  const steady::duration slept = steady::now() - start;
  setitimer(ITIMER_REAL, &no_timer, nullptr);
  sigaction(SIGALRM, &old, nullptr);
  EXPECT_GE(alarms, 1);
  EXPECT_GE(slept, milliseconds(41));
}

// Stop and the cumulated time count user time, Get the C clock, in
// milliseconds: each lies between readings of its own clock taken around the
// calls, and the work is done until both clocks have moved by 20 ms.
TEST(GChrono, MeasuresUserTimeFromGoAndCumulatesIntervals) {
  g_chrono c;
  EXPECT_EQ(c.CumulGet(), 0);
  EXPECT_EQ(c.resolution(), 1000);
  const long long user_before = user_ms(), clock_before = clock_ms();
  c.Go();
  const long long user_at_go = user_ms(), clock_at_go = clock_ms();
  while (user_ms() < user_at_go + 20 || clock_ms() < clock_at_go + 20)
    for (volatile int spin = 0; spin < 10000; spin = spin + 1) continue;
  const int first = c.Stop();
  c.StopAndAdd();
  c.StopAndAdd();  // twice from the same Go
  const int again = c.Stop();
  const int processor = c.Get();
  const long long user_spent = user_ms() - user_before, clock_spent = clock_ms() - clock_before;
  EXPECT_GE(first, 20);
  EXPECT_LE(first, again);  // Stop keeps Go's start
  EXPECT_LE(again, user_spent);
  EXPECT_GE(c.CumulGet(), 2 * first);
  EXPECT_LE(c.CumulGet(), 2 * user_spent);
  EXPECT_GE(processor, 20);
  EXPECT_LE(processor, clock_spent);
}

TEST(Calendar, LeapYearsDaysOfTheYearFromZeroAndWeekOneHoldingTheFirstThursday) {
  const int cases[][6] = {// day, month, year, leap, day of the year, week
                          {1, 1, 2023, 0, 0, 0},      {1, 3, 2023, 0, 59, 9},     {1, 3, 2024, 1, 60, 9},
                          {31, 12, 2023, 0, 364, 52}, {31, 12, 2024, 1, 365, 53}, {1, 8, 2023, 0, 212, 31},
                          {1, 3, 1900, 0, 59, 9},     {1, 3, 2000, 1, 60, 9},     {1, 1, 2024, 1, 0, 1},
                          {7, 1, 2024, 1, 6, 1},      {8, 1, 2024, 1, 7, 2},      {3, 1, 2021, 0, 2, 0},
                          {4, 1, 2021, 0, 3, 1},      {31, 12, 2020, 1, 365, 53}, {1, 1, 2020, 1, 0, 1},
                          {29, 12, 2025, 0, 362, 53}, {1, 1, 2021, 0, 0, 0}};
  for (const auto& c : cases) {
    const std::vector<int> got = {g_annee_bissextile(c[2]), g_nb_jours_annee_courante(c[0], c[1], c[2]),
                                  g_numero_semaine(g_nb_jours(c[0], c[1], c[2]))};
    EXPECT_EQ(got, std::vector<int>(c + 3, c + 6)) << c[0] << "/" << c[1] << "/" << c[2];
  }
}

// Absurd days and months go through the same arithmetic as real ones, without
// wrapping: past the int range the result stops at its ends.
TEST(Calendar, DayOfTheYearOfAnyIntsIsHeldInTheIntRange) {
  const int cases[][4] = {// day, month, year, day of the year
                          {1, INT_MAX, 2024, INT_MAX},
                          {1, INT_MIN, 2024, INT_MIN},
                          {INT_MAX, 12, 2023, INT_MAX},
                          {INT_MIN, 1, 2023, INT_MIN},
                          {40, 2, 2023, 70},
                          {1, 13, 2023, 365},
                          {0, 0, 2024, -32},
                          {1, 70409300, 2024, INT_MAX - 28},
                          {1, 70409301, 2024, INT_MAX}};
  for (const auto& c : cases)
    EXPECT_EQ(g_nb_jours_annee_courante(c[0], c[1], c[2]), c[3]) << c[0] << "/" << c[1] << "/" << c[2];
}

TEST(Calendar, DayNumbersFromTheEpochsThursdayFrenchNamesAndRefusals) {
  EXPECT_EQ(g_nb_jours(1, 1, 1970), 719526);
  EXPECT_EQ(g_time_jour(g_nb_jours(1, 1, 1970) % 7), "Jeudi");
  EXPECT_EQ(g_nb_jours(1, 1, 2024) % 7, 0);  // a Monday
  EXPECT_EQ(g_time_jour(0) + g_time_jour(6) + g_time_jour(7) + g_time_jour(-1), "LundiDimanche");
  EXPECT_EQ(g_time_mois(0) + g_time_mois(1) + g_time_mois(7) + g_time_mois(11) + g_time_mois(12) +
                g_time_mois(-1),
            "JanvierFevrierAoutDecembre");
  // The last is beyond the int range.
  for (const auto& r : {std::vector<int>{1, 13, 2000}, {1, 0, 2000}, {0, 1, 2000}, {32, 1, 2000}, {1, 1, 0},
                        {1, 1, 2147483647}})
    EXPECT_EQ(g_nb_jours(r[0], r[1], r[2]), -1) << r[0] << "/" << r[1] << "/" << r[2];
}

TEST(Calendar, DateOfDayNumberInvertsDayNumber) {
  const int month_days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int expected = g_nb_jours(1, 1, 1);
  for (int y = 1; y <= 5283; ++y)  // every date: consecutive numbers
    for (int m = 1; m <= 12; ++m)
      for (int d = 1; d <= month_days[m - 1] + (m == 2 ? g_annee_bissextile(y) : 0); ++d, ++expected) {
        ASSERT_EQ(g_nb_jours(d, m, y), expected) << d << "/" << m << "/" << y;
        int dd = 0, mm = 0, yy = 0;
        g_datecomplete(expected, &dd, &mm, &yy);
        ASSERT_TRUE(dd == d && mm == m && yy == y) << expected << ": " << dd << "/" << mm << "/" << yy;
      }
  // The year estimate drifts by a day per few thousand years; the result must not.
  for (int y : {5284, 6000, 9999, 10000, 40000, 100000, 1000000})
    for (const auto& dm : {std::make_pair(1, 1), {28 + g_annee_bissextile(y), 2}, {1, 3}, {31, 12}}) {
      int dd, mm, yy;
      g_datecomplete(g_nb_jours(dm.first, dm.second, y), &dd, &mm, &yy);
      EXPECT_TRUE(dd == dm.first && mm == dm.second && yy == y) << dm.first << "/" << dm.second << " " << y;
    }
}

// g_date_aujourdhui reads the wall clock that gettimeofday reads; the test
// reads it just before and just after the call. Both in one second: the date
// is that second's, exactly. A pair that spans a second boundary (or a clock
// stepped between them) is read again; only when the pairs keep spanning one,
// as on a machine too loaded to read twice within a second, does any second
// between the two readings pass.
TEST(Calendar, TodayIsTheUtcDatePlusOneHour) {
  const auto at_utc_plus_one_hour = [](std::time_t second) {
    const std::time_t shifted = second + 3600;
    struct tm r;
    gmtime_r(&shifted, &r);
    return std::vector<int>({r.tm_sec, r.tm_min, r.tm_hour, r.tm_mday, r.tm_mon + 1, r.tm_year + 1900});
  };
  for (int attempt = 0;; ++attempt) {
    ::timeval before, after;
    std::vector<int> today(6);
    ::gettimeofday(&before, nullptr);
    g_date_aujourdhui(&today[0], &today[1], &today[2], &today[3], &today[4], &today[5]);
    ::gettimeofday(&after, nullptr);
    if (before.tv_sec == after.tv_sec) {
      EXPECT_EQ(today, at_utc_plus_one_hour(before.tv_sec));
      return;
    }
    if (attempt == 1000) {
      std::vector<std::vector<int>> seconds;
      const auto [first, last] = std::minmax(before.tv_sec, after.tv_sec);
      for (std::time_t s = first; s <= last; ++s) seconds.push_back(at_utc_plus_one_hour(s));
      EXPECT_TRUE(std::find(seconds.begin(), seconds.end(), today) != seconds.end())
          << "today " << testing::PrintToString(today) << " is none of " << testing::PrintToString(seconds);
      return;
    }
  }
}
