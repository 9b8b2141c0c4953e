#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "resolver/ResolutionEngine.h"

namespace ip2h::test {

// Starts the engine's workers on threads all joined when this object goes away: the program
// detaches its workers, but a lookup still inside the C library's resolver at exit leaves
// buffers the leak checker reports. Each start first joins the workers that have ended, which
// costs no wait, so a long test does not pile up thousands of finished threads.
class JoinedWorkers {
public:
    JoinedWorkers() = default;
    JoinedWorkers(const JoinedWorkers&) = delete;
    JoinedWorkers& operator=(const JoinedWorkers&) = delete;
    ~JoinedWorkers() { JoinAll(); }

    std::shared_ptr<ResolutionEngine> Engine(ResolutionEngine::LookupFunction lookup = {}) {
        return ResolutionEngine::Create(std::move(lookup), Starter());
    }

    // Starts threads that this object joins, for an engine built elsewhere.
    ResolutionEngine::ThreadStarter Starter() {
        return [this](std::function<void()> work) {
            std::lock_guard lock(m_lock);
            std::erase_if(m_workers, [](Worker& worker) {
                if (!*worker.Ended) return false;
                worker.Thread.join();
                return true;
            });
            auto ended = std::make_shared<std::atomic<bool>>(false);
            m_workers.push_back({std::thread([work = std::move(work), ended] {
                                     work();
                                     *ended = true;
                                 }),
                                 ended});
            return true;
        };
    }

    void JoinAll() {
        std::vector<Worker> workers;
        {
            std::lock_guard lock(m_lock);
            workers.swap(m_workers);
        }
        for (Worker& worker : workers) worker.Thread.join();
    }

private:
    struct Worker {
        std::thread Thread;
        std::shared_ptr<std::atomic<bool>> Ended;
    };
    std::mutex m_lock;
    std::vector<Worker> m_workers;
};

}  // namespace ip2h::test
