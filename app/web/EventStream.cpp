#include "app/web/EventStream.h"

#include <algorithm>

namespace vantrel::web {

std::string EventMessage(std::string_view name, std::string_view data) {
    std::string message = "event: ";
    message.append(name).append("\ndata: ");
    for (const char c : data) message += (c == '\n' || c == '\r') ? ' ' : c;
    message.append("\n\n");
    return message;
}

std::shared_ptr<EventStream::Subscriber> EventStream::subscribe() {
    auto subscriber = std::make_shared<Subscriber>();
    std::lock_guard lock(m_mutex);
    std::erase_if(m_subscribers, [](const auto& weak) { return weak.expired(); });
    if (m_subscribers.size() >= kMaxClients) {
        if (auto oldest = m_subscribers.front().lock()) oldest->ended = true;
        m_subscribers.erase(m_subscribers.begin());
    }
    subscriber->ended = m_closed;
    if (!m_state.empty()) subscriber->state = m_state;
    m_subscribers.push_back(subscriber);
    m_changed.notify_all();
    return subscriber;
}

void EventStream::publishState(std::string json) {
    std::lock_guard lock(m_mutex);
    m_state = std::move(json);
    for (const auto& weak : m_subscribers) {
        if (auto subscriber = weak.lock()) subscriber->state = m_state;
    }
    m_changed.notify_all();
}

void EventStream::publishNotice(std::string_view json) {
    std::lock_guard lock(m_mutex);
    for (const auto& weak : m_subscribers) {
        auto subscriber = weak.lock();
        if (!subscriber) continue;
        if (subscriber->notices.size() == kMaxPendingNotices) subscriber->notices.pop_front();
        subscriber->notices.emplace_back(json);
    }
    m_changed.notify_all();
}

void EventStream::close() {
    std::lock_guard lock(m_mutex);
    m_closed = true;
    for (const auto& weak : m_subscribers) {
        if (auto subscriber = weak.lock()) subscriber->ended = true;
    }
    m_changed.notify_all();
}

std::optional<std::string> EventStream::next(Subscriber& subscriber,
                                             std::chrono::milliseconds wait) {
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, wait, [&] {
        return subscriber.ended || subscriber.state || !subscriber.notices.empty();
    });
    if (subscriber.ended) return std::nullopt;
    // Notices first: a notice belongs to the moment before the state that follows it.
    if (!subscriber.notices.empty()) {
        std::string message = EventMessage("notice", subscriber.notices.front());
        subscriber.notices.pop_front();
        return message;
    }
    if (subscriber.state) {
        std::string message = EventMessage("state", *subscriber.state);
        subscriber.state.reset();
        return message;
    }
    return std::string(": keep-alive\n\n");
}

std::size_t EventStream::subscriberCount() {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_subscribers, [](const auto& weak) { return weak.expired(); });
    return m_subscribers.size();
}

}  // namespace vantrel::web
