#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "resolver/WorkerSlots.h"

namespace ip2h::test {

// Starts the engine's workers on threads that are joined when this object goes away. The
// program detaches its workers and never waits for them; a test must, or a lookup still
// inside the C library's resolver when the process exits leaves that thread's resolver
// buffers behind, and the leak checker reports them.
class JoinedWorkers {
public:
    JoinedWorkers() = default;
    JoinedWorkers(const JoinedWorkers&) = delete;
    JoinedWorkers& operator=(const JoinedWorkers&) = delete;
    ~JoinedWorkers() { JoinAll(); }

    std::shared_ptr<ResolutionEngine> Engine(ResolutionEngine::LookupFunction lookup = {}) {
        return ResolutionEngine::Create(std::move(lookup), [this](std::function<void()> work) {
            std::lock_guard lock(m_lock);
            // Threads that have finished are joined as new ones start, so that a long test
            // does not pile up the stacks of thousands of them.
            std::erase_if(m_workers, [](Worker& worker) {
                if (!worker.Done->load()) return false;
                worker.Thread.join();
                return true;
            });
            auto done = std::make_shared<std::atomic<bool>>(false);
            m_workers.push_back({std::thread([work = std::move(work), done] {
                                     work();
                                     done->store(true);
                                 }),
                                 done});
            return true;
        });
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
        std::shared_ptr<std::atomic<bool>> Done;
    };
    std::mutex m_lock;
    std::vector<Worker> m_workers;
};

}  // namespace ip2h::test
