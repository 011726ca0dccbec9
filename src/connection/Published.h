// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace tallyfin {

// Ends a subscription when destroyed (or when cancel() is called). Move-only.
class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel)
        : m_cancel(std::move(cancel)) {}
    Subscription(Subscription&& other) noexcept
        : m_cancel(std::exchange(other.m_cancel, {})) {}
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            cancel();
            m_cancel = std::exchange(other.m_cancel, {});
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { cancel(); }

    void cancel() {
        if (auto cancel = std::exchange(m_cancel, {})) {
            cancel();
        }
    }

private:
    std::function<void()> m_cancel;
};

// A field of an observable object. Every assignment, also of an equal value and also an in-place
// change of one member, first runs the owner's will-change hook, then stores the value, then runs
// the owner's did-change hook and finally hands the new value to every subscriber. A subscriber
// receives the current value at once when it subscribes, so it never misses the starting state.
template<typename T>
class Published {
public:
    using Callback = std::function<void(const T&)>;

    Published(T initial, std::function<void()> willChange, std::function<void()> didChange = {})
        : m_value(std::move(initial))
        , m_willChange(std::move(willChange))
        , m_didChange(std::move(didChange))
        , m_subscribers(std::make_shared<Subscribers>()) {}
    Published(const Published&) = delete;
    Published& operator=(const Published&) = delete;

    const T& value() const { return m_value; }
    operator const T&() const { return m_value; }

    void set(T value) {
        if (m_willChange) {
            m_willChange();
        }
        m_value = std::move(value);
        delivered();
    }

    // Changes the value in place through `change(T&)`; observers see one assignment.
    template<typename F>
    void modify(F&& change) {
        if (m_willChange) {
            m_willChange();
        }
        std::forward<F>(change)(m_value);
        delivered();
    }

    // Calls `callback` with the current value now and with every later value until the returned
    // subscription ends.
    [[nodiscard]] Subscription subscribe(Callback callback) const {
        const auto id = m_subscribers->nextId++;
        m_subscribers->entries.push_back({id, std::move(callback)});
        std::weak_ptr<Subscribers> weak = m_subscribers;
        const Callback first = m_subscribers->entries.back().callback;
        first(m_value);
        return Subscription([weak, id] {
            if (auto subscribers = weak.lock()) {
                std::erase_if(subscribers->entries, [id](const auto& e) { return e.id == id; });
            }
        });
    }

private:
    struct Entry {
        unsigned long long id;
        Callback callback;
    };
    struct Subscribers {
        unsigned long long nextId = 0;
        std::vector<Entry> entries;
    };

    void delivered() {
        if (m_didChange) {
            m_didChange();
        }
        if (m_subscribers->entries.empty()) {
            return;
        }
        // Copied first: a callback may subscribe or cancel while we walk the list. One that was
        // cancelled on the way is not called any more.
        const auto entries = m_subscribers->entries;
        for (const auto& entry : entries) {
            const auto& current = m_subscribers->entries;
            const bool live = std::any_of(current.cbegin(), current.cend(),
                                          [&](const auto& e) { return e.id == entry.id; });
            if (live) {
                entry.callback(m_value);
            }
        }
    }

    T m_value;
    std::function<void()> m_willChange;
    std::function<void()> m_didChange;
    std::shared_ptr<Subscribers> m_subscribers;
};

} // namespace tallyfin
