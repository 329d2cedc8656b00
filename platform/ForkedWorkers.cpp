#include "platform/ForkedWorkers.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>

namespace vantrel {
namespace {

struct Worker {
    pid_t pid;
    int pipe;  // read end: the worker's error text, then end of file
    std::size_t job;
};

// In the worker: runs the job, hands its error text to the parent and ends
// the process without running the parent's exit handlers.
[[noreturn]] void RunWorker(int pipe, const std::function<std::string()>& job) {
    std::string error;
    try {
        error = job();
    } catch (const std::exception& failure) {
        error = failure.what();
    } catch (...) {
        error = "unexpected failure";
    }
    for (std::size_t written = 0; written < error.size();) {
        const ssize_t n = ::write(pipe, error.data() + written, error.size() - written);
        if (n <= 0 && errno != EINTR) break;
        if (n > 0) written += static_cast<std::size_t>(n);
    }
    ::_exit(error.empty() ? 0 : 1);
}

std::string Collect(const Worker& worker) {
    std::string text;
    char chunk[512];
    for (;;) {
        const ssize_t n = ::read(worker.pipe, chunk, sizeof(chunk));
        if (n > 0) text.append(chunk, static_cast<std::size_t>(n));
        if (n == 0 || (n < 0 && errno != EINTR)) break;
    }
    ::close(worker.pipe);
    int status = 0;
    while (::waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status)) return "worker ended by signal " + std::to_string(WTERMSIG(status));
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0 && text.empty()) return "worker failed";
    return text;
}

// Waits until one of `running` has finished and collects it.
void CollectOne(std::vector<Worker>& running, std::vector<std::string>& errors) {
    std::vector<pollfd> fds;
    for (const Worker& worker : running) fds.push_back({worker.pipe, POLLIN, 0});
    while (::poll(fds.data(), fds.size(), -1) < 0 && errno == EINTR) {
    }
    for (std::size_t i = 0; i < fds.size(); ++i) {
        if (fds[i].revents == 0) continue;
        errors[running[i].job] = Collect(running[i]);
        running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
        return;
    }
}

}  // namespace

std::vector<std::string> RunForked(std::size_t count, unsigned parallel,
                                   const std::function<std::string(std::size_t)>& job) {
    std::vector<std::string> errors(count);
    std::vector<Worker> running;
    for (std::size_t i = 0; i < count; ++i) {
        while (running.size() >= std::max(1u, parallel)) CollectOne(running, errors);
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            errors[i] = std::string("no pipe for a worker: ") + std::strerror(errno);
            continue;
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(fds[0]);
            RunWorker(fds[1], [&job, i] { return job(i); });
        }
        ::close(fds[1]);
        if (pid < 0) {
            errors[i] = std::string("no worker process: ") + std::strerror(errno);
            ::close(fds[0]);
            continue;
        }
        running.push_back({pid, fds[0], i});
    }
    while (!running.empty()) CollectOne(running, errors);
    return errors;
}

}  // namespace vantrel
