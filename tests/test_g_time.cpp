// Wall clock, sleep, stopwatch and the day-number calendar with its French
// names, checked against the C library's own clocks, round trips and known
// dates.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/time.h>

#include <ctime>
#include <vector>

#include "text/g_time.h"

namespace {

double monotonic_ms() {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

volatile sig_atomic_t alarms = 0;
void on_alarm(int) { alarms = alarms + 1; }

}  // namespace

TEST(Gettimeofday, ReadsTheSystemWallClock) {
  static_assert(sizeof(tessan::timeval{}.tv_sec) == 8, "seconds must survive 2038");
  const std::time_t before = std::time(nullptr);  // can lag the wall clock by a tick
  tessan::timeval tv;
  tessan::timezone tz{};
  EXPECT_EQ(tessan::gettimeofday(&tv, &tz), 0);
  EXPECT_GE(tv.tv_sec, before);
  EXPECT_GE(tv.tv_usec, 0);
  EXPECT_LT(tv.tv_usec, 1000000);
}

TEST(Usleep, SleepsOneMillisecondMoreThanTheWholeMillisecondsResumingAfterASignal) {
  for (const auto& c : {std::make_pair(0, 1), {999, 1}, {1000, 2}, {4999, 5}, {-5000, 1}}) {
    const double start = monotonic_ms();
    tessan::usleep(c.first);
    EXPECT_GE(monotonic_ms() - start, c.second) << "usleep(" << c.first << ")";
  }
  struct sigaction sa = {}, old = {};
  sa.sa_handler = on_alarm;  // no SA_RESTART: the sleep is interrupted
  sigaction(SIGALRM, &sa, &old);
  struct itimerval timer = {}, no_timer = {};
  timer.it_value.tv_usec = 5000;
  setitimer(ITIMER_REAL, &timer, nullptr);
  const double start = monotonic_ms();
  tessan::usleep(40000);
  const double slept = monotonic_ms() - start;
  setitimer(ITIMER_REAL, &no_timer, nullptr);
  sigaction(SIGALRM, &old, nullptr);
  EXPECT_EQ(alarms, 1);
  EXPECT_GE(slept, 41);
}

TEST(GChrono, MeasuresUserTimeFromGoAndCumulatesIntervals) {
  g_chrono c;
  EXPECT_EQ(c.CumulGet(), 0);
  EXPECT_EQ(c.resolution(), 1000);
  c.Go();
  for (const double until = monotonic_ms() + 20; monotonic_ms() < until;) continue;
  const int first = c.Stop();
  c.StopAndAdd();
  c.StopAndAdd();  // twice from the same Go
  EXPECT_GE(first, 0);
  EXPECT_LE(first, 1000);      // 20 ms of work, far from a second
  EXPECT_GE(c.Stop(), first);  // Stop keeps Go's start
  EXPECT_GE(c.CumulGet(), 2 * first);
  EXPECT_LE(c.CumulGet(), 2000);
  EXPECT_GE(c.Get(), 0);
  EXPECT_LE(c.Get(), 1000);
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

TEST(Calendar, TodayIsTheUtcDatePlusOneHour) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::time_t before = std::time(nullptr);
    std::vector<int> today(6);
    g_date_aujourdhui(&today[0], &today[1], &today[2], &today[3], &today[4], &today[5]);
    if (std::time(nullptr) != before) continue;  // crossed a second: read again
    const std::time_t shifted = before + 3600;
    struct tm r;
    gmtime_r(&shifted, &r);
    EXPECT_EQ(today,
              std::vector<int>({r.tm_sec, r.tm_min, r.tm_hour, r.tm_mday, r.tm_mon + 1, r.tm_year + 1900}));
    return;
  }
  FAIL() << "the clock kept moving across seconds";
}
