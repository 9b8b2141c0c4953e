#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "resolver/AnswerKind.h"
#include "resolver/LookupOptions.h"
#include "resolver/NameCache.h"

namespace ip2h {

inline constexpr int WorkerSlotCount = 96;

enum class SlotState : std::uint8_t { Idle = 0, Assigned = 1, Running = 2 };

// How an engine is built. The window uses the defaults; the batch mode sizes the slots to its
// jobs and is woken by each answer instead of polling.
struct EngineOptions {
    int Slots = WorkerSlotCount;  // 1 to kMaxWorkerSlots
    // How long a slot stays busy after its answer is stored.
    std::chrono::milliseconds RestTime{10};
    // Called on the worker's thread after its slot is idle again, with the answer it stored.
    std::function<void(const std::string& address, const LookupAnswer& answer)> OnAnswer;
};
inline constexpr int kMaxWorkerSlots = 256;

// What a request for an address did.
enum class RequestOutcome : std::uint8_t {
    Cached,          // the cache held the answer
    Dispatched,      // a slot's worker now resolves it
    AlreadyRunning,  // a worker resolves the same address already
    NoIdleSlot,      // every slot is busy (or the engine is torn down)
};

// The name cache and the worker slots (96 unless built otherwise) that fill it. The user-interface
// thread calls RequestHostName for every row on every refresh; each address it cannot answer goes
// to the lowest idle slot, whose own thread resolves it, stores the answer and ends.
//
// Always owned by a shared_ptr: every worker thread holds one, so nothing a worker still
// resolving touches is freed, whenever the program lets go of the engine.
class ResolutionEngine : public std::enable_shared_from_this<ResolutionEngine> {
    // Only Create can make one, so every engine is owned by a shared_ptr.
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    // Resolves one address with the engine's lookup options (ReverseLookup unless a test
    // supplies its own).
    using LookupFunction =
        std::function<LookupAnswer(const std::string& address, LookupOptions options)>;
    // Runs `work` on a new thread of its own; false when no thread could be started.
    using ThreadStarter = std::function<bool(std::function<void()> work)>;

    static std::shared_ptr<ResolutionEngine> Create(LookupFunction lookup = {},
                                                    ThreadStarter startThread = {},
                                                    EngineOptions options = {});

    ResolutionEngine(Passkey, LookupFunction lookup, ThreadStarter startThread,
                     EngineOptions options);
    ResolutionEngine(const ResolutionEngine&) = delete;
    ResolutionEngine& operator=(const ResolutionEngine&) = delete;

    // User-interface thread only; never waits for a lookup. The cached answer, or nothing
    // while the address is pending, in which case it may hand the address to a slot.
    std::optional<LookupAnswer> RequestHostName(std::string_view address) {
        LookupAnswer answer("");
        if (Request(address, answer) != RequestOutcome::Cached) return std::nullopt;
        return answer;
    }
    // The same, telling what became of the address and copying a cached answer into `answer`
    // (reusing its storage). One thread only (the dispatcher).
    RequestOutcome Request(std::string_view address, LookupAnswer& answer);

    // The options of the lookups started from now on; any thread. Each worker reads them once,
    // as it starts, so a lookup already running keeps those it began with.
    void SetLookupOptions(LookupOptions options) {
        m_lookupOptions.store(options, std::memory_order_relaxed);
    }
    LookupOptions CurrentLookupOptions() const {
        return m_lookupOptions.load(std::memory_order_relaxed);
    }

    int SlotCount() const { return m_slotCount; }
    // True while some slot is Running (an Assigned slot does not count).
    bool AnyWorkerRunning() const;
    SlotState State(int slot) const;
    // The address a slot is working on; empty when it has none.
    std::string SlotAddress(int slot) const;

    // Empties the cache; every address is looked up again when next requested.
    void ClearNameCache();
    // A registered or pasted address is asked again when its last answer was a server that
    // did not answer (or failed); definite answers stay cached.
    void AskAgainUnlessLasting(std::string_view address) { m_cache.ForgetPassingAnswer(address); }
    // Program shutdown: empties and closes the cache, so that answers of workers still
    // resolving are dropped, and hands out no more addresses. Waits for nothing.
    void Teardown();

    NameCache& Cache() { return m_cache; }
    const NameCache& Cache() const { return m_cache; }

private:
    struct WorkerSlot {
        std::atomic<SlotState> State{SlotState::Idle};
        // Guards Address: the dispatcher's duplicate test reads it while the worker empties it.
        mutable std::mutex AddressLock;
        std::string Address;
        // A letter-case-blind digest of Address (0 when empty), so that the duplicate test
        // takes the lock only for a slot that may hold the same address.
        std::atomic<std::uint64_t> AddressDigest{0};
    };

    bool IsRunningAnywhere(std::string_view address, std::uint64_t digest) const;
    void WorkerBody(int slot);

    LookupFunction m_lookup;
    ThreadStarter m_startThread;
    EngineOptions m_options;
    NameCache m_cache;
    std::unique_ptr<WorkerSlot[]> m_slots;
    int m_slotCount;
    std::atomic<bool> m_tornDown{false};
    // Written by the user-interface thread while workers read it: one atomic value, no lock.
    std::atomic<LookupOptions> m_lookupOptions{LookupOptions{}};
    static_assert(std::atomic<LookupOptions>::is_always_lock_free);
};

}  // namespace ip2h
