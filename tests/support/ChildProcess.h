// Child scenarios: a test starts the test program again as a child process
// that runs one named scenario instead of the tests (a fresh process, with
// its own threads), and may kill it at a moment of its choosing.
//
// A scenario is registered at static initialisation with
// VANTREL_CHILD_SCENARIO(name) { ... return exit status; } and gets the
// arguments the test passed.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace vantrel::test {

using ChildScenario = int (*)(const std::vector<std::string>& args);

struct ChildScenarioRegistration {
    ChildScenarioRegistration(const char* name, ChildScenario scenario);
};

#define VANTREL_CHILD_SCENARIO(name)                                                          \
    static int ChildScenario_##name(const std::vector<std::string>& args);                    \
    static const ::vantrel::test::ChildScenarioRegistration childScenarioRegistration_##name( \
        #name, &ChildScenario_##name);                                                        \
    static int ChildScenario_##name([[maybe_unused]] const std::vector<std::string>& args)

// Runs the scenario given on the command line, if any: its exit status, or
// -1 when the command line names none (the tests run then).
int RunChildScenarioFromCommandLine(int argc, char** argv);

class ChildProcess {
public:
    // Starts the test program as a child running `scenario` with `args`.
    ChildProcess(const std::string& scenario, const std::vector<std::string>& args);
    // Kills the child if it still runs.
    ~ChildProcess() { Kill(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Waits until `path` exists or the child ends or `timeout` passes;
    // whether the file exists.
    bool WaitForFile(const std::string& path, std::chrono::milliseconds timeout);
    // SIGKILL, then waits for the child; whether it was killed by it (and
    // not ended before).
    bool Kill();

private:
    pid_t m_pid = -1;
    bool m_ended = false;
};

// Starts a program (argv[0] is its path) with its standard output on the
// file descriptor `out` (this process's where -1); its id, or -1.
pid_t SpawnProgram(const std::vector<std::string>& argv, int out = -1);

// Runs a program to its end, its standard output discarded; its exit
// status, or -1.
int RunProgram(const std::vector<std::string>& argv);

// A random duration in [0, limit), different in every run.
std::chrono::microseconds RandomMoment(std::chrono::microseconds limit);

}  // namespace vantrel::test
