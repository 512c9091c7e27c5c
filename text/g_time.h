// g_time: wall-clock time of day, a sleep in microseconds, a stopwatch of the
// process's user time, and a small calendar over day numbers with French day
// and month names.
//
// Calling form. Three names clash with POSIX and live in namespace tessan:
// always write them qualified,
//     tessan::timeval tv;  tessan::gettimeofday(&tv, nullptr);
//     tessan::usleep(1000);   // sleeps 1000/1000+1 = 2 milliseconds
// No using-declaration is exported on purpose: an unqualified usleep(n)
// would then silently pick the POSIX one (which sleeps n microseconds) for
// some argument types. tv_sec is 64-bit so that the clock does not wrap in
// 2038; narrow it only after reducing it (e.g. modulo a year of seconds).
//
// Day numbers count days so that consecutive dates have consecutive numbers:
// 1 January 1970 is day 719526, and the day number modulo 7 is the weekday
// with 0 = Monday. The name tables are global, filled before main runs.
#ifndef TESSAN_TEXT_G_TIME_H
#define TESSAN_TEXT_G_TIME_H

#include <cstdint>

#include "text/Stringpp.h"

namespace tessan {

struct timeval {
  std::int64_t tv_sec;   // seconds since 1 January 1970, 00:00 UTC
  std::int32_t tv_usec;  // microseconds within that second
};

// Accepted and ignored.
struct timezone {
  int tz_minuteswest;
  int tz_dsttime;
};

// Fills *tv with the wall-clock time; tz may be null. Returns 0.
int gettimeofday(timeval* tv, timezone* tz);

// Sleeps n / 1000 + 1 milliseconds (never less than 1), resuming after a
// signal until the whole time has passed.
void usleep(int n);

}  // namespace tessan

// Stopwatch of the process's user time, in milliseconds. Measures nothing
// until Go; 64-bit inside, so a long-running process does not overflow it;
// the int results saturate at the int range.
class g_chrono {
 public:
  g_chrono();
  void Go();
  // User time since Go; Go's start is kept.
  int Stop();
  // Adds the user time since Go to the cumulated time.
  void StopAndAdd();
  // Processor time (user + system, the C clock) since Go.
  int Get();
  int CumulGet();
  // Units per second: 1000.
  int resolution();

 private:
  std::int64_t start_ms;
  std::int64_t cumul_ms;
  std::int64_t start_clock_ms;
};

extern String internal_g_time_jour[7];   // "Lundi" ... "Dimanche"
extern String internal_g_time_mois[12];  // "Janvier" ... "Decembre"

// 1 for a leap year of the Gregorian calendar, else 0.
int g_annee_bissextile(int y);
// 0-based day of the year of d/m/y (1 January is 0). Any ints are taken: the
// sum is made in 64 bits and held in the int range, so that an absurd date
// (a month of INT_MAX) gives INT_MAX or INT_MIN rather than a wrapped value.
int g_nb_jours_annee_courante(int d, int m, int y);
// Day number of d/m/y; -1 when m is not 1-12, y < 1 or d is not 1-31.
int g_nb_jours(int d, int m, int y);
// The date of day number n.
void g_datecomplete(int n, int* d, int* m, int* y);
// Week number of day n: week 1 holds the year's first Thursday; the days
// before it are week 0, and the last days of December may be week 53.
int g_numero_semaine(int n);
// Today at UTC+1 (no daylight saving): seconds, minutes, hours, day, month, year.
void g_date_aujourdhui(int* s, int* mi, int* h, int* d, int* mo, int* y);
// Day (0 = "Lundi") and month (0 = "Janvier") names; empty out of range.
String g_time_jour(int i);
String g_time_mois(int i);

#endif
