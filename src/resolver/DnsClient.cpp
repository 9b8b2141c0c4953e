#include "resolver/DnsClient.h"

#include <ares.h>
#include <arpa/inet.h>
#include <arpa/nameser.h>
#include <netdb.h>
#include <poll.h>
#include <resolv.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <queue>
#include <thread>
#include <unordered_map>

#include "address/AddressText.h"
#include "resolver/ConcurrencyWindow.h"
#include "resolver/HostsFile.h"
#include "resolver/Iprev.h"
#include "resolver/PtrNames.h"
#include "resolver/ReverseLookup.h"

namespace ip2h {

namespace {

using Clock = std::chrono::steady_clock;

// A query taken for lost is sent again, each time waiting twice as long, until its try's
// timeout: a server that dropped it once may drop the resend too.
constexpr int kMaxBackoffShift = 10;
// c-ares picks a free 16-bit query id for each query, so far fewer than 65,536 may be
// outstanding, those taken for lost included.
constexpr int kMaxOutstanding = 30000;
// Longest a poll waits while queries are outstanding, so that c-ares sees its timeouts.
constexpr std::chrono::milliseconds kTimeoutTick{10};
// Answers of thousands of queries arrive in bursts: the socket must hold them.
constexpr int kReceiveBuffer = 4 << 20;

// The address as the bytes of a reply's records carry it.
std::vector<unsigned char> WireBytes(const IpAddress& address) {
    if (address.IsV6) return {address.V6.begin(), address.V6.end()};
    const std::uint32_t v4 = htonl(address.V4);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&v4);
    return {bytes, bytes + sizeof v4};
}

// The getnameinfo status an Error answer carries, for its description.
int LookupStatusOf(int aresStatus) {
    return aresStatus == ARES_ENOMEM ? EAI_MEMORY : EAI_FAIL;
}

AnswerKind KindOfAresStatus(int status) {
    switch (status) {
        case ARES_SUCCESS:
            return AnswerKind::Name;
        case ARES_ENOTFOUND:
        case ARES_ENODATA:
            return AnswerKind::NoName;
        case ARES_ETIMEOUT:
        case ARES_ESERVFAIL:
        case ARES_EREFUSED:
        case ARES_ECONNREFUSED:
            return AnswerKind::NoAnswer;
        default:
            return AnswerKind::Error;
    }
}

int SocketConfigure(ares_socket_t socket, int type, void*) {
    if (type == SOCK_DGRAM &&
        ::setsockopt(socket, SOL_SOCKET, SO_RCVBUFFORCE, &kReceiveBuffer, sizeof kReceiveBuffer)) {
        ::setsockopt(socket, SOL_SOCKET, SO_RCVBUF, &kReceiveBuffer, sizeof kReceiveBuffer);
    }
    return 0;
}

class AresDnsClient final : public DnsClient {
public:
    explicit AresDnsClient(const DnsClientOptions& options) : m_options(options) {}
    ~AresDnsClient() override {
        Stop();
        if (m_channel != nullptr) ares_destroy(m_channel);
        if (m_wake >= 0) ::close(m_wake);
    }

    bool Open(std::string* error);
    void Start() {
        m_thread = std::thread([this] { Loop(); });
    }

    using DnsClient::Resolve;
    void Resolve(const IpAddress& address, Done done) override {
        bool wake = false;
        {
            std::lock_guard lock(m_requestLock);
            if (m_stopping) return;
            wake = m_requests.empty();
            m_requests.push_back({address, std::move(done)});
        }
        if (wake) Wake();
    }

    void Stop() override {
        {
            std::lock_guard lock(m_requestLock);
            m_stopping = true;
        }
        Wake();
        if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id()) {
            m_thread.join();
        }
    }

    DnsClientStats Stats() const override {
        DnsClientStats stats;
        stats.Queries = m_queries.load(std::memory_order_relaxed);
        stats.Resends = m_resends.load(std::memory_order_relaxed);
        stats.Timeouts = m_timeouts.load(std::memory_order_relaxed);
        stats.PeakInFlight = m_peakInFlight.load(std::memory_order_relaxed);
        return stats;
    }

private:
    struct Request {
        IpAddress Address;
        Done Callback;
    };
    // One question of a lookup: index 0 asks for the PTR names, index i > 0 for the A (or, for
    // an IPv6 address, AAAA) records of name i - 1.
    struct Query {
        int TriesLeft = 0;
        int Try = 0;      // the try under way, counted from 1
        int Resends = 0;  // within the try
        int Live = 0;     // attempts c-ares still holds
        bool NewTry = true;
        bool Queued = false;
        bool Finished = false;
    };
    struct Lookup {
        IpAddress Address;
        Done Callback;
        std::vector<Query> Queries;
        std::vector<std::string> Names;  // as the name service gave them, in a fixed order
        std::unique_ptr<IprevTally> Tally;
        AnswerKind Kind = AnswerKind::NoName;
        int Status = 0;
    };
    struct Attempt {
        std::uint64_t Lookup;
        std::size_t Query;
        Clock::time_point Sent;
        int Try = 0;
        int Backoff = 0;  // the wait before it is taken for lost, as a power of two
        bool FirstOfTry = false;
        bool Lost = false;
    };
    // When an attempt is taken for lost, unless its answer came first.
    using LossDeadline = std::pair<Clock::time_point, std::uint64_t>;
    struct QueryRef {
        std::uint64_t Lookup;
        std::size_t Query;
    };
    struct CallbackArg {
        AresDnsClient* Client;
        std::uint64_t Attempt;
    };

    void Wake() const {
        if (m_wake < 0) return;
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(m_wake, &one, sizeof one);
    }

    void Loop();
    bool TakeRequests();
    void Begin(Request request);
    void StartQuery(std::uint64_t id, Lookup& lookup, std::size_t index, bool urgent);
    void SendWhatFits(Clock::time_point now);
    void Send(const QueryRef& ref, Clock::time_point now);
    void FindLosses(Clock::time_point now);
    void ScheduleLossesAgain();
    void OnAttempt(std::uint64_t attemptId, int status, const unsigned char* reply, int length);
    void OnNames(std::uint64_t id, Lookup& lookup, int status, const unsigned char* reply,
                 int length);
    void OnForward(std::uint64_t id, Lookup& lookup, std::size_t index, ForwardOutcome outcome);
    void AfterNames(std::uint64_t id, Lookup& lookup);
    void Finish(std::uint64_t id);
    Clock::duration NextWait(Clock::time_point now) const;

    static void OnAresAnswer(void* arg, int status, int, unsigned char* reply, int length) {
        const std::unique_ptr<CallbackArg> owned(static_cast<CallbackArg*>(arg));
        owned->Client->OnAttempt(owned->Attempt, status, reply, length);
    }
    static void OnSocketState(void* data, ares_socket_t socket, int readable, int writable) {
        auto& sockets = static_cast<AresDnsClient*>(data)->m_sockets;
        const short events = static_cast<short>((readable ? POLLIN : 0) | (writable ? POLLOUT : 0));
        if (events == 0) {
            sockets.erase(socket);
        } else {
            sockets[socket] = events;
        }
    }

    DnsClientOptions m_options;
    ares_channel m_channel = nullptr;
    int m_wake = -1;
    std::thread m_thread;
    int m_timeoutMs = 5000;
    int m_tries = 1;
    HostsFile m_hosts;

    std::mutex m_requestLock;
    std::vector<Request> m_requests;
    bool m_stopping = false;

    // Counted by the loop thread, read by any.
    std::atomic<std::uint64_t> m_queries{0};
    std::atomic<std::uint64_t> m_resends{0};
    std::atomic<std::uint64_t> m_timeouts{0};
    std::atomic<int> m_peakInFlight{0};

    // The loop thread's alone from here on.
    std::map<ares_socket_t, short> m_sockets;
    std::unordered_map<std::uint64_t, Lookup> m_lookups;
    std::unordered_map<std::uint64_t, Attempt> m_attempts;
    std::deque<QueryRef> m_waiting;
    std::priority_queue<LossDeadline, std::vector<LossDeadline>, std::greater<>> m_lossDeadlines;
    std::uint64_t m_nextLookup = 1;
    std::uint64_t m_nextAttempt = 1;
    int m_inFlight = 0;  // outstanding attempts not taken for lost
    std::unique_ptr<ConcurrencyWindow> m_window;
    double m_tokens = 0;
    Clock::time_point m_tokensAt{};
    bool m_closing = false;
};

bool AresDnsClient::Open(std::string* error) {
    const auto fail = [error](std::string text) {
        if (error != nullptr) *error = std::move(text);
        return false;
    };
    if ((m_options.TimeoutMs && *m_options.TimeoutMs < 1) ||
        (m_options.Retries && *m_options.Retries < 0) || m_options.MaxInFlight < 1 ||
        !(m_options.Rate >= 0) || std::isinf(m_options.Rate)) {
        return fail("the DNS client's options are out of range");
    }
    // The system's timeout and attempts, as the C library reads them from resolv.conf and
    // RES_OPTIONS: c-ares 1.18 knows neither "timeout:" nor "attempts:" and would wait 5 s
    // four times over.
    int systemTimeoutMs = RES_TIMEOUT * 1000;
    int systemTries = RES_DFLRETRY;
    struct __res_state system {};
    if (::res_ninit(&system) == 0) {
        systemTimeoutMs = std::max(1, system.retrans) * 1000;
        systemTries = std::max(1, system.retry);
        ::res_nclose(&system);
    }
    m_timeoutMs = m_options.TimeoutMs.value_or(systemTimeoutMs);
    m_tries = 1 + m_options.Retries.value_or(systemTries - 1);

    // Each c-ares query is one try: the client retries itself, so that it sees every timeout.
    ares_options options{};
    options.timeout = m_timeoutMs;
    options.tries = 1;
    options.sock_state_cb = &OnSocketState;
    options.sock_state_cb_data = this;
    const int mask = ARES_OPT_TIMEOUTMS | ARES_OPT_TRIES | ARES_OPT_SOCK_STATE_CB;
    int status = ares_init_options(&m_channel, &options, mask);
    if (status != ARES_SUCCESS) return fail(ares_strerror(status));
    ares_set_socket_configure_callback(m_channel, &SocketConfigure, nullptr);

    if (!m_options.Servers.empty()) {
        std::vector<ares_addr_port_node> nodes(m_options.Servers.size());
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            const DnsServer& server = m_options.Servers[i];
            ares_addr_port_node& node = nodes[i];
            node.next = i + 1 < nodes.size() ? &nodes[i + 1] : nullptr;
            node.udp_port = node.tcp_port = server.Port;
            if (::inet_pton(AF_INET, server.Address.c_str(), &node.addr.addr4) == 1) {
                node.family = AF_INET;
            } else if (::inet_pton(AF_INET6, server.Address.c_str(), &node.addr.addr6) == 1) {
                node.family = AF_INET6;
            } else {
                return fail("not a DNS server address: " + server.Address);
            }
        }
        status = ares_set_servers_ports(m_channel, nodes.data());
        if (status != ARES_SUCCESS) return fail(ares_strerror(status));
    }
    m_hosts = HostsFile::Read("/etc/hosts");
    m_wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wake < 0) return fail("cannot create an eventfd");
    m_window = std::make_unique<ConcurrencyWindow>(m_options.MaxInFlight,
                                                   std::chrono::milliseconds(m_timeoutMs));
    return true;
}

void AresDnsClient::Loop() {
    std::vector<pollfd> polled;
    while (TakeRequests()) {
        auto now = Clock::now();
        FindLosses(now);
        SendWhatFits(now);
        const auto wait = NextWait(Clock::now());
        polled.clear();
        polled.push_back({m_wake, POLLIN, 0});
        for (const auto& [socket, events] : m_sockets) polled.push_back({socket, events, 0});
        int waitMs = -1;
        if (wait != Clock::duration::max()) {
            waitMs = static_cast<int>(
                std::chrono::ceil<std::chrono::milliseconds>(std::max(wait, Clock::duration{}))
                    .count());
        }
        const int ready = ::poll(polled.data(), polled.size(), waitMs);
        if (ready > 0 && (polled[0].revents & POLLIN) != 0) {
            std::uint64_t count = 0;
            [[maybe_unused]] const auto read = ::read(m_wake, &count, sizeof count);
        }
        bool processed = false;
        for (std::size_t i = 1; ready > 0 && i < polled.size(); ++i) {
            const short revents = polled[i].revents;
            if (revents == 0) continue;
            const bool readable = (revents & (POLLIN | POLLERR | POLLHUP)) != 0;
            const bool writable = (revents & POLLOUT) != 0;
            ares_process_fd(m_channel, readable ? polled[i].fd : ARES_SOCKET_BAD,
                            writable ? polled[i].fd : ARES_SOCKET_BAD);
            processed = true;
        }
        // c-ares also ends queries whose time is up when it is called.
        if (!processed && !m_attempts.empty()) {
            ares_process_fd(m_channel, ARES_SOCKET_BAD, ARES_SOCKET_BAD);
        }
    }
    // Queries still outstanding are cancelled without their callers being told.
    m_closing = true;
    ares_cancel(m_channel);
}

bool AresDnsClient::TakeRequests() {
    std::vector<Request> taken;
    {
        std::lock_guard lock(m_requestLock);
        if (m_stopping) return false;
        taken.swap(m_requests);
    }
    for (auto& request : taken) Begin(std::move(request));
    return true;
}

void AresDnsClient::Begin(Request request) {
    const std::uint64_t id = m_nextLookup++;
    Lookup& lookup = m_lookups[id];
    lookup.Address = request.Address;
    lookup.Callback = std::move(request.Callback);
    // The hosts file comes first, as in the system resolver.
    if (const auto* names = m_hosts.NamesOf(request.Address)) {
        PtrNameList list;
        for (const auto& name : *names) list.Add(name);
        list.Sort();
        lookup.Names = list.Take();
        lookup.Kind = lookup.Names.empty() ? AnswerKind::NoName : AnswerKind::Name;
        AfterNames(id, lookup);
        return;
    }
    StartQuery(id, lookup, 0, false);
}

void AresDnsClient::StartQuery(std::uint64_t id, Lookup& lookup, std::size_t index, bool urgent) {
    if (lookup.Queries.size() <= index) lookup.Queries.resize(index + 1);
    Query& query = lookup.Queries[index];
    query.TriesLeft = m_tries - 1;
    query.Queued = true;
    if (urgent) {
        m_waiting.push_front({id, index});
    } else {
        m_waiting.push_back({id, index});
    }
}

void AresDnsClient::SendWhatFits(Clock::time_point now) {
    if (m_options.Rate > 0) {
        const double capacity = std::max(1.0, m_options.Rate / 100);
        const double elapsed = std::chrono::duration<double>(now - m_tokensAt).count();
        m_tokens = m_tokensAt == Clock::time_point{}
                       ? capacity
                       : std::min(capacity, m_tokens + elapsed * m_options.Rate);
        m_tokensAt = now;
    }
    while (!m_waiting.empty() && m_inFlight < m_window->Limit() &&
           static_cast<int>(m_attempts.size()) < kMaxOutstanding) {
        if (m_options.Rate > 0 && m_tokens < 1) break;
        const QueryRef ref = m_waiting.front();
        m_waiting.pop_front();
        const auto found = m_lookups.find(ref.Lookup);
        if (found == m_lookups.end() || found->second.Queries[ref.Query].Finished) continue;
        found->second.Queries[ref.Query].Queued = false;
        if (m_options.Rate > 0) m_tokens -= 1;
        Send(ref, now);
    }
}

void AresDnsClient::Send(const QueryRef& ref, Clock::time_point now) {
    Lookup& lookup = m_lookups.at(ref.Lookup);
    Query& query = lookup.Queries[ref.Query];
    const std::uint64_t attemptId = m_nextAttempt++;
    Attempt attempt{ref.Lookup, ref.Query, now};
    if (query.NewTry) {
        query.NewTry = false;
        query.Resends = 0;
        ++query.Try;
        attempt.FirstOfTry = true;
    }
    attempt.Try = query.Try;
    attempt.Backoff = std::min(query.Resends, kMaxBackoffShift);
    m_attempts.emplace(attemptId, attempt);
    m_lossDeadlines.emplace(now + m_window->RetransmitAfter() * (1 << attempt.Backoff), attemptId);
    ++query.Live;
    ++m_inFlight;
    m_queries.fetch_add(1, std::memory_order_relaxed);
    if (m_inFlight > m_peakInFlight.load(std::memory_order_relaxed)) {
        m_peakInFlight.store(m_inFlight, std::memory_order_relaxed);
    }
    const std::string name =
        ref.Query == 0 ? ReverseQueryName(lookup.Address) : lookup.Names[ref.Query - 1];
    const int type = ref.Query == 0 ? ns_t_ptr : lookup.Address.IsV6 ? ns_t_aaaa : ns_t_a;
    // May call back at once (a name it cannot send, say): nothing of `lookup` is used after.
    ares_query(m_channel, name.c_str(), ns_c_in, type, &OnAresAnswer,
               new CallbackArg{this, attemptId});
}

void AresDnsClient::FindLosses(Clock::time_point now) {
    while (!m_lossDeadlines.empty() && m_lossDeadlines.top().first <= now) {
        const std::uint64_t attemptId = m_lossDeadlines.top().second;
        m_lossDeadlines.pop();
        const auto found = m_attempts.find(attemptId);
        if (found == m_attempts.end()) continue;
        Attempt& attempt = found->second;
        attempt.Lost = true;
        --m_inFlight;
        m_window->OnLoss(attempt.Sent, now);
        const auto lookup = m_lookups.find(attempt.Lookup);
        if (lookup == m_lookups.end()) continue;
        Query& query = lookup->second.Queries[attempt.Query];
        if (query.Finished || query.Queued || query.NewTry || attempt.Try != query.Try) continue;
        ++query.Resends;
        query.Queued = true;
        m_waiting.push_front({attempt.Lookup, attempt.Query});
        m_resends.fetch_add(1, std::memory_order_relaxed);
    }
}

void AresDnsClient::ScheduleLossesAgain() {
    // The first round trip measured replaces the guess the first attempts were sent with.
    m_lossDeadlines = {};
    const auto after = m_window->RetransmitAfter();
    for (const auto& [id, attempt] : m_attempts) {
        if (!attempt.Lost)
            m_lossDeadlines.emplace(attempt.Sent + after * (1 << attempt.Backoff), id);
    }
}

void AresDnsClient::OnAttempt(std::uint64_t attemptId, int status, const unsigned char* reply,
                              int length) {
    const auto found = m_attempts.find(attemptId);
    if (found == m_attempts.end()) return;
    const Attempt attempt = found->second;
    m_attempts.erase(found);
    if (!attempt.Lost) --m_inFlight;
    if (m_closing || status == ARES_EDESTRUCTION || status == ARES_ECANCELLED) return;

    const bool timedOut = status == ARES_ETIMEOUT;
    if (timedOut) {
        if (!attempt.Lost) m_window->OnLoss(attempt.Sent, Clock::now());
        m_timeouts.fetch_add(1, std::memory_order_relaxed);
    } else if (attempt.Lost) {
        m_window->OnLateAnswer();
    } else {
        const bool measured = m_window->Measured();
        m_window->OnAnswer(attempt.Sent, Clock::now(), !m_waiting.empty());
        if (!measured) ScheduleLossesAgain();
    }

    const auto owner = m_lookups.find(attempt.Lookup);
    if (owner == m_lookups.end()) return;
    Lookup& lookup = owner->second;
    Query& query = lookup.Queries[attempt.Query];
    --query.Live;
    if (query.Finished) return;
    if (timedOut) {
        // A try lasts as long as its first attempt; a resend's answer may still come meanwhile.
        if (!attempt.FirstOfTry || attempt.Try != query.Try || query.NewTry) return;
        if (query.TriesLeft > 0) {
            --query.TriesLeft;
            query.NewTry = true;
            if (!query.Queued) {
                query.Queued = true;
                m_waiting.push_back({attempt.Lookup, attempt.Query});
            }
            return;
        }
    }
    query.Finished = true;
    if (attempt.Query == 0) {
        OnNames(attempt.Lookup, lookup, status, reply, length);
        return;
    }
    ForwardOutcome outcome = ForwardOutcome::NoAnswer;
    if (status == ARES_ENOTFOUND || status == ARES_ENODATA)
        outcome = ForwardOutcome::LeadsElsewhere;
    if (status == ARES_SUCCESS) {
        outcome = ForwardOutcome::LeadsElsewhere;
        hostent* host = nullptr;
        const int parsed = lookup.Address.IsV6
                               ? ares_parse_aaaa_reply(reply, length, &host, nullptr, nullptr)
                               : ares_parse_a_reply(reply, length, &host, nullptr, nullptr);
        if (parsed == ARES_SUCCESS) {
            const std::vector<unsigned char> wanted = WireBytes(lookup.Address);
            for (char** entry = host->h_addr_list; entry != nullptr && *entry != nullptr; ++entry) {
                if (static_cast<std::size_t>(host->h_length) == wanted.size() &&
                    std::memcmp(*entry, wanted.data(), wanted.size()) == 0) {
                    outcome = ForwardOutcome::LeadsBack;
                }
            }
        }
        if (host != nullptr) ares_free_hostent(host);
    }
    OnForward(attempt.Lookup, lookup, attempt.Query - 1, outcome);
}

void AresDnsClient::OnNames(std::uint64_t id, Lookup& lookup, int status,
                            const unsigned char* reply, int length) {
    lookup.Kind = KindOfAresStatus(status);
    if (lookup.Kind == AnswerKind::Error) lookup.Status = LookupStatusOf(status);
    if (status == ARES_SUCCESS) {
        hostent* host = nullptr;
        const std::vector<unsigned char> address = WireBytes(lookup.Address);
        const int parsed =
            ares_parse_ptr_reply(reply, length, address.data(), static_cast<int>(address.size()),
                                 lookup.Address.IsV6 ? AF_INET6 : AF_INET, &host);
        PtrNameList list;
        if (parsed == ARES_SUCCESS && host != nullptr) {
            if (host->h_name != nullptr) list.Add(host->h_name);
            for (char** alias = host->h_aliases; alias != nullptr && *alias != nullptr; ++alias) {
                list.Add(*alias);
            }
        }
        if (host != nullptr) ares_free_hostent(host);
        list.Sort();
        lookup.Names = list.Take();
        if (parsed != ARES_SUCCESS && parsed != ARES_ENODATA) {
            lookup.Kind = AnswerKind::Error;
            lookup.Status = LookupStatusOf(parsed);
        } else if (lookup.Names.empty()) {
            lookup.Kind = AnswerKind::NoName;
        }
    }
    AfterNames(id, lookup);
}

void AresDnsClient::AfterNames(std::uint64_t id, Lookup& lookup) {
    if (lookup.Kind != AnswerKind::Name || !m_options.Confirm) {
        Finish(id);
        return;
    }
    lookup.Tally = std::make_unique<IprevTally>(lookup.Names.size());
    lookup.Queries.resize(lookup.Names.size() + 1);
    const std::size_t count = lookup.Names.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (const auto* addresses = m_hosts.AddressesOf(lookup.Names[i])) {
            const bool back = std::ranges::find(*addresses, lookup.Address) != addresses->end();
            lookup.Queries[i + 1].Finished = true;
            lookup.Tally->Add(i, back ? ForwardOutcome::LeadsBack : ForwardOutcome::LeadsElsewhere);
        } else {
            // Ahead of new lookups: they finish a lookup already begun.
            StartQuery(id, lookup, i + 1, true);
        }
    }
    if (lookup.Tally->Decided()) Finish(id);
}

void AresDnsClient::OnForward(std::uint64_t id, Lookup& lookup, std::size_t index,
                              ForwardOutcome outcome) {
    lookup.Tally->Add(index, outcome);
    if (lookup.Tally->Decided()) Finish(id);
}

void AresDnsClient::Finish(std::uint64_t id) {
    const auto found = m_lookups.find(id);
    if (found == m_lookups.end()) return;
    Lookup lookup = std::move(found->second);
    m_lookups.erase(found);
    const std::string address = FormatIpAddress(lookup.Address);
    LookupAnswer answer(address, lookup.Kind);
    answer.ErrorCode = lookup.Status;
    if (lookup.Kind == AnswerKind::Name) {
        for (const auto& name : lookup.Names) answer.Names.push_back(MendAnswer(name, address));
        answer.Text = answer.Names.front();
        if (lookup.Tally) {
            answer.Confirmed = lookup.Tally->Result();
            if (lookup.Tally->HasConfirmingName() && lookup.Tally->ConfirmingName() > 0) {
                answer.ConfirmingName = answer.Names[lookup.Tally->ConfirmingName()];
            }
        }
    }
    try {
        if (lookup.Callback) lookup.Callback(SettleAnswer(std::move(answer), address));
    } catch (...) {
        // The caller's failure is its own; the loop goes on.
    }
}

Clock::duration AresDnsClient::NextWait(Clock::time_point now) const {
    Clock::duration wait = Clock::duration::max();
    if (!m_attempts.empty()) wait = kTimeoutTick;
    if (!m_lossDeadlines.empty()) wait = std::min(wait, m_lossDeadlines.top().first - now);
    if (!m_waiting.empty() && m_options.Rate > 0 && m_tokens < 1) {
        wait = std::min(wait, std::chrono::duration_cast<Clock::duration>(
                                  std::chrono::duration<double>((1 - m_tokens) / m_options.Rate)));
    }
    return wait;
}

}  // namespace

std::unique_ptr<DnsClient> DnsClient::Create(const DnsClientOptions& options, std::string* error) {
    static const int initialised = ares_library_init(ARES_LIB_INIT_ALL);
    if (initialised != ARES_SUCCESS) {
        if (error != nullptr) *error = ares_strerror(initialised);
        return nullptr;
    }
    auto client = std::make_unique<AresDnsClient>(options);
    if (!client->Open(error)) return nullptr;
    client->Start();
    return client;
}

}  // namespace ip2h
