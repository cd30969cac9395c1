// SPDX-License-Identifier: GPL-3.0-or-later
#include "benchkit.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>
#include <fcntl.h>
#include <fstream>
#include <ftw.h>
#include <iostream>
#include <limits>
#include <poll.h>
#include <pty.h>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char** environ;

namespace bench {

namespace {

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

void setCloseOnExec(int fd) {
    ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) | FD_CLOEXEC);
}

// A line "Key:   1234 kB" of /proc/self/status, in MiB.
double statusMiB(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(in, line)) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            return std::strtod(line.c_str() + prefix.size(), nullptr) / 1024.0;
    }
    return std::nan("");
}

} // namespace

double now() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

void sleepFor(double seconds) {
    if (seconds <= 0)
        return;
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(seconds);
    ts.tv_nsec = static_cast<long>((seconds - double(ts.tv_sec)) * 1e9);
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

double cpuSeconds() {
    rusage ru{};
    ::getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) * 1e-6;
}

double peakRssMiB() {
    return statusMiB("VmHWM");
}

double rssMiB() {
    return statusMiB("VmRSS");
}

double median(std::vector<double> values) {
    if (values.empty())
        return std::nan("");
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

Options parseOptions(int argc, char** argv, const char* what) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--quick") {
            options.quick = true;
        } else if (arg == "--only" && i + 1 < argc) {
            options.only = argv[++i];
        } else if (arg == "--help") {
            std::cout << "Usage: " << argv[0] << " [--quick] [--only TEXT]\n"
                      << what << "\nPrints rows of a Markdown table: figure, value, baseline, "
                      << "ratio, target, met.\n"
                      << "--quick      tiny sizes, to check that it still works\n"
                      << "--only TEXT  measure only the parts whose name holds TEXT\n";
            std::exit(0);
        } else {
            std::cerr << argv[0] << ": unknown argument '" << arg << "' (try --help)\n";
            std::exit(2);
        }
    }
    return options;
}

std::string helperPath(const std::string& name) {
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        fail("cannot find the running program");
    std::string dir(self, static_cast<std::size_t>(n));
    dir.erase(dir.rfind('/'));
    return dir + "/" + name;
}

Report parseReport(const std::string& line) {
    Report report;
    std::istringstream in(line);
    std::string word;
    in >> word; // the leading word
    while (in >> word) {
        const auto eq = word.find('=');
        if (eq == std::string::npos)
            continue;
        report[word.substr(0, eq)] = std::strtod(word.c_str() + eq + 1, nullptr);
    }
    return report;
}

double field(const Report& report, const std::string& key) {
    const auto it = report.find(key);
    if (it == report.end())
        throw std::runtime_error("a helper's report lacks '" + key + "'");
    return it->second;
}

void printReport(const char* word, const std::vector<std::pair<std::string, double>>& fields) {
    std::string line = word;
    char number[64];
    for (const auto& [key, value] : fields) {
        std::snprintf(number, sizeof number, "%.9g", value);
        line += " " + key + "=" + number;
    }
    line += "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

Child::Child(const std::vector<std::string>& argv,
             const std::vector<std::pair<std::string, std::string>>& env,
             const std::string& stdoutFile)
    : m_name(argv.at(0)) {
    int in[2];
    int out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
        fail("cannot make a pipe");

    // Everything the child needs is prepared here: after fork only
    // async-signal-safe calls are allowed.
    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const bool replaced = std::any_of(env.begin(), env.end(), [&](const auto& kv) {
            return entry.compare(0, kv.first.size() + 1, kv.first + "=") == 0;
        });
        if (!replaced)
            envStrings.push_back(entry);
    }
    for (const auto& [key, value] : env)
        envStrings.push_back(key + "=" + value);
    std::vector<char*> envp;
    for (auto& s : envStrings)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = argv;
    std::vector<char*> argp;
    for (auto& s : args)
        argp.push_back(s.data());
    argp.push_back(nullptr);

    m_pid = ::fork();
    if (m_pid < 0)
        fail("cannot start " + m_name);
    if (m_pid == 0) {
        ::dup2(in[0], 0);
        if (!stdoutFile.empty()) {
            const int fd = ::open(stdoutFile.c_str(), O_WRONLY | O_NOCTTY);
            if (fd < 0)
                ::_exit(126);
            ::dup2(fd, 1);
        } else {
            ::dup2(out[1], 1);
        }
        ::execvpe(argp[0], argp.data(), envp.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    m_in = in[1];
    m_out = out[0];
}

Child::~Child() {
    if (m_in >= 0)
        ::close(m_in);
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0)
        ::close(m_out);
}

std::string Child::readLine(double timeoutSeconds) {
    const double deadline = now() + timeoutSeconds;
    for (;;) {
        const auto eol = m_buffer.find('\n');
        if (eol != std::string::npos) {
            std::string line = m_buffer.substr(0, eol);
            m_buffer.erase(0, eol + 1);
            return line;
        }
        const double left = deadline - now();
        if (left <= 0)
            throw std::runtime_error(m_name + " said nothing for " +
                                     std::to_string(int(timeoutSeconds)) + " s");
        pollfd p{m_out, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(std::ceil(left * 1000)));
        if (ready < 0 && errno != EINTR)
            fail("cannot wait for " + m_name);
        if (ready <= 0)
            continue;
        char buf[4096];
        const ssize_t n = ::read(m_out, buf, sizeof buf);
        if (n == 0)
            throw std::runtime_error(m_name + " ended unexpectedly");
        if (n > 0)
            m_buffer.append(buf, static_cast<std::size_t>(n));
    }
}

Report Child::waitFor(const std::string& word, double timeoutSeconds) {
    const double deadline = now() + timeoutSeconds;
    for (;;) {
        const std::string line = readLine(std::max(0.0, deadline - now()));
        if (line.compare(0, word.size(), word) == 0 &&
            (line.size() == word.size() || line[word.size()] == ' '))
            return parseReport(line);
        if (line.compare(0, 6, "error ") == 0)
            throw std::runtime_error(m_name + ": " + line.substr(6));
    }
}

void Child::send(const std::string& line) {
    const std::string text = line + "\n";
    if (::write(m_in, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        fail("cannot talk to " + m_name);
}

void Child::closeInput() {
    if (m_in >= 0)
        ::close(m_in);
    m_in = -1;
}

int Child::wait(double timeoutSeconds) {
    const double deadline = now() + timeoutSeconds;
    int status = 0;
    for (;;) {
        const pid_t r = ::waitpid(m_pid, &status, WNOHANG);
        if (r == m_pid)
            break;
        if (now() > deadline) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
            return -1;
        }
        sleepFor(0.002);
    }
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Pty::Pty() {
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
        fail("cannot make a pseudo-terminal");
    termios t{};
    ::tcgetattr(m_slave, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(m_slave, TCSANOW, &t);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    // Children must not hold our ends, or the pair would outlive us.
    setCloseOnExec(m_master);
    setCloseOnExec(m_slave);
    m_path = name;
}

Pty::~Pty() {
    ::close(m_slave);
    ::close(m_master);
}

TempDir::TempDir() {
    char name[] = "/tmp/brovik-bench-XXXXXX";
    if (!::mkdtemp(name))
        fail("cannot make a temporary folder");
    m_path = name;
}

TempDir::~TempDir() {
    ::nftw(
        m_path.c_str(),
        [](const char* path, const struct stat*, int, FTW*) { return ::remove(path); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

std::pair<std::string, std::string> configHomeFor(const TempDir& dir, const std::string& device) {
    const std::string folder = dir.path() + "/Brovik";
    ::mkdir(folder.c_str(), 0700);
    std::ofstream ini(folder + "/Brovik.ini");
    ini << "[Ports]\nCOM1=" << device << "\n";
    if (!ini.flush())
        fail("cannot write " + folder + "/Brovik.ini");
    return {"XDG_CONFIG_HOME", dir.path()};
}

std::string fixed(double value, int decimals) {
    if (!std::isfinite(value))
        return "-";
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string ratioText(double value, double baseline) {
    if (!std::isfinite(value) || !std::isfinite(baseline) || baseline == 0)
        return "-";
    return fixed(value / baseline, 2) + "×";
}

void printRow(const Row& row) {
    std::cout << "| " << row.figure << " | " << row.value << " | " << row.baseline << " | "
              << row.ratio << " | " << row.target << " | " << row.met << " |" << std::endl;
}

int guarded(int (*body)(int, char**), int argc, char** argv) {
    // A helper that dies must not take us with it through a broken pipe.
    std::signal(SIGPIPE, SIG_IGN);
    // Windows are measured offscreen unless the caller chose a platform.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        // Qt wants one and warns on every start without it.
        const std::string runtime = "/tmp/brovik-bench-runtime-" + std::to_string(::getuid());
        ::mkdir(runtime.c_str(), 0700);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    try {
        return body(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << argv[0] << ": " << e.what() << std::endl;
        return 1;
    }
}

} // namespace bench
