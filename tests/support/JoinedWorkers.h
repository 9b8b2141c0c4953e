#pragma once

#include <condition_variable>
#include <functional>
#include <iterator>
#include <list>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "resolver/WorkerSlots.h"

namespace ip2h::test {

// Starts the engine's workers on threads that are all joined when this object goes away. The
// program detaches its workers and never waits for them; a test must, or a lookup still
// inside the C library's resolver when the process exits leaves that thread's resolver
// buffers behind, and the leak checker reports them. Finished threads are joined by a thread
// of this object's own as they end, so that the window's thread never waits and a long test
// does not pile up thousands of stacks.
class JoinedWorkers {
public:
    JoinedWorkers() : m_reaper([this] { Reap(); }) {}
    JoinedWorkers(const JoinedWorkers&) = delete;
    JoinedWorkers& operator=(const JoinedWorkers&) = delete;
    ~JoinedWorkers() { JoinAll(); }

    std::shared_ptr<ResolutionEngine> Engine(ResolutionEngine::LookupFunction lookup = {}) {
        return ResolutionEngine::Create(std::move(lookup), [this](std::function<void()> work) {
            std::lock_guard lock(m_lock);
            const auto self = m_running.emplace(m_running.end());
            // The thread reports its end under the lock, so after the assignment below.
            *self = std::thread([this, work = std::move(work), self] {
                work();
                std::lock_guard ended(m_lock);
                m_finished.push_back(self);
                m_changed.notify_one();
            });
            return true;
        });
    }

    void JoinAll() {
        {
            std::lock_guard lock(m_lock);
            m_stopping = true;
        }
        m_changed.notify_one();
        if (m_reaper.joinable()) m_reaper.join();
        std::list<std::thread> rest;
        {
            std::lock_guard lock(m_lock);
            rest.swap(m_running);
        }
        for (std::thread& thread : rest) thread.join();
    }

private:
    void Reap() {
        std::unique_lock lock(m_lock);
        while (!m_stopping) {
            m_changed.wait(lock, [this] { return m_stopping || !m_finished.empty(); });
            std::vector<std::list<std::thread>::iterator> finished;
            finished.swap(m_finished);
            lock.unlock();
            for (const auto thread : finished) thread->join();
            lock.lock();
            for (const auto thread : finished) m_running.erase(thread);
        }
    }

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::list<std::thread> m_running;
    std::vector<std::list<std::thread>::iterator> m_finished;
    bool m_stopping = false;
    std::thread m_reaper;  // last: it starts once everything above exists
};

}  // namespace ip2h::test
