// A pool of forked worker processes: each job runs in a process of its own,
// so that it starts from the state the parent had when it forked (random()
// sequences, process-wide tables) and a job that crashes takes only itself
// down.
//
// Jobs hand back one text, their error; empty means done. A job that throws
// hands back the exception's text; one that ends by a signal or exits
// without a text is reported as such. The worker ends with _exit, so the
// parent's exit handlers and buffered streams are not run twice.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace vantrel {

// Runs job(i) for every i < count, each in a forked process, at most
// `parallel` (at least 1) at a time. Returns each job's error text, empty for
// the jobs that were done.
std::vector<std::string> RunForked(std::size_t count, unsigned parallel,
                                   const std::function<std::string(std::size_t)>& job);

}  // namespace vantrel
