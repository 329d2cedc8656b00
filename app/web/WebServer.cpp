#include "app/web/WebServer.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <spawn.h>
#include <sys/wait.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <thread>

#include "app/web/ApiRoutes.h"
#include "app/web/EditorShell.h"
#include "app/web/EventStream.h"
#include "app/web/MainQueueCall.h"
#include "app/web/TerminalQr.h"
#include "app/web/WebUIServices.h"
#include "commands/Json.h"
#include "editing/EditViewController.h"
#include "editing/PhotoAppViewController.h"
#include "platform/Dispatch.h"
#include "platform/DocumentsDirectory.h"
#include "platform/Resources.h"
#include "platform/RunningEditor.h"

extern char** environ;

namespace vantrel::web {
namespace {

using Clock = std::chrono::steady_clock;

// Set by SIGINT and SIGTERM; a lock-free atomic is safe in a signal handler.
std::atomic<bool> g_stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// How long a stop waits for work in flight (a full-size save) to finish.
constexpr auto kFinishWorkTimeout = std::chrono::seconds(120);
// The state is looked at this often even when nothing seems to have changed.
constexpr auto kStateCheck = std::chrono::milliseconds(250);
constexpr int kServerThreads = 16;

extern "C" void RequestStop(int) {
    g_stopRequested.store(true);
}

void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    // A second signal stops at once: every file is written whole anyway.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

// The machine's first IPv4 address on the local network, for the printed URL.
std::string LanAddress() {
    ifaddrs* addresses = nullptr;
    if (getifaddrs(&addresses) != 0) return "0.0.0.0";
    std::string found = "0.0.0.0";
    for (ifaddrs* a = addresses; a; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET) continue;
        if ((a->ifa_flags & IFF_UP) == 0 || (a->ifa_flags & IFF_LOOPBACK) != 0) continue;
        char text[INET_ADDRSTRLEN] = {};
        const auto* in = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
        if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof text)) {
            found = text;
            break;
        }
    }
    freeifaddrs(addresses);
    return found;
}

// Hands the URL to the desktop's browser; the child is reaped in the background.
void OpenInBrowser(const std::string& url, std::ostream& err) {
    pid_t child = 0;
    const char* argv[] = {"xdg-open", url.c_str(), nullptr};
    if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, const_cast<char* const*>(argv),
                     environ) != 0) {
        err << "vantrel serve: could not start xdg-open; open the address yourself.\n";
        return;
    }
    std::thread([child] { waitpid(child, nullptr, 0); }).detach();
}

// The built front end: web/ beside the program, installed, or in the build folder.
std::optional<std::filesystem::path> FrontEndFolder() {
    const std::optional<std::filesystem::path> index = findResource("web", "index", "html");
    if (!index) return std::nullopt;
    return index->parent_path();
}

// Runs the main queue and sends the state to the pages whenever it changed,
// until a stop is asked for.
class MainLoop {
public:
    MainLoop(EditorShell& shell, EventStream& events) : m_shell(shell), m_events(events) {}

    // From any thread: something outside the main queue changed the state.
    void markChanged() {
        if (!m_dirty.exchange(true)) dispatchAsync(DispatchQueue::Main, [] {});
    }

    void run() {
        auto lastCheck = Clock::now();
        publish();
        while (!g_stopRequested.load()) {
            bool changed = drainMainQueue() > 0;
            if (!changed) {
                // Wait for the next block without running it: woken early
                // means work arrived.
                const auto start = Clock::now();
                int checks = 0;
                runMainQueueUntil([&] { return g_stopRequested.load() || ++checks > 1; });
                changed = Clock::now() - start < std::chrono::milliseconds(15);
                changed = drainMainQueue() > 0 || changed;
            }
            if (m_dirty.exchange(false)) changed = true;
            if (changed || Clock::now() - lastCheck >= kStateCheck) {
                lastCheck = Clock::now();
                publish();
            }
        }
    }

    void publish() {
        std::string json = jsonStringValue(m_shell.snapshot());
        if (json == m_last) return;
        m_last = json;
        m_events.publishState(std::move(json));
    }

private:
    EditorShell& m_shell;
    EventStream& m_events;
    std::atomic<bool> m_dirty{false};
    std::string m_last;
};

// After a stop: the edit's work in flight ends and its files are written.
void FinishWork(PhotoAppViewController& root) {
    const auto deadline = Clock::now() + kFinishWorkTimeout;
    while (Clock::now() < deadline) {
        const std::size_t ran = drainMainQueue();
        if (EditViewController* editor = root.editViewController()) {
            editor->pictureStore().waitForWrites();
        }
        if (ran == 0 && root.backgroundWork().count() == 0 && drainMainQueue() == 0) return;
        root.backgroundWork().waitUntilIdleFor(std::chrono::milliseconds(5));
    }
}

}  // namespace

int RunServer(const ServeOptions& options, std::string_view version, std::ostream& out,
              std::ostream& err) {
    const std::optional<std::filesystem::path> webRoot = FrontEndFolder();
    if (!webRoot) {
        err << "vantrel serve: the front end is not built (web/index.html beside the program); "
               "run make first.\n";
        return 1;
    }
    const Result<std::string> documents = DocumentsDirectory();
    if (!documents) {
        err << "vantrel serve: " << documents.error() << "\n";
        return 1;
    }
    std::error_code error;
    if (!options.library.empty() && !std::filesystem::is_directory(options.library, error)) {
        err << "vantrel serve: the library \"" << options.library << "\" is not a folder.\n";
        return 1;
    }

    AccessPolicy policy;
    policy.requireToken = options.lan;
    policy.loopbackHostOnly = !options.lan;
    if (options.lan) {
        policy.token = NewAccessToken();
        if (policy.token.empty()) {
            err << "vantrel serve: no random bytes for the access token.\n";
            return 1;
        }
    }

    InstallStopHandlers();
    EventStream events;
    MainLoop* loopForUi = nullptr;
    WebUIServices ui(
        [&] {
            if (loopForUi) loopForUi->markChanged();
        },
        [&](const Dictionary& notice) { events.publishNotice(jsonStringValue(notice)); });
    setCurrentUIServices(&ui);

    PhotoAppViewController& root = PhotoAppViewController::sharedRootViewController();
    if (!options.library.empty()) root.setLibraryFolder(options.library);
    root.setCameraAvailable(true);
    EditorShell shell(root, ui, std::string(version));
    root.setObserver(&shell);
    MainLoop loop(shell, events);
    loopForUi = &loop;

    LibraryPictures libraryPictures(documents.value() + "/LibraryPreviews");
    EncodedPictureCache pictureCache;
    ApiContext context{shell,    ui,     events,          root.library(),
                       *webRoot, policy, libraryPictures, pictureCache};

    httplib::Server server;
    server.new_task_queue = [] { return new httplib::ThreadPool(kServerThreads); };
    server.set_keep_alive_timeout(5);
    server.set_read_timeout(30);
    server.set_write_timeout(30);
    InstallRoutes(server, context);

    // VANTREL_LAN_BIND keeps LAN mode's rules on one interface (the tests
    // run it on the loopback only).
    const char* lanBind = std::getenv("VANTREL_LAN_BIND");
    const char* host = !options.lan ? "127.0.0.1" : lanBind && *lanBind ? lanBind : "0.0.0.0";
    int port = options.port;
    bool bound = port != 0 && server.bind_to_port(host, port);
    if (!bound && (port == 0 || !options.portGiven)) {
        port = server.bind_to_any_port(host);
        bound = port > 0;
    }
    if (!bound) {
        err << "vantrel serve: can not listen on " << host << ":" << options.port
            << " (the port is taken or not allowed).\n";
        root.setObserver(nullptr);
        setCurrentUIServices(nullptr);
        return 1;
    }
    policy.port = port;
    context.policy.port = port;

    const std::string address = options.lan ? LanAddress() : "127.0.0.1";
    std::string url = "http://" + address + ":" + std::to_string(port) + "/";
    if (options.lan) url += "?token=" + policy.token;
    out << "Vantrel is running at " << url << "\n";
    if (options.lan) {
        out << "On a phone on the same network, open the address or scan this code:\n"
            << TerminalQrCode(url);
    }
    out << "Library: " << root.library().folder() << "\nPress Ctrl-C to stop.\n" << std::flush;

    // `vantrel open-url` finds this editor (on the loopback interface, which
    // a LAN server listens on too) through the record in the documents folder.
    const std::string recordFile = RunningEditorFile();
    const Result<RunningEditor> running =
        PublishRunningEditor(recordFile, "http://127.0.0.1:" + std::to_string(port));
    if (running) {
        context.runningEditor = &running.value();
    } else {
        err << "vantrel serve: login callbacks through the vantrel: address will not reach this "
               "editor: "
            << running.error() << "\n";
    }

    std::thread listener([&server] { server.listen_after_bind(); });
    root.applicationDidFinishLaunching();
    if (options.open) OpenInBrowser(url, err);

    loop.run();

    out << "Stopping: finishing the work in flight...\n" << std::flush;
    g_mainQueueCallsStopped.store(true);
    events.close();
    server.stop();
    listener.join();
    if (running) WithdrawRunningEditor(recordFile, running.value());
    FinishWork(root);
    root.applicationDidEnterBackground();
    root.setObserver(nullptr);
    loopForUi = nullptr;
    setCurrentUIServices(nullptr);
    out << "Stopped; the settings are saved.\n" << std::flush;
    return 0;
}

}  // namespace vantrel::web
