#include "resolver/NetbiosNodeStatus.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <random>

namespace ip2h {
namespace {

constexpr std::uint16_t kTypeNbstat = 0x0021;
constexpr std::uint16_t kClassInternet = 0x0001;
constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kNameEntrySize = 18;  // 15 name bytes, suffix, 2 flag bytes
constexpr std::size_t kNetbiosNameSize = 15;

std::uint16_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t pos) {
    return static_cast<std::uint16_t>((bytes[pos] << 8) | bytes[pos + 1]);
}

// Advances `pos` past an encoded name (labels, or a compression pointer, which is not
// followed: the name itself is not needed). False when the name runs past the packet.
bool SkipName(std::span<const std::uint8_t> packet, std::size_t& pos) {
    for (std::size_t total = 0; total <= 255;) {
        if (pos >= packet.size()) {
            return false;
        }
        const std::uint8_t length = packet[pos];
        if ((length & 0xC0) == 0xC0) {
            if (pos + 2 > packet.size()) {
                return false;
            }
            pos += 2;
            return true;
        }
        if ((length & 0xC0) != 0) {
            return false;
        }
        ++pos;
        if (length == 0) {
            return true;
        }
        pos += length;
        total += length + 1u;
    }
    return false;
}

class SocketHandle {
public:
    explicit SocketHandle(int fd) : m_fd(fd) {}
    SocketHandle(const SocketHandle&) = delete;
    SocketHandle& operator=(const SocketHandle&) = delete;
    ~SocketHandle() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    int Get() const { return m_fd; }

private:
    int m_fd;
};

std::uint16_t NewTransactionId() {
    // Unpredictable ids, so that a stray or forged datagram is unlikely to be taken as the
    // answer; a counter keeps concurrent queries apart should the random source fail.
    static std::atomic<std::uint16_t> counter{0};
    std::uint16_t id = counter.fetch_add(1, std::memory_order_relaxed);
    try {
        std::random_device random;
        id = static_cast<std::uint16_t>(id ^ random());
    } catch (...) {
    }
    return id;
}

bool IsFinalSocketError(int error) {
    return error != EINTR && error != EAGAIN && error != EWOULDBLOCK;
}

std::optional<std::string> DefaultNodeStatusQuery(in_addr target) {
    return QueryNodeStatus(target);
}

std::atomic<NodeStatusQueryFunction> g_nodeStatusQuery{nullptr};

}  // namespace

std::array<std::uint8_t, kNodeStatusRequestSize> BuildNodeStatusRequest(
    std::uint16_t transactionId) {
    std::array<std::uint8_t, kNodeStatusRequestSize> request{};
    request[0] = static_cast<std::uint8_t>(transactionId >> 8);
    request[1] = static_cast<std::uint8_t>(transactionId);
    // Flags 0: a unicast query. One question, nothing else.
    request[5] = 1;
    // The wildcard name "*" padded with NULs to 16 bytes, each byte split into two nibbles
    // written as 'A' + nibble; no scope.
    std::size_t pos = kHeaderSize;
    request[pos++] = 32;
    for (std::size_t i = 0; i < 16; ++i) {
        const std::uint8_t byte = i == 0 ? '*' : 0;
        request[pos++] = static_cast<std::uint8_t>('A' + (byte >> 4));
        request[pos++] = static_cast<std::uint8_t>('A' + (byte & 0x0F));
    }
    request[pos++] = 0;
    request[pos++] = static_cast<std::uint8_t>(kTypeNbstat >> 8);
    request[pos++] = static_cast<std::uint8_t>(kTypeNbstat);
    request[pos++] = static_cast<std::uint8_t>(kClassInternet >> 8);
    request[pos++] = static_cast<std::uint8_t>(kClassInternet);
    return request;
}

std::optional<NodeStatusReply> ParseNodeStatusReply(std::span<const std::uint8_t> packet) {
    if (packet.size() < kHeaderSize) {
        return std::nullopt;
    }
    const std::uint16_t flags = ReadU16(packet, 2);
    const bool isResponse = (flags & 0x8000) != 0;
    const unsigned opcode = (flags >> 11) & 0x0F;
    const unsigned rcode = flags & 0x0F;
    if (!isResponse || opcode != 0 || rcode != 0) {
        return std::nullopt;
    }
    const std::uint16_t questions = ReadU16(packet, 4);
    const std::uint16_t answers = ReadU16(packet, 6);
    if (answers == 0) {
        return std::nullopt;
    }

    std::size_t pos = kHeaderSize;
    for (unsigned i = 0; i < questions; ++i) {
        if (!SkipName(packet, pos) || pos + 4 > packet.size()) {
            return std::nullopt;
        }
        pos += 4;
    }
    if (!SkipName(packet, pos) || pos + 10 > packet.size()) {
        return std::nullopt;
    }
    const std::uint16_t type = ReadU16(packet, pos);
    const std::uint16_t klass = ReadU16(packet, pos + 2);
    const std::uint16_t dataLength = ReadU16(packet, pos + 8);
    pos += 10;
    if (type != kTypeNbstat || klass != kClassInternet || dataLength < 1 ||
        pos + dataLength > packet.size()) {
        return std::nullopt;
    }
    const auto data = packet.subspan(pos, dataLength);
    const std::size_t count = data[0];
    if (1 + count * kNameEntrySize > data.size()) {
        return std::nullopt;
    }

    NodeStatusReply reply;
    reply.TransactionId = ReadU16(packet, 0);
    reply.Names.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto entry = data.subspan(1 + i * kNameEntrySize, kNameEntrySize);
        std::size_t length = kNetbiosNameSize;
        while (length > 0 && (entry[length - 1] == ' ' || entry[length - 1] == '\0')) {
            --length;
        }
        NetbiosName name;
        name.Name.assign(reinterpret_cast<const char*>(entry.data()), length);
        name.Suffix = entry[kNetbiosNameSize];
        name.Group = (ReadU16(entry, kNetbiosNameSize + 1) & 0x8000) != 0;
        reply.Names.push_back(std::move(name));
    }
    return reply;
}

std::optional<std::string> WorkstationName(const NodeStatusReply& reply) {
    for (const auto& name : reply.Names) {
        if (name.Suffix == 0x00 && !name.Group && !name.Name.empty()) {
            return name.Name;
        }
    }
    return std::nullopt;
}

std::optional<std::string> QueryNodeStatus(in_addr target, std::uint16_t port) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto deadline = start + NodeStatusBudget;

    SocketHandle socket(::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (socket.Get() < 0) {
        return std::nullopt;
    }
    // Connected, so that only datagrams from the target's port arrive, and an ICMP "port
    // unreachable" ends the wait at once instead of after the whole budget.
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr = target;
    if (::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        return std::nullopt;
    }

    const std::uint16_t id = NewTransactionId();
    const auto request = BuildNodeStatusRequest(id);
    // Large enough for a table of 255 names and the statistics after it.
    std::array<std::uint8_t, 8192> buffer;
    auto nextSend = start;
    for (;;) {
        auto now = Clock::now();
        if (now >= deadline) {
            return std::nullopt;
        }
        if (now >= nextSend) {
            if (::send(socket.Get(), request.data(), request.size(), MSG_NOSIGNAL) < 0 &&
                IsFinalSocketError(errno)) {
                return std::nullopt;
            }
            nextSend = now + NodeStatusRetryInterval;
        }
        const auto wakeUp = nextSend < deadline ? nextSend : deadline;
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(wakeUp - now);
        pollfd waiting{socket.Get(), POLLIN, 0};
        const int ready = ::poll(&waiting, 1, static_cast<int>(wait.count()));
        if (ready < 0 && errno != EINTR) {
            return std::nullopt;
        }
        if (ready <= 0) {
            continue;
        }
        for (;;) {
            const ssize_t received = ::recv(socket.Get(), buffer.data(), buffer.size(), 0);
            if (received < 0) {
                if (errno == EINTR) {
                    continue;
                }
                if (IsFinalSocketError(errno)) {
                    return std::nullopt;
                }
                break;
            }
            const auto reply = ParseNodeStatusReply(
                std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(received)));
            if (reply && reply->TransactionId == id) {
                return WorkstationName(*reply);
            }
        }
    }
}

NodeStatusQueryFunction NodeStatusQuery() {
    const auto query = g_nodeStatusQuery.load(std::memory_order_acquire);
    return query != nullptr ? query : &DefaultNodeStatusQuery;
}

void SetNodeStatusQuery(NodeStatusQueryFunction query) {
    g_nodeStatusQuery.store(query, std::memory_order_release);
}

}  // namespace ip2h
