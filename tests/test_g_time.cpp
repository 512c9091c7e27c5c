// Wall clock, sleep, stopwatch and the day-number calendar with its French
// names. Clock readings are checked against the C library's own clock; the
// calendar against round trips and known dates.
#include <gtest/gtest.h>

#include <chrono>

#include <signal.h>
#include <sys/time.h>

#include <ctime>
#include <type_traits>

#include "text/g_time.h"

namespace {

double monotonic_ms() {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

volatile sig_atomic_t alarms = 0;
void on_alarm(int) { alarms = alarms + 1; }

void burn_user_time(double ms) {
  double until = monotonic_ms() + ms;
  volatile unsigned x = 0;
  while (monotonic_ms() < until)
    for (int i = 0; i < 10000; ++i) x = x + i;
}

}  // namespace

TEST(Gettimeofday, ReadsTheSystemWallClock) {
  static_assert(sizeof(tessan::timeval{}.tv_sec) == 8, "seconds must survive 2038");
  // time() reads a coarser clock that can lag the wall clock by a tick, so
  // the bounds come from the same clock at the same precision.
  const auto seconds_now = [] {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
  };
  const auto before = seconds_now();
  tessan::timeval tv;
  EXPECT_EQ(tessan::gettimeofday(&tv, nullptr), 0);
  const auto after = seconds_now();
  EXPECT_GE(tv.tv_sec, before);
  EXPECT_LE(tv.tv_sec, after);
  EXPECT_GE(tv.tv_usec, 0);
  EXPECT_LT(tv.tv_usec, 1000000);
  tessan::timezone tz{};
  EXPECT_EQ(tessan::gettimeofday(&tv, &tz), 0);
}

TEST(Usleep, SleepsAtLeastOneMillisecondMoreThanWholeMilliseconds) {
  // usleep(n) sleeps n/1000 + 1 milliseconds: 1 for 0 and 999, 2 for 1000.
  const int cases[][2] = {{0, 1}, {999, 1}, {1000, 2}, {4999, 5}, {-5000, 1}};
  for (const auto& c : cases) {
    double start = monotonic_ms();
    tessan::usleep(c[0]);
    EXPECT_GE(monotonic_ms() - start, c[1]) << "usleep(" << c[0] << ")";
  }
}

TEST(Usleep, ResumesAfterASignalForTheRemainingTime) {
  struct sigaction sa = {}, old = {};
  sa.sa_handler = on_alarm;  // no SA_RESTART: nanosleep returns EINTR
  sigaction(SIGALRM, &sa, &old);
  struct itimerval timer = {}, no_timer = {};
  timer.it_value.tv_usec = 5000;
  alarms = 0;
  setitimer(ITIMER_REAL, &timer, nullptr);
  double start = monotonic_ms();
  tessan::usleep(40000);
  double slept = monotonic_ms() - start;
  setitimer(ITIMER_REAL, &no_timer, nullptr);
  sigaction(SIGALRM, &old, nullptr);
  EXPECT_EQ(alarms, 1);
  EXPECT_GE(slept, 41);
}

TEST(GChrono, StartsAtZero) {
  g_chrono c;
  EXPECT_EQ(c.CumulGet(), 0);
  EXPECT_EQ(c.resolution(), 1000);
}

TEST(GChrono, MeasuresUserTimeSinceGo) {
  g_chrono c;
  c.Go();
  burn_user_time(30);
  int first = c.Stop();
  EXPECT_GE(first, 0);
  burn_user_time(30);
  // Stop keeps the start: a later Stop measures from the same Go.
  EXPECT_GE(c.Stop(), first);
  EXPECT_GE(c.Get(), 0);
}

TEST(GChrono, StopAndAddCumulatesIntervals) {
  g_chrono c;
  c.Go();
  burn_user_time(20);
  c.StopAndAdd();
  int once = c.CumulGet();
  EXPECT_GE(once, 0);
  c.Go();
  burn_user_time(20);
  c.StopAndAdd();
  EXPECT_GE(c.CumulGet(), once);
}

TEST(Calendar, LeapYearsFollowTheGregorianRule) {
  EXPECT_EQ(g_annee_bissextile(1900), 0);
  EXPECT_EQ(g_annee_bissextile(2000), 1);
  EXPECT_EQ(g_annee_bissextile(2024), 1);
  EXPECT_EQ(g_annee_bissextile(2023), 0);
}

TEST(Calendar, DayOfYearCountsFromZero) {
  EXPECT_EQ(g_nb_jours_annee_courante(1, 1, 2023), 0);
  EXPECT_EQ(g_nb_jours_annee_courante(1, 3, 2023), 59);
  EXPECT_EQ(g_nb_jours_annee_courante(1, 3, 2024), 60);
  EXPECT_EQ(g_nb_jours_annee_courante(31, 12, 2023), 364);
  EXPECT_EQ(g_nb_jours_annee_courante(31, 12, 2024), 365);
  EXPECT_EQ(g_nb_jours_annee_courante(1, 8, 2023), 212);
}

TEST(Calendar, DayNumberOfTheEpochIsAThursday) {
  EXPECT_EQ(g_nb_jours(1, 1, 1970), 719526);
  EXPECT_EQ(g_nb_jours(1, 1, 1970) % 7, 3);
  EXPECT_EQ(g_nb_jours(1, 1, 2024) % 7, 0);  // a Monday
}

TEST(Calendar, DayNumberRefusesImpossibleFields) {
  EXPECT_EQ(g_nb_jours(1, 13, 2000), -1);
  EXPECT_EQ(g_nb_jours(1, 0, 2000), -1);
  EXPECT_EQ(g_nb_jours(0, 1, 2000), -1);
  EXPECT_EQ(g_nb_jours(32, 1, 2000), -1);
  EXPECT_EQ(g_nb_jours(1, 1, 0), -1);
  EXPECT_EQ(g_nb_jours(1, 1, 2147483647), -1);  // beyond the int range
}

TEST(Calendar, DateOfDayNumberInvertsDayNumberOverManyYears) {
  const int month_days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int expected = g_nb_jours(1, 1, 1);
  for (int y = 1; y <= 5283; ++y)
    for (int m = 1; m <= 12; ++m) {
      int last = month_days[m - 1] + (m == 2 ? g_annee_bissextile(y) : 0);
      for (int d = 1; d <= last; ++d, ++expected) {
        int n = g_nb_jours(d, m, y);
        ASSERT_EQ(n, expected) << d << "/" << m << "/" << y;  // consecutive dates
        int dd = 0, mm = 0, yy = 0;
        g_datecomplete(n, &dd, &mm, &yy);
        ASSERT_TRUE(dd == d && mm == m && yy == y) << n << " gave " << dd << "/" << mm << "/" << yy;
      }
    }
}

TEST(Calendar, DateOfDayNumberStaysExactFarFromThePresent) {
  // The year estimate drifts by a day per few thousand years; the result
  // must not.
  for (int y : {5284, 6000, 9999, 10000, 40000, 100000, 1000000}) {
    for (int m : {1, 2, 3, 12}) {
      int last = m == 2 ? 28 + g_annee_bissextile(y) : (m == 12 ? 31 : 1);
      for (int d : {1, last}) {
        int dd, mm, yy;
        g_datecomplete(g_nb_jours(d, m, y), &dd, &mm, &yy);
        EXPECT_TRUE(dd == d && mm == m && yy == y) << d << "/" << m << "/" << y;
      }
    }
  }
}

TEST(Calendar, WeekOneHoldsTheFirstThursday) {
  EXPECT_EQ(g_numero_semaine(g_nb_jours(1, 1, 2024)), 1);   // Monday
  EXPECT_EQ(g_numero_semaine(g_nb_jours(7, 1, 2024)), 1);   // Sunday
  EXPECT_EQ(g_numero_semaine(g_nb_jours(8, 1, 2024)), 2);
  EXPECT_EQ(g_numero_semaine(g_nb_jours(1, 1, 2021)), 0);   // Friday
  EXPECT_EQ(g_numero_semaine(g_nb_jours(3, 1, 2021)), 0);
  EXPECT_EQ(g_numero_semaine(g_nb_jours(4, 1, 2021)), 1);
  EXPECT_EQ(g_numero_semaine(g_nb_jours(31, 12, 2020)), 53);
  EXPECT_EQ(g_numero_semaine(g_nb_jours(1, 1, 2020)), 1);   // Wednesday
  EXPECT_EQ(g_numero_semaine(g_nb_jours(29, 12, 2025)), 53);  // Monday
}

TEST(Calendar, TodayIsTheUtcDatePlusOneHour) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::time_t before = std::time(nullptr);
    int s, mi, h, d, mo, y;
    g_date_aujourdhui(&s, &mi, &h, &d, &mo, &y);
    std::time_t after = std::time(nullptr);
    if (before != after) continue;  // crossed a second: read again
    std::time_t shifted = before + 3600;
    struct tm ref;
    gmtime_r(&shifted, &ref);
    EXPECT_EQ(s, ref.tm_sec);
    EXPECT_EQ(mi, ref.tm_min);
    EXPECT_EQ(h, ref.tm_hour);
    EXPECT_EQ(d, ref.tm_mday);
    EXPECT_EQ(mo, ref.tm_mon + 1);
    EXPECT_EQ(y, ref.tm_year + 1900);
    return;
  }
  FAIL() << "the clock kept moving across seconds";
}

TEST(Calendar, FrenchNamesByIndex) {
  EXPECT_EQ(g_time_jour(0), "Lundi");
  EXPECT_EQ(g_time_jour(6), "Dimanche");
  EXPECT_EQ(g_time_jour(7), "");
  EXPECT_EQ(g_time_jour(-1), "");
  EXPECT_EQ(g_time_mois(0), "Janvier");
  EXPECT_EQ(g_time_mois(1), "Fevrier");
  EXPECT_EQ(g_time_mois(7), "Aout");
  EXPECT_EQ(g_time_mois(11), "Decembre");
  EXPECT_EQ(g_time_mois(12), "");
  // The day of the week of a day number names the day.
  EXPECT_EQ(g_time_jour(g_nb_jours(1, 1, 1970) % 7), "Jeudi");
}
