// Wall clock, sleep, stopwatch and the day-number calendar with its French
// names. Clock readings are checked against the C library's own clocks; the
// calendar against round trips and known dates.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/time.h>

#include <chrono>
#include <ctime>

#include "text/g_time.h"

namespace {

double monotonic_ms() {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

double user_ms() {
  struct rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_utime.tv_sec * 1000.0 + ru.ru_utime.tv_usec / 1000.0;
}

volatile sig_atomic_t alarms = 0;
void on_alarm(int) { alarms = alarms + 1; }

}  // namespace

TEST(Gettimeofday, ReadsTheSystemWallClock) {
  static_assert(sizeof(tessan::timeval{}.tv_sec) == 8, "seconds must survive 2038");
  // time() reads a coarser clock that can lag by a tick: the bounds come
  // from the same clock at the same precision.
  const auto seconds_now = [] {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::seconds>(now).count();
  };
  const auto before = seconds_now();
  tessan::timeval tv;
  tessan::timezone tz{};
  EXPECT_EQ(tessan::gettimeofday(&tv, &tz), 0);
  EXPECT_GE(tv.tv_sec, before);
  EXPECT_LE(tv.tv_sec, seconds_now());
  EXPECT_GE(tv.tv_usec, 0);
  EXPECT_LT(tv.tv_usec, 1000000);
}

TEST(Usleep, SleepsOneMillisecondMoreThanTheWholeMillisecondsResumingAfterASignal) {
  const int cases[][2] = {{0, 1}, {999, 1}, {1000, 2}, {4999, 5}, {-5000, 1}};
  for (const auto& c : cases) {
    const double start = monotonic_ms();
    tessan::usleep(c[0]);
    EXPECT_GE(monotonic_ms() - start, c[1]) << "usleep(" << c[0] << ")";
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
  for (int round = 0; round < 2; ++round) {
    const double before = user_ms();
    const int cumul = c.CumulGet();
    c.Go();
    for (const double until = monotonic_ms() + 20; monotonic_ms() < until;) continue;
    const int first = c.Stop();
    c.StopAndAdd();
    const double spent = user_ms() - before;  // the same clock, read around Go and the stops
    EXPECT_GE(c.Stop(), first);                // Stop keeps Go's start
    EXPECT_GE(first, 0);
    EXPECT_LE(first, spent + 1);
    EXPECT_GE(c.CumulGet(), cumul + first);
    EXPECT_LE(c.CumulGet(), cumul + spent + 1);
    EXPECT_GE(c.Get(), 0);
  }
}

TEST(Calendar, LeapYearsAndDaysOfTheYearFromZero) {
  const int cases[][5] = {// day, month, year, leap, day of the year
                          {1, 1, 2023, 0, 0},   {1, 3, 2023, 0, 59}, {1, 3, 2024, 1, 60},
                          {31, 12, 2023, 0, 364}, {31, 12, 2024, 1, 365}, {1, 8, 2023, 0, 212},
                          {1, 3, 1900, 0, 59},  {1, 3, 2000, 1, 60}};
  for (const auto& c : cases) {
    EXPECT_EQ(g_annee_bissextile(c[2]), c[3]) << c[2];
    EXPECT_EQ(g_nb_jours_annee_courante(c[0], c[1], c[2]), c[4]) << c[0] << "/" << c[1] << "/" << c[2];
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
  const int refused[][3] = {{1, 13, 2000}, {1, 0, 2000},  {0, 1, 2000},
                            {32, 1, 2000}, {1, 1, 0}, {1, 1, 2147483647}};  // the last beyond the int range
  for (const auto& r : refused)
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

TEST(Calendar, WeekOneHoldsTheFirstThursday) {
  const int cases[][4] = {// day, month, year, week
                          {1, 1, 2024, 1}, {7, 1, 2024, 1},    {8, 1, 2024, 2},  {1, 1, 2021, 0},
                          {3, 1, 2021, 0}, {31, 12, 2020, 53}, {1, 1, 2020, 1}, {29, 12, 2025, 53},
                          {4, 1, 2021, 1}};
  for (const auto& c : cases)
    EXPECT_EQ(g_numero_semaine(g_nb_jours(c[0], c[1], c[2])), c[3]) << c[0] << "/" << c[1] << "/" << c[2];
}

TEST(Calendar, TodayIsTheUtcDatePlusOneHour) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::time_t before = std::time(nullptr);
    int s, mi, h, d, mo, y;
    g_date_aujourdhui(&s, &mi, &h, &d, &mo, &y);
    if (std::time(nullptr) != before) continue;  // crossed a second: read again
    const std::time_t shifted = before + 3600;
    struct tm ref;
    gmtime_r(&shifted, &ref);
    EXPECT_EQ(std::vector<int>({s, mi, h, d, mo, y}),
              std::vector<int>({ref.tm_sec, ref.tm_min, ref.tm_hour, ref.tm_mday, ref.tm_mon + 1,
                                ref.tm_year + 1900}));
    return;
  }
  FAIL() << "the clock kept moving across seconds";
}
