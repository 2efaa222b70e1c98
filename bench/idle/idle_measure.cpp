// Starts a program with the present probe preloaded, waits until its frames
// stop changing, then reports what it costs while it sits still: processor
// time over a window, peak and current resident memory, threads, and the time
// from start to its first presented frame. One line of key=value pairs.
//
//   idle_measure --label NAME --probe libidle_probe.so [--cwd DIR] [--window S]
//                [--still S] [--settle S] [--timeout S] [--first-only] [--blind] -- program [args...]
//
// With --blind the program is not watched (it draws with another SDL than the
// probe's, which is not preloaded): the window starts --settle seconds after
// the start.
// With --first-only it stops the program at its first presented frame and
// prints only that time ("first_present_ms=N"), for repeated starts.
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "probe_state.h"

namespace {

double NowS() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void SleepS(double s) {
    timespec ts{static_cast<time_t>(s), static_cast<long>((s - static_cast<double>(static_cast<time_t>(s))) * 1e9)};
    nanosleep(&ts, nullptr);
}

// utime + stime from a /proc stat file, in seconds.
double StatCpuSeconds(const std::string& path) {
    std::ifstream f(path);
    std::string line;
    if (!std::getline(f, line))
        return -1;
    // The command name may hold spaces: fields are counted after its ')'.
    size_t close = line.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream rest(line.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14)
            utime = std::stoull(field);
        if (i == 15)
            stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The whole process, all threads.
double CpuSeconds(pid_t pid) { return StatCpuSeconds("/proc/" + std::to_string(pid) + "/stat"); }

// Processor seconds per thread name; numbered pools ("llvmpipe-3") count as one.
std::map<std::string, double> ThreadCpu(pid_t pid) {
    std::map<std::string, double> byName;
    const std::string task = "/proc/" + std::to_string(pid) + "/task";
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(task, ec)) {
        std::ifstream commFile(entry.path() / "comm");
        std::string comm;
        std::getline(commFile, comm);
        // Workers often carry the program's name: tell the main thread apart.
        if (entry.path().filename() == std::to_string(pid))
            comm = "main";
        const size_t dash = comm.find_last_of('-');
        if (dash != std::string::npos && dash + 1 < comm.size() &&
            comm.find_first_not_of("0123456789", dash + 1) == std::string::npos)
            comm = comm.substr(0, dash) + "-*";
        const double cpu = StatCpuSeconds(entry.path() / "stat");
        if (cpu >= 0)
            byName[comm] += cpu;
    }
    return byName;
}

// A "Key:   123 kB" or "Threads: 5" value from /proc/<pid>/status.
long StatusValue(pid_t pid, const char* key) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    const size_t n = strlen(key);
    while (std::getline(f, line))
        if (line.compare(0, n, key) == 0 && line.size() > n && line[n] == ':')
            return std::atol(line.c_str() + n + 1);
    return -1;
}

bool Exited(pid_t pid, int* status) { return waitpid(pid, status, WNOHANG) == pid; }

void Stop(pid_t pid) {
    int status = 0;
    kill(pid, SIGTERM);
    for (int i = 0; i < 40; ++i) {
        if (Exited(pid, &status))
            return;
        SleepS(0.05);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
}

int Usage() {
    fprintf(stderr,
            "usage: idle_measure --label NAME --probe PATH [--cwd DIR] [--window S] [--still S] "
            "[--settle S] [--timeout S] [--first-only] [--blind] -- program [args...]\n");
    return 2;
}

struct Options {
    std::string label = "run", probe, cwd;
    double window = 10, still = 2, settle = 3, timeout = 60;
    bool firstOnly = false, blind = false;
    char** command = nullptr;
};

// False on a malformed command line.
bool ParseOptions(int argc, char** argv, Options* o) {
    int i = 1;
    for (; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--")
            break;
        if (a == "--first-only" || a == "--blind") {
            (a == "--blind" ? o->blind : o->firstOnly) = true;
            continue;
        }
        if (i + 1 >= argc)
            return false;
        const char* v = argv[++i];
        if (a == "--label")
            o->label = v;
        else if (a == "--probe")
            o->probe = v;
        else if (a == "--cwd")
            o->cwd = v;
        else if (a == "--window")
            o->window = atof(v);
        else if (a == "--still")
            o->still = atof(v);
        else if (a == "--settle")
            o->settle = atof(v);
        else if (a == "--timeout")
            o->timeout = atof(v);
        else
            return false;
    }
    if (i + 1 >= argc || o->probe.empty())
        return false;
    o->command = argv + i + 1;
    return true;
}

// The probe's shared state in a fresh temporary file; null on failure.
ProbeState* MapProbeState(char* statePath) {
    int fd = mkstemp(statePath);
    if (fd < 0 || ftruncate(fd, sizeof(ProbeState)) != 0) {
        perror("probe state");
        return nullptr;
    }
    void* m = mmap(nullptr, sizeof(ProbeState), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    if (m == MAP_FAILED) {
        perror("mmap");
        return nullptr;
    }
    return static_cast<ProbeState*>(m); // zero-filled by ftruncate
}

pid_t StartProgram(const Options& o, const char* statePath) {
    pid_t pid = fork();
    if (pid < 0) {
        perror("fork");
        return pid;
    }
    if (pid == 0) {
        if (!o.cwd.empty() && chdir(o.cwd.c_str()) != 0)
            _exit(127);
        if (!o.blind) // a program on another SDL must not get ours
            setenv("LD_PRELOAD", o.probe.c_str(), 1);
        setenv("IDLE_PROBE_STATE", statePath, 1);
        execvp(o.command[0], o.command);
        _exit(127);
    }
    return pid;
}

enum class Wait { Still, FirstOnlyDone, Failed };

// Still: a frame has been presented and no upload changed for `still` seconds.
// With --first-only the program is stopped at its first present instead.
Wait WaitUntilStill(const Options& o, pid_t pid, const ProbeState* state, double start, double* stillFrom) {
    int status = 0;
    for (;;) {
        SleepS(0.05);
        const double now = NowS();
        if (Exited(pid, &status)) {
            fprintf(stderr, "%s: the program ended before it was still (status %d)\n", o.label.c_str(), status);
            return Wait::Failed;
        }
        if (now - start > o.timeout) {
            fprintf(stderr, "%s: not still after %.0f s\n", o.label.c_str(), o.timeout);
            Stop(pid);
            return Wait::Failed;
        }
        if (o.blind && now - start >= o.settle) {
            *stillFrom = start;
            return Wait::Still;
        }
        const uint64_t first = state->firstPresentNs.load();
        if (first == 0 || o.blind)
            continue;
        if (o.firstOnly) {
            Stop(pid);
            printf("%-22s first_present_ms=%6.1f\n", o.label.c_str(),
                   (static_cast<double>(first) * 1e-9 - start) * 1000.0);
            return Wait::FirstOnlyDone;
        }
        const double lastChange = static_cast<double>(std::max(first, state->lastChangeNs.load())) * 1e-9;
        if (now - start >= o.settle && now - lastChange >= o.still) {
            *stillFrom = lastChange;
            return Wait::Still;
        }
    }
}

// Where the time went, by thread (threads that ended in the window are missing).
void PrintThreads(const std::map<std::string, double>& threads0, const std::map<std::string, double>& threads1,
                  double span) {
    std::vector<std::pair<double, std::string>> perThread;
    for (const auto& [name, cpu] : threads1) {
        const auto before = threads0.find(name);
        perThread.emplace_back(100.0 * (cpu - (before == threads0.end() ? 0.0 : before->second)) / span, name);
    }
    std::sort(perThread.rbegin(), perThread.rend());
    printf("\n%-22s by thread:", "");
    for (size_t k = 0; k < perThread.size() && k < 6; ++k)
        printf(" %s=%.2f", perThread[k].second.c_str(), perThread[k].first);
    printf("\n");
}

// Measures the still program over the window, stops it and prints one line; 0 or 1.
int MeasureWindow(const Options& o, pid_t pid, const ProbeState* state, double start, double stillFrom) {
    // Another process whose time belongs to the same work (the X server).
    const char* also = getenv("IDLE_MEASURE_ALSO_PID");
    const pid_t alsoPid = also ? static_cast<pid_t>(atol(also)) : 0;
    const uint64_t presents0 = state->presents.load(), uploads0 = state->uploads.load(),
                   changes0 = state->changes.load();
    const double alsoCpu0 = alsoPid > 0 ? CpuSeconds(alsoPid) : -1;
    const std::map<std::string, double> threads0 = ThreadCpu(pid);
    const double wall0 = NowS(), cpu0 = CpuSeconds(pid);
    SleepS(o.window);
    const double wall1 = NowS(), cpu1 = CpuSeconds(pid);
    const std::map<std::string, double> threads1 = ThreadCpu(pid);
    const double alsoCpu1 = alsoPid > 0 ? CpuSeconds(alsoPid) : -1;
    const double span = wall1 - wall0;
    const long hwm = StatusValue(pid, "VmHWM"), rss = StatusValue(pid, "VmRSS"), anon = StatusValue(pid, "RssAnon"),
               threads = StatusValue(pid, "Threads");
    int status = 0;
    const bool alive = !Exited(pid, &status);
    if (alive)
        Stop(pid);
    if (!alive || cpu0 < 0 || cpu1 < 0) {
        fprintf(stderr, "%s: the program ended during the measurement\n", o.label.c_str());
        return 1;
    }

    printf(
        "%-22s renderer=%-10s first_present_ms=%6.1f still_after_s=%5.2f cpu_pct=%6.2f hwm_mb=%6.1f "
        "rss_mb=%6.1f anon_mb=%6.1f threads=%3ld presents_per_s=%5.1f uploads_per_s=%5.1f changes=%llu",
        o.label.c_str(), state->renderer[0] ? state->renderer : "?",
        state->firstPresentNs.load() ? (static_cast<double>(state->firstPresentNs.load()) * 1e-9 - start) * 1000.0
                                     : 0.0,
        stillFrom - start, 100.0 * (cpu1 - cpu0) / span, hwm / 1024.0, rss / 1024.0, anon / 1024.0, threads,
        static_cast<double>(state->presents.load() - presents0) / span,
        static_cast<double>(state->uploads.load() - uploads0) / span,
        static_cast<unsigned long long>(state->changes.load() - changes0));
    if (alsoCpu0 >= 0 && alsoCpu1 >= 0)
        printf(" server_cpu_pct=%6.2f", 100.0 * (alsoCpu1 - alsoCpu0) / span);
    PrintThreads(threads0, threads1, span);
    fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, &o))
        return Usage();
    char statePath[] = "/tmp/idle_probe_XXXXXX";
    ProbeState* state = MapProbeState(statePath);
    if (!state)
        return 1;
    const double start = NowS();
    const pid_t pid = StartProgram(o, statePath);
    if (pid < 0) {
        unlink(statePath);
        return 1;
    }
    double stillFrom = 0;
    const Wait wait = WaitUntilStill(o, pid, state, start, &stillFrom);
    int result = wait == Wait::Failed ? 1 : 0;
    if (wait == Wait::Still)
        result = MeasureWindow(o, pid, state, start, stillFrom);
    unlink(statePath);
    return result;
}
