#include "host/ado/SessionPool.h"

#include <algorithm>
#include <cstdlib>
#include <typeinfo>

namespace paperloom::host::ado {
namespace {

void ClearProcessPool() { SessionPool::Instance().Clear(); }

}  // namespace

SessionPool::SessionPool(std::size_t capacity, std::chrono::seconds idleLimit)
    : capacity_(capacity), idleLimit_(idleLimit) {}

SessionPool& SessionPool::Instance() {
    // Never destroyed: sessions must not outlive the driver libraries' own static state, so
    // they are closed by an exit handler (registered on first release) instead of here.
    static SessionPool* const pool = std::make_unique<SessionPool>().release();
    return *pool;
}

void SessionPool::DropExpiredLocked(Clock::time_point now, std::list<Idle>& dropped) {
    for (auto it = idle_.begin(); it != idle_.end();) {
        auto next = std::next(it);
        if (now - it->since > idleLimit_) dropped.splice(dropped.end(), idle_, it);
        it = next;
    }
}

std::unique_ptr<ProviderSession> SessionPool::Acquire(const std::string& key, const Opener& open) {
    std::list<Idle> dropped;  // closed outside the lock
    {
        std::lock_guard lock(mutex_);
        DropExpiredLocked(Clock::now(), dropped);
        for (auto it = idle_.begin(); it != idle_.end();) {
            auto next = std::next(it);
            if (it->key == key) {
                if (it->session->IsUsable()) {
                    auto session = std::move(it->session);
                    idle_.erase(it);
                    return session;
                }
                dropped.splice(dropped.end(), idle_, it);
            }
            it = next;
        }
    }
    auto session = open();
    ++opened_;
    return session;
}

void SessionPool::Release(const std::string& key, std::unique_ptr<ProviderSession> session) {
    if (!session || capacity_ == 0 || !session->IsUsable()) return;
    std::list<Idle> dropped;
    std::lock_guard lock(mutex_);
    // The first release of each kind of session happens after that provider's libraries are
    // initialised, so a handler registered now runs before their static state is torn down.
    const ProviderSession& held = *session;
    const std::type_index kind(typeid(held));
    if (std::find(exitHandled_.begin(), exitHandled_.end(), kind) == exitHandled_.end()) {
        exitHandled_.push_back(kind);
        if (this == &Instance()) std::atexit(ClearProcessPool);
    }
    const auto now = Clock::now();
    DropExpiredLocked(now, dropped);
    idle_.push_front(Idle{key, std::move(session), now});
    while (idle_.size() > capacity_) dropped.splice(dropped.end(), idle_, std::prev(idle_.end()));
    // `dropped` is destroyed after the lock is released (declared before the guard).
}

void SessionPool::Clear() {
    std::list<Idle> dropped;
    std::lock_guard lock(mutex_);
    dropped.swap(idle_);
}

std::size_t SessionPool::IdleCount() const {
    std::lock_guard lock(mutex_);
    return idle_.size();
}

}  // namespace paperloom::host::ado
