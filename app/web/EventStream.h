// The server-sent event stream: every open page subscribes and receives the
// editor's state whenever it changes ("state", the whole snapshot as JSON)
// and passing notices ("notice": a title tip, a completion message, a link
// to open).
//
// A page that reads slowly never holds the editor up and never makes memory
// grow: only the newest state waits for it, and at most kMaxPendingNotices
// notices. At most kMaxClients pages listen at once; a new one ends the
// oldest.
//
// Threads: broadcast from any thread; each subscriber is read by the HTTP
// thread serving its connection.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::web {

class EventStream {
public:
    static constexpr std::size_t kMaxClients = 6;
    static constexpr std::size_t kMaxPendingNotices = 32;

    class Subscriber;

    EventStream() = default;
    EventStream(const EventStream&) = delete;
    EventStream& operator=(const EventStream&) = delete;

    // A new listener, which first receives the latest state.
    std::shared_ptr<Subscriber> subscribe();

    // The state changed: every listener gets `json` (replacing a state it
    // has not read yet), and so does every later one.
    void publishState(std::string json);
    // A passing notice for the listeners of now.
    void publishNotice(std::string_view json);

    // Ends every stream; later subscribers end at once.
    void close();

    // The next message for `subscriber` in the event-stream format: a
    // message, a comment line when `wait` passed with nothing to send (it
    // keeps the connection open), or nothing when the stream has ended.
    std::optional<std::string> next(Subscriber& subscriber, std::chrono::milliseconds wait);

    std::size_t subscriberCount();

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::weak_ptr<Subscriber>> m_subscribers;
    std::string m_state;
    bool m_closed = false;
};

class EventStream::Subscriber {
private:
    friend class EventStream;
    std::optional<std::string> state;
    std::deque<std::string> notices;
    bool ended = false;
};

// One event in the event-stream format: "event: NAME\ndata: DATA\n\n"
// (DATA holds no line breaks: the program's JSON writer writes none).
std::string EventMessage(std::string_view name, std::string_view data);

}  // namespace vantrel::web
