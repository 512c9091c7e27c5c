// Time services on POSIX: clock_gettime for the wall clock, nanosleep for
// the sleep, getrusage and clock() for the stopwatch. Calendar arithmetic is
// done in 64 bits and narrowed at the interface.
#include "text/g_time.h"

#include <sys/resource.h>

#include <cerrno>
#include <climits>
#include <ctime>

String internal_g_time_jour[7] = {"Lundi", "Mardi", "Mercredi", "Jeudi", "Vendredi", "Samedi", "Dimanche"};
String internal_g_time_mois[12] = {"Janvier", "Fevrier", "Mars",      "Avril",   "Mai",      "Juin",
                                   "Juillet", "Aout",    "Septembre", "Octobre", "Novembre", "Decembre"};

namespace tessan {

int gettimeofday(timeval* tv, timezone* /*tz*/) {
  struct timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  tv->tv_sec = static_cast<std::int64_t>(ts.tv_sec);
  tv->tv_usec = static_cast<std::int32_t>(ts.tv_nsec / 1000);
  return 0;
}

void usleep(int n) {
  long ms = n / 1000 + 1;
  if (ms < 1) ms = 1;
  struct timespec want = {static_cast<time_t>(ms / 1000), (ms % 1000) * 1000000L};
  struct timespec left;
  while (nanosleep(&want, &left) == -1 && errno == EINTR) want = left;
}

}  // namespace tessan

namespace {

std::int64_t user_time_ms() {
  struct rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  return static_cast<std::int64_t>(ru.ru_utime.tv_sec) * 1000 + ru.ru_utime.tv_usec / 1000;
}

std::int64_t clock_ms() { return static_cast<std::int64_t>(std::clock()) * 1000 / CLOCKS_PER_SEC; }

int to_int(std::int64_t v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

}  // namespace

g_chrono::g_chrono() : start_ms(0), cumul_ms(0), start_clock_ms(0) {}

void g_chrono::Go() {
  start_ms = user_time_ms();
  start_clock_ms = clock_ms();
}

int g_chrono::Stop() { return to_int(user_time_ms() - start_ms); }

void g_chrono::StopAndAdd() { cumul_ms += user_time_ms() - start_ms; }

int g_chrono::Get() { return to_int(clock_ms() - start_clock_ms); }

int g_chrono::CumulGet() { return to_int(cumul_ms); }

int g_chrono::resolution() { return 1000; }

// ---- Calendar -------------------------------------------------------------

namespace {

bool leap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

std::int64_t floor_div(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Day number of 1 January of year y, for any year (proleptic Gregorian).
std::int64_t first_day_of_year(std::int64_t y) {
  return 365 * y + floor_div(y, 4) - floor_div(y, 100) + floor_div(y, 400) - (leap(y) ? 1 : 0) - 1;
}

// Wide enough for any int day and month, so that absurd dates have a result.
std::int64_t day_of_year(std::int64_t d, std::int64_t m, std::int64_t y) {
  std::int64_t v = m > 7 ? (m - 8) * 31 - (m - 8) / 2 + 214 : (m - 1) * 31 - (m - 1) / 2;
  if (m >= 3) v += (leap(y) ? 1 : 0) - 2;
  return v + d - 1;
}

const int month_length[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

}  // namespace

int g_annee_bissextile(int y) { return leap(y) ? 1 : 0; }

int g_nb_jours_annee_courante(int d, int m, int y) { return to_int(day_of_year(d, m, y)); }

int g_nb_jours(int d, int m, int y) {
  if (m < 1 || m > 12 || y < 1 || d < 1 || d > 31) return -1;
  std::int64_t n = first_day_of_year(y) + day_of_year(d, m, y);
  return n > INT_MAX ? -1 : static_cast<int>(n);
}

// The year estimate n / 365.242191 can miss by one either way far from the
// present; correcting it against the exact year starts makes the result the
// inverse of g_nb_jours for every year.
void g_datecomplete(int n, int* d, int* m, int* y) {
  std::int64_t year = static_cast<std::int64_t>(n / 365.242191);
  while (first_day_of_year(year) > n) --year;
  while (first_day_of_year(year + 1) <= n) ++year;
  std::int64_t day = n - first_day_of_year(year) + 1;
  int month = 1;
  while (month < 12) {
    std::int64_t len = month_length[month - 1] + (month == 2 && leap(year) ? 1 : 0);
    if (day <= len) break;
    day -= len;
    ++month;
  }
  *d = static_cast<int>(day);
  *m = month;
  *y = to_int(year);
}

int g_numero_semaine(int n) {
  int d, m, y;
  g_datecomplete(n, &d, &m, &y);
  std::int64_t j = first_day_of_year(y);
  std::int64_t w = ((j % 7) + 7) % 7;
  if (w == 0) return to_int((n - j) / 7 + 1);
  return to_int((n - (j - w)) / 7 + (w <= 3 ? 1 : 0));
}

void g_date_aujourdhui(int* s, int* mi, int* h, int* d, int* mo, int* y) {
  tessan::timeval tv;
  tessan::gettimeofday(&tv, nullptr);
  std::int64_t t = tv.tv_sec - 82800;
  g_datecomplete(to_int(floor_div(t, 86400) + 719527), d, mo, y);
  std::int64_t r = t - floor_div(t, 86400) * 86400;
  *s = static_cast<int>(r % 60);
  *mi = static_cast<int>((r / 60) % 60);
  *h = static_cast<int>(r / 3600);
}

String g_time_jour(int i) { return i >= 0 && i < 7 ? internal_g_time_jour[i] : String(); }

String g_time_mois(int i) { return i >= 0 && i < 12 ? internal_g_time_mois[i] : String(); }
