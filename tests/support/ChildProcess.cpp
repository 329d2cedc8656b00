#include "support/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

extern char** environ;

namespace vantrel::test {
namespace {

constexpr char kScenarioFlag[] = "--child-scenario";

std::map<std::string, ChildScenario>& Scenarios() {
    static std::map<std::string, ChildScenario> scenarios;
    return scenarios;
}

}  // namespace

ChildScenarioRegistration::ChildScenarioRegistration(const char* name, ChildScenario scenario) {
    Scenarios()[name] = scenario;
}

int RunChildScenarioFromCommandLine(int argc, char** argv) {
    if (argc < 3 || std::strcmp(argv[1], kScenarioFlag) != 0) return -1;
    const auto found = Scenarios().find(argv[2]);
    if (found == Scenarios().end()) return 100;
    return found->second(std::vector<std::string>(argv + 3, argv + argc));
}

ChildProcess::ChildProcess(const std::string& scenario, const std::vector<std::string>& args) {
    std::vector<std::string> words{"/proc/self/exe", kScenarioFlag, scenario};
    words.insert(words.end(), args.begin(), args.end());
    m_pid = SpawnProgram(words);
}

bool ChildProcess::WaitForFile(const std::string& path, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (std::filesystem::exists(path)) return true;
        if (!m_ended && ::waitpid(m_pid, nullptr, WNOHANG) == m_pid) m_ended = true;
        if (m_ended) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return std::filesystem::exists(path);
}

bool ChildProcess::Kill() {
    if (m_pid <= 0 || m_ended) return false;
    ::kill(m_pid, SIGKILL);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_ended = true;
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

pid_t SpawnProgram(const std::vector<std::string>& argv, int out) {
    std::vector<std::string> words = argv;
    std::vector<char*> pointers;
    for (std::string& word : words) pointers.push_back(word.data());
    pointers.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    if (out >= 0) ::posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    pid_t pid = -1;
    const int spawned = words.empty() ? -1
                                      : ::posix_spawn(&pid, words[0].c_str(), &actions, nullptr,
                                                      pointers.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

int RunProgram(const std::vector<std::string>& argv) {
    // What the program reports on its standard output is not the test's.
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const pid_t pid = SpawnProgram(argv, null);
    ::close(null);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::chrono::microseconds RandomMoment(std::chrono::microseconds limit) {
    static std::mt19937_64 generator{std::random_device{}()};
    std::uniform_int_distribution<long long> pick(0, std::max<long long>(0, limit.count() - 1));
    return std::chrono::microseconds(pick(generator));
}

}  // namespace vantrel::test
