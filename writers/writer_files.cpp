#include "writers/writer_files.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "text/file_checks.h"

namespace tessan_writers {

namespace {

// error_ of a name that holds a NUL byte; no errno says that.
const int bad_name_error = -1;

// ---- Temporary files that a signal must not leave behind ----------------------
//
// SIGINT, SIGTERM and SIGHUP end the process where it stands; while a
// temporary file exists, a handler removes it first, then lets the signal end
// the process as it would have. A signal that the program handles or ignores
// is left to it. The names live in fixed storage, since the handler may only
// call async-signal-safe functions, and change only while the signals are held.

const int cleaned_signals[] = {SIGINT, SIGTERM, SIGHUP};
const int signal_count = sizeof cleaned_signals / sizeof cleaned_signals[0];
const int pending_slots = 8;

char pending_names[pending_slots][PATH_MAX];
volatile sig_atomic_t pending_in_use[pending_slots];
struct sigaction previous_actions[signal_count];
bool handler_installed[signal_count];
int live_temporaries = 0;

extern "C" void remove_temporaries_and_stop(int signal_number) {
    for (int i = 0; i < pending_slots; ++i)
        if (pending_in_use[i])
            unlink(pending_names[i]);
    for (int k = 0; k < signal_count; ++k)
        if (cleaned_signals[k] == signal_number)
            sigaction(signal_number, &previous_actions[k], nullptr);
    // Held until this handler returns, then delivered to end the process.
    raise(signal_number);
}

class signals_held {
public:
    signals_held() {
        sigset_t both;
        sigemptyset(&both);
        for (int s : cleaned_signals)
            sigaddset(&both, s);
        sigprocmask(SIG_BLOCK, &both, &previous_);
    }
    ~signals_held() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }

private:
    sigset_t previous_;
};

void install_handlers() {
    struct sigaction ours;
    std::memset(&ours, 0, sizeof ours);
    ours.sa_handler = remove_temporaries_and_stop;
    sigemptyset(&ours.sa_mask);
    for (int s : cleaned_signals)
        sigaddset(&ours.sa_mask, s);
    for (int k = 0; k < signal_count; ++k) {
        handler_installed[k] = false;
        if (sigaction(cleaned_signals[k], nullptr, &previous_actions[k]) != 0)
            continue;
        if ((previous_actions[k].sa_flags & SA_SIGINFO) || previous_actions[k].sa_handler != SIG_DFL)
            continue;
        handler_installed[k] = sigaction(cleaned_signals[k], &ours, nullptr) == 0;
    }
}

void restore_handlers() {
    for (int k = 0; k < signal_count; ++k)
        if (handler_installed[k])
            sigaction(cleaned_signals[k], &previous_actions[k], nullptr);
}

// The slot that holds `name`, or -1 when none is free or the name is too long
// to keep (the file is then written all the same, without this care).
int note_temporary(const String& name) {
    if (name.size() >= PATH_MAX)
        return -1;
    const signals_held held;
    for (int i = 0; i < pending_slots; ++i) {
        if (pending_in_use[i])
            continue;
        std::memcpy(pending_names[i], name.c_str(), name.size() + 1);
        pending_in_use[i] = 1;
        if (live_temporaries++ == 0)
            install_handlers();
        return i;
    }
    return -1;
}

void forget_temporary(int slot) {
    if (slot < 0)
        return;
    const signals_held held;
    pending_in_use[slot] = 0;
    if (--live_temporaries == 0)
        restore_handlers();
}

// ---- Names ----------------------------------------------------------------------

// Where a write to `name` lands: its links followed one by one, a dangling
// last one included, whose target a write creates. Relative link texts are
// read from the link's own folder.
String landing_place(const String& name, int& error) {
    String path = name;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        std::vector<char> text(PATH_MAX);
        const ssize_t length = readlink(path.c_str(), text.data(), text.size());
        if (length < 0 || static_cast<std::size_t>(length) >= text.size())
            return path;  // the open that follows says what is wrong
        const String link(text.data(), static_cast<std::size_t>(length));
        const std::size_t slash = path.rfind('/');
        if (link[0] == '/' || slash == String::npos)
            path = link;
        else
            path = path.substr(0, slash + 1) + link;
    }
    error = ELOOP;
    return name;
}

// The mkstemp pattern beside `target`: its own name and ".XXXXXX", the name
// cut short where both would not fit in one component, so that any target
// whose own name fits can be written.
std::vector<char> temporary_pattern(const String& target) {
    const std::size_t slash = target.rfind('/');
    const String folder = slash == String::npos ? String() : target.substr(0, slash + 1);
    String base = target.substr(folder.size());
    long longest = pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    if (longest <= 0)
        longest = NAME_MAX;
    const char suffix[] = ".XXXXXX";
    const std::size_t room = static_cast<std::size_t>(longest) - (sizeof suffix - 1);
    if (base.size() > room)
        base.resize(room);
    const String pattern = folder + base + suffix;
    return std::vector<char>(pattern.c_str(), pattern.c_str() + pattern.size() + 1);
}

// The target's mode, or the one a plain new file would get.
mode_t mode_for(const String& target) {
    struct stat st;
    if (stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        return st.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

// ---- descriptor_buffer -------------------------------------------------------------

descriptor_buffer::descriptor_buffer() : data_(1 << 16) {
    setp(data_.data(), data_.data() + data_.size());
}

descriptor_buffer::~descriptor_buffer() {
    if (fd_ >= 0)
        close(fd_);
}

bool descriptor_buffer::drain() {
    const char* next = pbase();
    while (error_ == 0 && next < pptr()) {
        const ssize_t n = write(fd_, next, static_cast<std::size_t>(pptr() - next));
        if (n > 0)
            next += n;
        else if (n < 0 && errno != EINTR)
            error_ = errno;
        else if (n == 0)
            error_ = EIO;
    }
    setp(data_.data(), data_.data() + data_.size());
    return error_ == 0;
}

descriptor_buffer::int_type descriptor_buffer::overflow(int_type c) {
    if (fd_ < 0 || !drain())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int descriptor_buffer::sync() { return fd_ >= 0 && drain() ? 0 : -1; }

bool descriptor_buffer::close_file() {
    if (fd_ < 0)
        return error_ == 0;
    drain();
    if (close(fd_) != 0 && error_ == 0)
        error_ = errno;
    fd_ = -1;
    return error_ == 0;
}

// ---- replacing_file ------------------------------------------------------------------

replacing_file::replacing_file(const String& target) : out_(&buffer_) {
    if (tessan_files::holds_nul(target)) {
        error_ = bad_name_error;
        return;
    }
    target_ = landing_place(target, error_);
    if (error_ != 0)
        return;
    switch (tessan_files::kind_of_file(target_)) {
    case tessan_files::file_kind::regular:
    case tessan_files::file_kind::none:
        open_temporary();
        break;
    default:
        open_in_place();
    }
}

replacing_file::~replacing_file() {
    if (!committed_)
        discard_temporary();
}

void replacing_file::open_temporary() {
    std::vector<char> name = temporary_pattern(target_);
    // No signal between the file's making and its noting.
    const signals_held held;
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        error_ = errno;
        return;
    }
    temporary_ = name.data();
    pending_slot_ = note_temporary(temporary_);
    // mkstemp makes the file private; the output gets the mode that the
    // target has, or the one a plain new file would get.
    fchmod(fd, mode_for(target_));
    buffer_.attach(fd);
}

void replacing_file::open_in_place() {
    const int fd = open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error_ = errno;
        return;
    }
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        // A plain file took the place since it was looked at: replace it.
        close(fd);
        open_temporary();
        return;
    }
    buffer_.attach(fd);
}

void replacing_file::discard_temporary() {
    buffer_.close_file();
    if (!temporary_.empty())
        unlink(temporary_.c_str());
    forget_temporary(pending_slot_);
    pending_slot_ = -1;
}

bool replacing_file::commit() {
    if (error_ != 0)
        return false;
    out_.flush();
    if (!buffer_.close_file() || !out_) {
        error_ = buffer_.error() != 0 ? buffer_.error() : EIO;
        return false;
    }
    if (!temporary_.empty() && std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        error_ = errno;
        return false;
    }
    forget_temporary(pending_slot_);
    pending_slot_ = -1;
    committed_ = true;
    return true;
}

String replacing_file::error_text() const {
    return error_ == bad_name_error ? "the file name holds a NUL byte" : std::strerror(error_);
}

int write_whole_file(const String& file, const std::function<void(std::ostream&)>& write) {
    replacing_file output(file);
    if (output.opened())
        write(output.stream());
    if (!output.opened() || !output.commit()) {
        std::cerr << "ERROR: cannot write " << file << ": " << output.error_text() << std::endl;
        return 0;
    }
    return 1;
}

String outside(const char* what, int index, int count, const char* table) {
    return String(what) + " " + std::to_string(index) + ", outside the " +
           std::to_string(count) + " " + table;
}

bool action_fault(const gal_tpen_fichier& chart, const std::list<int>& actions,
                  const String& owner, String& fault) {
    for (int a : actions)
        if (a < 0 || a >= chart.nbr_actions()) {
            fault = owner + " has " + outside("action", a, chart.nbr_actions(), "actions");
            return true;
        }
    return false;
}

namespace {

bool end_fault(const gal_tpen_fichier& chart, int end, const String& owner, const char* what,
               String& fault) {
    if (end >= -1 && end < chart.nbr_etats())
        return false;
    fault = owner + " has " + outside(what, end, chart.nbr_etats(), "states");
    return true;
}

}  // namespace

bool first_dangling_index(const gal_tpen_fichier& chart, String& fault) {
    const gal_tpen_etat* states = chart.ma_table_etats();
    for (int s = 0; s < chart.nbr_etats(); ++s) {
        const String owner = "state " + std::to_string(s) + " (" + states[s].un_nom() + ")";
        if (action_fault(chart, states[s].mes_actions(), owner, fault))
            return true;
        const int program = states[s].mon_ident_run();
        if (program != -1 && (program < 0 || program >= chart.nbr_progs_externes())) {
            fault = owner + " runs " +
                    outside("program", program, chart.nbr_progs_externes(), "external programs");
            return true;
        }
    }
    const gal_tpen_transition* transitions = chart.ma_table_transitions();
    for (int t = 0; t < chart.nbr_transitions(); ++t) {
        const String owner = "transition " + std::to_string(t);
        if (end_fault(chart, transitions[t].mon_ident_etat_amont(), owner, "source state", fault) ||
            end_fault(chart, transitions[t].mon_ident_etat_aval(), owner, "target state", fault) ||
            action_fault(chart, transitions[t].mes_actions(), owner, fault))
            return true;
    }
    for (int k = 0; k < chart.nombre_SC(); ++k)
        for (int s : chart.SC_liste_etats(k))
            if (s < 0 || s >= chart.nbr_etats()) {
                fault = "automaton " + std::to_string(k) + " holds " +
                        outside("state", s, chart.nbr_etats(), "states");
                return true;
            }
    return false;
}

int write_chart_file(const gal_tpen_fichier& chart, const String& file, const char* writer,
                     const std::function<void(std::ostream&)>& write) {
    String fault;
    if (first_dangling_index(chart, fault)) {
        std::cerr << "ERROR in gal_tpen_fichier::" << writer << ": " << fault
                  << ": nothing written to " << file << std::endl;
        return 0;
    }
    return write_whole_file(file, write);
}

std::vector<std::vector<int>> touching_transitions(const gal_tpen_fichier& chart) {
    const int automata = chart.nombre_SC();
    // The automata that hold each state: one as a rule, since they are the
    // connected components of the chart, but nothing forbids more.
    std::vector<std::vector<int>> holders(static_cast<std::size_t>(chart.nbr_etats()));
    for (int k = 0; k < automata; ++k)
        for (int s : chart.SC_liste_etats(k))
            if (s >= 0 && s < chart.nbr_etats() && (holders[s].empty() || holders[s].back() != k))
                holders[s].push_back(k);

    std::vector<std::vector<int>> touching(static_cast<std::size_t>(automata));
    std::vector<int> last_added(static_cast<std::size_t>(automata), -1);
    const gal_tpen_transition* transitions = chart.ma_table_transitions();
    for (int t = 0; t < chart.nbr_transitions(); ++t)
        for (int end : {transitions[t].mon_ident_etat_amont(), transitions[t].mon_ident_etat_aval()})
            if (end >= 0 && end < chart.nbr_etats())
                for (int k : holders[end])
                    if (last_added[k] != t) {
                        touching[k].push_back(t);
                        last_added[k] = t;
                    }
    return touching;
}

}  // namespace tessan_writers
