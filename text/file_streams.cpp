#include "text/file_streams.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "text/file_checks.h"

namespace tessan_files {

namespace {

// ---- Temporary files that a signal must not leave behind ----------------------
//
// A signal whose default action ends the process (SIGINT, SIGTERM, SIGHUP,
// SIGQUIT, SIGALRM, SIGUSR1, SIGPIPE, SIGXFSZ, the real-time ones, ...) ends
// it where it stands. While a temporary file exists, a handler removes it
// first; the handler is entered with the signal back at its default action
// (SA_RESETHAND), so that raising it again ends the process as it would have.
// A signal that the program handles or ignores is left to it. The names live
// in fixed storage, since the handler may only call async-signal-safe
// functions, and change only while signals are held.

const int pending_slots = 8;

char pending_names[pending_slots][PATH_MAX];
volatile sig_atomic_t pending_in_use[pending_slots];
struct sigaction previous_actions[NSIG];
bool handler_installed[NSIG];
int live_temporaries = 0;

bool ends_the_process_by_default(int signal_number) {
    switch (signal_number) {
    case SIGKILL:  // cannot be caught
    case SIGSTOP:
    case SIGCHLD:
    case SIGCONT:
    case SIGTSTP:
    case SIGTTIN:
    case SIGTTOU:
    case SIGURG:
    case SIGWINCH:
        return false;
    default:
        return true;
    }
}

extern "C" void remove_temporaries_and_stop(int signal_number) {
    for (int i = 0; i < pending_slots; ++i)
        if (pending_in_use[i])
            unlink(pending_names[i]);
    // Held until this handler returns, then delivered to end the process.
    raise(signal_number);
}

class signals_held {
public:
    signals_held() {
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_BLOCK, &all, &previous_);
    }
    ~signals_held() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

private:
    sigset_t previous_;
};

void install_handlers() {
    struct sigaction ours;
    std::memset(&ours, 0, sizeof ours);
    ours.sa_handler = remove_temporaries_and_stop;
    ours.sa_flags = SA_RESETHAND;
    sigfillset(&ours.sa_mask);
    for (int s = 1; s < NSIG; ++s) {
        handler_installed[s] = false;
        // Numbers the C library keeps for itself are refused here.
        if (!ends_the_process_by_default(s) || sigaction(s, nullptr, &previous_actions[s]) != 0)
            continue;
        if ((previous_actions[s].sa_flags & SA_SIGINFO) || previous_actions[s].sa_handler != SIG_DFL)
            continue;
        handler_installed[s] = sigaction(s, &ours, nullptr) == 0;
    }
}

void restore_handlers() {
    for (int s = 1; s < NSIG; ++s)
        if (handler_installed[s])
            sigaction(s, &previous_actions[s], nullptr);
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

// A write that raises SIGPIPE (nobody reads the pipe any more, even after
// part of the text went through) or SIGXFSZ (past the file-size limit) fails
// with EPIPE or EFBIG all the same: the signals are held during the write,
// and one that the write raised is taken back, so that the failure is
// reported instead of ending the process.
ssize_t write_without_signals(int fd, const char* data, std::size_t size) {
    sigset_t raised_by_writes, previous, pending_before, pending_after;
    sigemptyset(&raised_by_writes);
    sigaddset(&raised_by_writes, SIGPIPE);
    sigaddset(&raised_by_writes, SIGXFSZ);
    pthread_sigmask(SIG_BLOCK, &raised_by_writes, &previous);
    sigpending(&pending_before);
    const ssize_t written = write(fd, data, size);
    const int error = errno;
    sigpending(&pending_after);
    for (const int raised : {SIGPIPE, SIGXFSZ}) {
        if (sigismember(&pending_before, raised) || !sigismember(&pending_after, raised))
            continue;
        sigset_t one;
        sigemptyset(&one);
        sigaddset(&one, raised);
        const timespec no_wait{0, 0};
        while (sigtimedwait(&one, nullptr, &no_wait) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return written;
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

String folder_of(const String& path) {
    const std::size_t slash = path.rfind('/');
    return slash == String::npos ? String(".") : slash == 0 ? String("/") : path.substr(0, slash);
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

// The mode a plain new file gets.
mode_t new_file_mode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// What mkstemp made is the writer's: the old file's owner and group come back
// where the process may give them, the group alone where only it may.
void keep_owner(int fd, const struct stat& old) {
    if (old.st_uid == geteuid() && old.st_gid == getegid())
        return;
    if (fchown(fd, old.st_uid, old.st_gid) != 0 && fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
        // The writer's own owner and group stay: the most the process may do.
    }
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
        const ssize_t n = write_without_signals(fd_, next, static_cast<std::size_t>(pptr() - next));
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

// ---- descriptor_input ----------------------------------------------------------------

descriptor_input::descriptor_input(int fd) : fd_(fd), data_(1 << 16) {
    setg(data_.data(), data_.data(), data_.data());
}

descriptor_input::~descriptor_input() {
    if (fd_ >= 0)
        close(fd_);
}

descriptor_input::int_type descriptor_input::underflow() {
    while (fd_ >= 0 && error_ == 0) {
        const ssize_t n = read(fd_, data_.data(), data_.size());
        if (n > 0) {
            setg(data_.data(), data_.data(), data_.data() + n);
            return traits_type::to_int_type(data_[0]);
        }
        if (n == 0)
            break;
        if (errno != EINTR)
            error_ = errno;
    }
    return traits_type::eof();
}

// ---- replacing_file ------------------------------------------------------------------

replacing_file::replacing_file(const String& target, chart_file chart) : out_(&buffer_), chart_(chart) {
    if (holds_nul(target)) {
        why_ = "the file name holds a NUL byte";
        return;
    }
    int error = 0;
    target_ = landing_place(target, error);
    if (error != 0) {
        fail(error, refuser::file);
        return;
    }
    struct stat old;
    if (stat(target_.c_str(), &old) != 0)
        open_temporary(nullptr);
    else if (S_ISREG(old.st_mode))
        open_regular(old);
    else
        open_in_place();
}

replacing_file::~replacing_file() {
    if (!committed_)
        discard_temporary();
}

void replacing_file::fail(int error, refuser who) {
    why_ = std::strerror(error);
    if (error == EACCES || error == EPERM)
        why_ += who == refuser::file ? ": the file is not writable"
                                     : ": the folder " + folder_of(target_) + " is not writable";
}

void replacing_file::open_regular(const struct stat& old) {
    replaces_chart_ = is_chart_read(old);
    if (replaces_chart_ && chart_ == chart_file::kept)
        why_ = "it is the file the chart was read from";
    else if (faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
        fail(errno, refuser::file);
    else
        open_temporary(&old);
}

void replacing_file::open_temporary(const struct stat* old) {
    std::vector<char> name = temporary_pattern(target_);
    // No signal between the file's making and its noting.
    const signals_held held;
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        fail(errno, refuser::folder);
        return;
    }
    temporary_ = name.data();
    pending_slot_ = note_temporary(temporary_);
    // mkstemp makes the file private; the owner goes first, since a change of
    // owner clears the set-user-ID and set-group-ID bits of the mode.
    if (old)
        keep_owner(fd, *old);
    fchmod(fd, old ? old->st_mode & 07777 : new_file_mode());
    buffer_.attach(fd);
}

void replacing_file::open_in_place() {
    // Not waiting: a pipe that nobody reads would hold the open for good.
    const int fd = open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENXIO && kind_of_file(target_) == file_kind::fifo)
            why_ = "no reader";
        else
            fail(errno, refuser::file);
        return;
    }
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        // A plain file took the place since it was looked at: replace it.
        close(fd);
        open_regular(st);
        return;
    }
    // A reader that is slow is waited for; only the open must not wait.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
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
    if (!opened())
        return false;
    out_.flush();
    if (!buffer_.close_file() || !out_) {
        fail(buffer_.error() != 0 ? buffer_.error() : EIO, refuser::file);
        return false;
    }
    if (!temporary_.empty() && std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        fail(errno, refuser::folder);
        return false;
    }
    forget_temporary(pending_slot_);
    pending_slot_ = -1;
    committed_ = true;
    struct stat saved;
    if (replaces_chart_ && stat(target_.c_str(), &saved) == 0)
        note_chart_read(saved);
    return true;
}

}  // namespace tessan_files
