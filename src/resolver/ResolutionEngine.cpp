#include "resolver/ResolutionEngine.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "base/AsciiCase.h"
#include "resolver/ReverseLookup.h"

namespace ip2h {
namespace {

// FNV-1a over the case-folded text; never 0, which marks an empty slot.
std::uint64_t FoldedDigest(std::string_view text) {
    std::uint64_t digest = 14695981039346656037ull;
    for (const char c : text) {
        digest = (digest ^ static_cast<unsigned char>(LowerAscii(c))) * 1099511628211ull;
    }
    return digest == 0 ? 1 : digest;
}

bool StartDetachedThread(std::function<void()> work) {
    try {
        std::thread(std::move(work)).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

}  // namespace

std::shared_ptr<ResolutionEngine> ResolutionEngine::Create(LookupFunction lookup,
                                                           ThreadStarter startThread,
                                                           EngineOptions options) {
    return std::make_shared<ResolutionEngine>(Passkey{}, std::move(lookup), std::move(startThread),
                                              std::move(options));
}

ResolutionEngine::ResolutionEngine(Passkey, LookupFunction lookup, ThreadStarter startThread,
                                   EngineOptions options)
    : m_lookup(std::move(lookup)),
      m_startThread(std::move(startThread)),
      m_options(std::move(options)),
      m_slotCount(std::clamp(m_options.Slots, 1, kMaxWorkerSlots)) {
    m_slots = std::make_unique<WorkerSlot[]>(static_cast<std::size_t>(m_slotCount));
    if (!m_lookup) {
        m_lookup = [](const std::string& address, LookupOptions options) {
            return ReverseLookup(address, options);
        };
    }
    if (!m_startThread) {
        m_startThread = &StartDetachedThread;
    }
}

RequestOutcome ResolutionEngine::Request(std::string_view address, LookupAnswer& answer) {
    if (m_cache.CopyInto(address, answer)) return RequestOutcome::Cached;
    RequestOutcome outcome = RequestOutcome::NoIdleSlot;
    const std::uint64_t digest = FoldedDigest(address);
    if (m_tornDown.load(std::memory_order_acquire)) return outcome;
    if (IsRunningAnywhere(address, digest)) return RequestOutcome::AlreadyRunning;

    for (int index = 0; index < m_slotCount; ++index) {
        WorkerSlot& slot = m_slots[index];
        if (slot.State.load(std::memory_order_acquire) != SlotState::Idle) {
            continue;
        }
        {
            std::lock_guard lock(slot.AddressLock);
            slot.Address.assign(address);
        }
        slot.AddressDigest.store(digest, std::memory_order_relaxed);
        slot.State.store(SlotState::Assigned, std::memory_order_release);
        const bool started =
            m_startThread([self = shared_from_this(), index] { self->WorkerBody(index); });
        if (!started) {
            // No worker will ever free the slot, so it is given back here; the address is
            // asked for again at a later refresh.
            {
                std::lock_guard lock(slot.AddressLock);
                slot.Address.clear();
            }
            slot.AddressDigest.store(0, std::memory_order_relaxed);
            slot.State.store(SlotState::Idle, std::memory_order_release);
        } else {
            outcome = RequestOutcome::Dispatched;
        }
        break;
    }
    return outcome;
}

bool ResolutionEngine::IsRunningAnywhere(std::string_view address, std::uint64_t digest) const {
    for (int index = 0; index < m_slotCount; ++index) {
        const WorkerSlot& slot = m_slots[index];
        if (slot.State.load(std::memory_order_acquire) != SlotState::Running ||
            slot.AddressDigest.load(std::memory_order_relaxed) != digest) {
            continue;
        }
        std::lock_guard lock(slot.AddressLock);
        if (EqualIgnoringAsciiCase(slot.Address, address)) {
            return true;
        }
    }
    return false;
}

void ResolutionEngine::WorkerBody(int index) {
    WorkerSlot& slot = m_slots[index];
    slot.State.store(SlotState::Running, std::memory_order_release);
    const LookupOptions options = m_lookupOptions.load(std::memory_order_relaxed);
    std::string address;
    std::optional<LookupAnswer> stored;
    try {
        {
            std::lock_guard lock(slot.AddressLock);
            address = slot.Address;
        }
        LookupAnswer answer(address, AnswerKind::Error);
        try {
            answer = m_lookup(address, options);
        } catch (...) {
            answer = LookupAnswer(address, AnswerKind::Error);
        }
        // A test's lookup, or a failing one, may hand over anything.
        answer = SettleAnswer(std::move(answer), address);
        // The answer is in the cache before the slot can be handed out again, so the address
        // is never dispatched twice while its worker is finishing.
        m_cache.Insert(address, answer);
        if (m_options.OnAnswer) stored = std::move(answer);
    } catch (...) {
        // Out of memory while copying: the address stays unanswered and is dispatched again.
    }
    {
        std::lock_guard lock(slot.AddressLock);
        slot.Address.clear();
    }
    slot.AddressDigest.store(0, std::memory_order_relaxed);
    if (m_options.RestTime.count() > 0) std::this_thread::sleep_for(m_options.RestTime);
    slot.State.store(SlotState::Idle, std::memory_order_release);
    // Told after the slot is idle, so that the one told can hand it the next address at once.
    if (stored) {
        try {
            m_options.OnAnswer(address, *stored);
        } catch (...) {
        }
    }
}

bool ResolutionEngine::AnyWorkerRunning() const {
    for (int index = 0; index < m_slotCount; ++index) {
        if (m_slots[index].State.load(std::memory_order_acquire) == SlotState::Running) {
            return true;
        }
    }
    return false;
}

SlotState ResolutionEngine::State(int slot) const {
    if (slot < 0 || slot >= m_slotCount) throw std::out_of_range("no such worker slot");
    return m_slots[slot].State.load(std::memory_order_acquire);
}

std::string ResolutionEngine::SlotAddress(int slot) const {
    if (slot < 0 || slot >= m_slotCount) throw std::out_of_range("no such worker slot");
    const WorkerSlot& entry = m_slots[slot];
    std::lock_guard lock(entry.AddressLock);
    return entry.Address;
}

void ResolutionEngine::ClearNameCache() {
    m_cache.Clear();
}

void ResolutionEngine::Teardown() {
    m_tornDown.store(true, std::memory_order_release);
    m_cache.Close();
}

}  // namespace ip2h
