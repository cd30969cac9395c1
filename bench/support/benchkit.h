// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared pieces of the benchmark drivers and their helper programs: clocks,
// process measurements, child processes talking in lines, pseudo-terminals,
// throwaway settings folders and the rows of the results table.

#include <map>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace bench {

// Seconds on the system-wide monotonic clock, comparable between processes.
double now();
void sleepFor(double seconds);

// This process's user plus system CPU seconds so far.
double cpuSeconds();
// Peak resident memory (VmHWM) and current resident memory (VmRSS), in MiB.
double peakRssMiB();
double rssMiB();

double median(std::vector<double> values);
constexpr double MiB = 1024.0 * 1024.0;

// Command line shared by the drivers: --quick (tiny sizes), --only TEXT
// (just the parts whose name holds TEXT) and --help.
struct Options {
    bool quick = false;
    std::string only;
    bool wants(const std::string& part) const {
        return only.empty() || part.find(only) != std::string::npos;
    }
};
Options parseOptions(int argc, char** argv, const char* what);

// The path of a helper program built next to the running one.
std::string helperPath(const std::string& name);

// "key=value key=value ..." after a leading word, as the helpers print them.
using Report = std::map<std::string, double>;
Report parseReport(const std::string& line);
double field(const Report& report, const std::string& key);
// Prints "<word> key=value ..." on stdout and flushes it.
void printReport(const char* word, const std::vector<std::pair<std::string, double>>& fields);

// A child process whose stdin and stdout are pipes to us; stderr is shared.
class Child {
public:
    Child(const std::vector<std::string>& argv,
          const std::vector<std::pair<std::string, std::string>>& env = {},
          const std::string& stdoutFile = {});
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t pid() const { return m_pid; }
    // The next line the child prints, without its end; throws when the child
    // ends or says nothing for timeoutSeconds.
    std::string readLine(double timeoutSeconds);
    // The next line that starts with `word`, parsed; other lines are skipped.
    Report waitFor(const std::string& word, double timeoutSeconds);
    void send(const std::string& line);
    void closeInput();
    // Waits for the child to end; kills it after timeoutSeconds. Returns its
    // exit status, or -1 when it had to be killed or died of a signal.
    int wait(double timeoutSeconds);

private:
    std::string m_name;
    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    std::string m_buffer;
};

// A pseudo-terminal pair, raw, the master non-blocking. The slave stays
// open here so the pair lives on while programs open and close it.
class Pty {
public:
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    int master() const { return m_master; }
    const std::string& path() const { return m_path; }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};

// A temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

// A settings folder for one Brovik process with COM1 mapped to `device`;
// the environment entry to hand to the child.
std::pair<std::string, std::string> configHomeFor(const TempDir& dir, const std::string& device);

// One line of the results table.
struct Row {
    std::string figure;
    std::string value;
    std::string baseline;
    std::string ratio;
    std::string target;
    std::string met; // "yes", "no" or "-" when there is no target
};
void printRow(const Row& row);
std::string fixed(double value, int decimals);
// value / baseline with two decimals and a times sign, or "-" when undefined.
std::string ratioText(double value, double baseline);
inline std::string yesNo(bool met) {
    return met ? "yes" : "no";
}

// Runs body and turns an escaping exception into a message and exit status 1.
int guarded(int (*body)(int, char**), int argc, char** argv);

} // namespace bench
