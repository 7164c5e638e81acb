#pragma once
// A process-wide pool of idle provider sessions. The run-time opens and closes a detail
// connection per table per record; with the pool that costs one login per database, user and
// password instead of one per record.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <typeindex>
#include <vector>

#include "host/ado/Provider.h"

namespace paperloom::host::ado {

class SessionPool {
public:
    using Opener = std::function<std::unique_ptr<ProviderSession>()>;
    using Clock = std::chrono::steady_clock;

    explicit SessionPool(std::size_t capacity = 16,
                         std::chrono::seconds idleLimit = std::chrono::seconds(300));
    SessionPool(const SessionPool&) = delete;
    SessionPool& operator=(const SessionPool&) = delete;

    // The process's pool. It lives until exit; idle sessions are closed by an exit handler.
    static SessionPool& Instance();

    // An idle usable session stored under `key`, or a new one from `open`.
    std::unique_ptr<ProviderSession> Acquire(const std::string& key, const Opener& open);
    // Keeps a usable session for the next Acquire of `key`; drops the oldest beyond capacity.
    void Release(const std::string& key, std::unique_ptr<ProviderSession> session);

    void Clear();
    std::size_t IdleCount() const;
    std::size_t OpenedCount() const noexcept { return opened_.load(); }  // sessions made by openers

private:
    struct Idle {
        std::string key;
        std::unique_ptr<ProviderSession> session;
        Clock::time_point since;
    };
    void DropExpiredLocked(Clock::time_point now, std::list<Idle>& dropped);

    mutable std::mutex mutex_;
    std::list<Idle> idle_;  // most recently released first
    std::size_t capacity_;
    std::chrono::seconds idleLimit_;
    std::atomic<std::size_t> opened_{0};
    std::vector<std::type_index> exitHandled_;
};

}  // namespace paperloom::host::ado
