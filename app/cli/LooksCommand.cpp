#include "app/cli/LooksCommand.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "Core/base/Zoom.h"
#include "commands/Lomo.h"
#include "commands/NameTables.h"
#include "platform/Files.h"
#include "platform/Picture.h"
#include "platform/PictureCodec.h"

namespace vantrel::cli {
namespace {

bool IsAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

std::string HtmlEscape(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\'':
                escaped += "&#39;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

// The picture at `size` pixels on its shorter side, the longer side in
// proportion (truncated, at least 1), resampled by the zoom operation; at
// its own size, a copy.
Result<std::unique_ptr<TiBitmapData>> ScaleToShorterSide(const Picture& picture, int size) {
    const std::int64_t width = picture.width();
    const std::int64_t height = picture.height();
    const std::int64_t shorter = std::min(width, height);
    if (size == shorter) {
        auto copy = BitmapFromPicture(picture);
        if (!copy) return Result<std::unique_ptr<TiBitmapData>>::Failure("not enough memory");
        return Result<std::unique_ptr<TiBitmapData>>::Success(std::move(copy));
    }
    const std::int64_t newWidth = std::max<std::int64_t>(1, width * size / shorter);
    const std::int64_t newHeight = std::max<std::int64_t>(1, height * size / shorter);
    const std::string sizeError = PictureSizeError(newWidth, newHeight);
    if (!sizeError.empty()) return Result<std::unique_ptr<TiBitmapData>>::Failure(sizeError);
    auto source = BitmapFromPicture(picture);
    auto scaled =
        source ? CreateImageZoom(*source, static_cast<int>(newWidth), static_cast<int>(newHeight))
               : nullptr;
    if (!scaled) return Result<std::unique_ptr<TiBitmapData>>::Failure("not enough memory");
    return Result<std::unique_ptr<TiBitmapData>>::Success(std::move(scaled));
}

// Runs one look on a copy of `picture` and writes it to `path`; the reason
// when it could not.
std::string RenderLook(const TiBitmapData& picture, int lomo, const std::string& path) {
    auto bitmap = picture.Clone(false);
    if (!bitmap) return "not enough memory";
    srandom(1);  // the sequence of a fresh process, whatever ran before
    if (lomo != LE_NONE && ApplyLomoStyle(*bitmap, lomo) == 0) return "the look failed";
    const Result<Done> written = WritePictureFile(PictureFromBitmap(*bitmap), path);
    return written.ok() ? std::string() : written.error();
}

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

// Runs job(i) for every i < count, each in a forked process of its own, at
// most `parallel` at a time. Returns each job's error text, empty when done.
std::vector<std::string> RunForked(std::size_t count, unsigned parallel,
                                   const std::function<std::string(std::size_t)>& job) {
    std::vector<std::string> errors(count);
    std::vector<Worker> running;
    for (std::size_t i = 0; i < count; ++i) {
        while (running.size() >= parallel) CollectOne(running, errors);
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

// The size the looks are made at: the one asked for, held to the largest
// size of a sheet and to the picture's shorter side, so that no look is
// made of a picture enlarged first. A hold is reported on `out`.
int SheetSize(int asked, const Picture& picture, std::ostream& out) {
    const int shorter = std::min(picture.width(), picture.height());
    if (asked <= std::min(shorter, kMaxLooksSize)) return asked;
    if (shorter < kMaxLooksSize) {
        out << "--size " << asked << " is larger than the picture's shorter side, " << shorter
            << " pixels: the looks are made at " << shorter << "\n";
        return shorter;
    }
    out << "--size " << asked << " is above the largest size of a sheet, " << kMaxLooksSize
        << ": the looks are made at " << kMaxLooksSize << "\n";
    return kMaxLooksSize;
}

std::vector<SheetEntry> SheetLooks() {
    std::vector<SheetEntry> entries;
    for (LookSection section : kLookSections) {
        for (const LomoLook& look : LooksInSection(section)) entries.push_back({look, false});
    }
    return entries;
}

}  // namespace

std::string LookFileName(std::string_view displayName) {
    std::string name;
    bool gap = false;
    for (char c : displayName) {
        if (!IsAsciiAlnum(c)) {
            gap = !name.empty();
            continue;
        }
        if (gap) name += '_';
        gap = false;
        name += c;
    }
    return name + ".png";
}

std::string LooksIndexHtml(std::string_view title, std::span<const SheetEntry> entries, int width,
                           int height) {
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
        HtmlEscape(title) +
        "</title>\n<style>\nbody { font-family: sans-serif; margin: 1em; }\n"
        "figure { display: inline-block; margin: 0 1em 1em 0; vertical-align: top; }\n"
        "figcaption { text-align: center; }\n.failed { color: #b00; }\n</style>\n</head>\n"
        "<body>\n<h1>" +
        HtmlEscape(title) + "</h1>\n";
    const std::string size =
        " width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) + "\"";
    for (LookSection section : kLookSections) {
        page += "<h2>" + HtmlEscape(SectionTitle(section)) + "</h2>\n<div>\n";
        for (const SheetEntry& entry : entries) {
            if (entry.look.section != section) continue;
            const std::string name = HtmlEscape(entry.look.displayName);
            page += "<figure>";
            if (entry.rendered) {
                page += "<img src=\"" + HtmlEscape(LookFileName(entry.look.displayName)) +
                        "\" alt=\"" + name + "\"" + size + "><figcaption>" + name;
            } else {
                page += "<figcaption class=\"failed\">" + name + " (failed)";
            }
            page += "</figcaption></figure>\n";
        }
        page += "</div>\n";
    }
    return page + "</body>\n</html>\n";
}

int RunLooks(const LooksOptions& options, std::ostream& out, std::ostream& err) {
    const Result<Picture> input = ReadPictureFile(options.input);
    if (!input.ok()) {
        err << "vantrel looks: " << options.input << ": " << input.error() << "\n";
        return 1;
    }
    auto scaled = ScaleToShorterSide(input.value(), SheetSize(options.size, input.value(), out));
    if (!scaled.ok()) {
        err << "vantrel looks: " << options.input << ": " << scaled.error() << "\n";
        return 1;
    }
    std::error_code folderError;
    std::filesystem::create_directories(options.outputFolder, folderError);
    if (folderError) {
        err << "vantrel looks: " << options.outputFolder << ": " << folderError.message() << "\n";
        return 1;
    }
    const TiBitmapData& picture = *scaled.value();
    std::vector<SheetEntry> entries = SheetLooks();
    const std::string folder = options.outputFolder + "/";
    const std::vector<std::string> errors = RunForked(
        entries.size(), std::max(1u, std::thread::hardware_concurrency()), [&](std::size_t i) {
            return RenderLook(picture, entries[i].look.lomo,
                              folder + LookFileName(entries[i].look.displayName));
        });
    int failed = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].rendered = errors[i].empty();
        if (entries[i].rendered) continue;
        ++failed;
        err << "vantrel looks: warning: " << entries[i].look.displayName << ": " << errors[i]
            << "\n";
    }
    const std::string title =
        "Looks of " + std::filesystem::path(options.input).filename().string();
    const std::string page =
        LooksIndexHtml(title, entries, picture.GetWidth(), picture.GetHeight());
    const Result<Done> written = WriteFileAtomically(
        folder + "index.html",
        std::span(reinterpret_cast<const unsigned char*>(page.data()), page.size()));
    if (!written.ok()) {
        err << "vantrel looks: " << folder << "index.html: " << written.error() << "\n";
        return 1;
    }
    out << "wrote " << entries.size() - failed << " looks and index.html to "
        << options.outputFolder;
    if (failed > 0) {
        out << "; " << failed << (failed == 1 ? " look failed" : " looks failed")
            << ", marked on the page";
    }
    out << "\n";
    // A sheet with some looks failed is still a sheet; one without any is not.
    return failed < static_cast<int>(entries.size()) ? 0 : 1;
}

}  // namespace vantrel::cli
