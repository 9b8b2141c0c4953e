// A UDP DNS server that holds every answer for a fixed delay, so that a reverse lookup of many
// addresses is as slow as it is against a distant server and only parallel lookups finish fast.
// It knows one zone, 10.77.0.0/16: 10.77.c.d is host-10-77-c-d.bench.example, both ways.
// Every other name is NXDOMAIN.
// --jitter-ms J adds 0..J ms to each delay, at random, so that answers arrive out of order;
// --drop-above N drops every query that arrives while N answers are waiting, as a server with
// a small queue drops bursts.
//   ip2h_delaying_dns [--port 53] [--address 127.0.0.1] [--delay-ms 200] [--jitter-ms 0]
//                     [--drop-above 0 (none)]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <queue>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t typeA = 1;
constexpr std::uint16_t typePtr = 12;
constexpr std::uint16_t classIn = 1;
constexpr std::uint8_t rcodeNxDomain = 3;
const std::string zoneSuffix = ".bench.example";

struct Reply {
    Clock::time_point due;
    sockaddr_in peer;
    Bytes packet;
};

struct LaterDue {
    bool operator()(const Reply& a, const Reply& b) const { return a.due > b.due; }
};

// The replies in due order.
class ReplyQueue {
public:
    // False, keeping nothing, when `limit` (0: none) replies are waiting already.
    bool push(Reply reply, std::size_t limit) {
        {
            std::lock_guard lock(mutex_);
            if (limit > 0 && replies_.size() >= limit) return false;
            replies_.push(std::move(reply));
        }
        ready_.notify_one();
        return true;
    }

    Reply popWhenDue() {
        std::unique_lock lock(mutex_);
        while (true) {
            ready_.wait(lock, [this] { return !replies_.empty(); });
            // A reply pushed meanwhile may be due earlier: wake for it too.
            const auto due = replies_.top().due;
            if (ready_.wait_until(lock, due, [&] { return replies_.top().due < due; })) continue;
            if (Clock::now() < replies_.top().due) continue;
            Reply reply = replies_.top();
            replies_.pop();
            return reply;
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::priority_queue<Reply, std::vector<Reply>, LaterDue> replies_;
};

std::optional<int> octet(const std::string& text) {
    if (text.empty() || text.size() > 3 || (text.size() > 1 && text[0] == '0')) return {};
    if (!std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return {};
    int value = std::stoi(text);
    return value <= 255 ? std::optional<int>(value) : std::nullopt;
}

std::string hostName(int c, int d) {
    return "host-10-77-" + std::to_string(c) + "-" + std::to_string(d) + zoneSuffix;
}

// "d.c.10.77.in-addr.arpa" (labels lower-cased) to the host name of 10.77.c.d.
std::optional<std::string> nameForReverse(const std::vector<std::string>& labels) {
    if (labels.size() != 6 || labels[4] != "in-addr" || labels[5] != "arpa") return {};
    auto d = octet(labels[0]), c = octet(labels[1]), b = octet(labels[2]), a = octet(labels[3]);
    if (!d || !c || !b || !a || *a != 10 || *b != 77) return {};
    return hostName(*c, *d);
}

// "host-10-77-c-d.bench.example" to the address 10.77.c.d.
std::optional<in_addr> addressForName(const std::string& name) {
    int c = 0, d = 0, end = 0;
    if (std::sscanf(name.c_str(), "host-10-77-%d-%d%n", &c, &d, &end) != 2) return {};
    if (c < 0 || c > 255 || d < 0 || d > 255 || name != hostName(c, d)) return {};
    in_addr address{htonl((10u << 24) | (77u << 16) | (unsigned(c) << 8) | unsigned(d))};
    return address;
}

void putU16(Bytes& out, std::uint16_t value) {
    out.push_back(std::uint8_t(value >> 8));
    out.push_back(std::uint8_t(value));
}

void putName(Bytes& out, const std::string& name) {
    std::size_t start = 0;
    while (start < name.size()) {
        std::size_t dot = std::min(name.find('.', start), name.size());
        out.push_back(std::uint8_t(dot - start));
        out.insert(out.end(), name.begin() + start, name.begin() + dot);
        start = dot + 1;
    }
    out.push_back(0);
}

// The reply to one query, or nothing for a packet that is not a plain query with one question.
std::optional<Bytes> answer(const std::uint8_t* query, std::size_t size) {
    if (size < 12) return {};
    bool isResponse = query[2] & 0x80;
    int opcode = (query[2] >> 3) & 0x0F;
    int questions = (query[4] << 8) | query[5];
    if (isResponse || opcode != 0 || questions != 1) return {};

    std::vector<std::string> labels;
    std::string name;
    std::size_t at = 12;
    while (true) {
        if (at >= size) return {};
        std::size_t length = query[at++];
        if (length == 0) break;
        // A compression pointer or an over-long label does not belong in a question.
        if (length > 63 || at + length > size || name.size() + length + 1 > 254) return {};
        std::string label(query + at, query + at + length);
        std::transform(label.begin(), label.end(), label.begin(),
                       [](unsigned char ch) { return std::tolower(ch); });
        name += (name.empty() ? "" : ".") + label;
        labels.push_back(std::move(label));
        at += length;
    }
    if (at + 4 > size) return {};
    std::uint16_t type = (query[at] << 8) | query[at + 1];
    std::uint16_t klass = (query[at + 2] << 8) | query[at + 3];
    std::size_t questionEnd = at + 4;  // EDNS and anything else after the question is ignored

    Bytes rdata;
    bool exists = false;
    if (auto host = nameForReverse(labels)) {
        exists = true;
        if (type == typePtr && klass == classIn) putName(rdata, *host);
    } else if (auto address = addressForName(name)) {
        exists = true;
        if (type == typeA && klass == classIn) {
            auto* bytes = reinterpret_cast<const std::uint8_t*>(&address->s_addr);
            rdata.assign(bytes, bytes + 4);
        }
    }

    // The question is echoed as it came, letter case included.
    Bytes reply(query, query + questionEnd);
    reply[2] = 0x80 | 0x04 | (query[2] & 0x01);      // QR, AA, RD as asked
    reply[3] = 0x80 | (exists ? 0 : rcodeNxDomain);  // RA
    reply[6] = 0;
    reply[7] = rdata.empty() ? 0 : 1;
    std::fill(reply.begin() + 8, reply.begin() + 12, 0);
    if (!rdata.empty()) {
        putU16(reply, 0xC00C);  // the name of the question
        putU16(reply, type);
        putU16(reply, classIn);
        putU16(reply, 0);
        putU16(reply, 60);  // TTL
        putU16(reply, std::uint16_t(rdata.size()));
        reply.insert(reply.end(), rdata.begin(), rdata.end());
    }
    return reply;
}

[[noreturn]] void usage() {
    std::fprintf(stderr,
                 "usage: ip2h_delaying_dns [--port N] [--address A] [--delay-ms N] "
                 "[--jitter-ms N] [--drop-above N]\n");
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    int port = 53;
    std::string address = "127.0.0.1";
    int delayMs = 200;
    int jitterMs = 0;
    std::size_t dropAbove = 0;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (i + 1 >= argc) usage();
        std::string value = argv[++i];
        if (option == "--port")
            port = std::atoi(value.c_str());
        else if (option == "--address")
            address = value;
        else if (option == "--delay-ms")
            delayMs = std::atoi(value.c_str());
        else if (option == "--jitter-ms")
            jitterMs = std::atoi(value.c_str());
        else if (option == "--drop-above")
            dropAbove = std::size_t(std::atoi(value.c_str()));
        else
            usage();
    }

    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(std::uint16_t(port));
    if (fd < 0 || inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1 ||
        bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        std::perror("ip2h_delaying_dns: bind");
        return 1;
    }
    // A burst of hundreds of queries must wait in the socket, not be dropped; root may go past
    // the system's limit.
    int buffer = 8 << 20;
    if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &buffer, sizeof buffer) != 0)
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);

    ReplyQueue queue;
    std::thread sender([&] {
        while (true) {
            Reply reply = queue.popWhenDue();
            sendto(fd, reply.packet.data(), reply.packet.size(), 0,
                   reinterpret_cast<const sockaddr*>(&reply.peer), sizeof reply.peer);
        }
    });

    const auto delay = std::chrono::milliseconds(delayMs);
    std::minstd_rand random(1);
    std::uniform_int_distribution<int> jitter(0, std::max(0, jitterMs) * 1000);
    // Answers at once, with nothing to drop, go straight back: no thread hand-off per reply.
    const bool direct = delayMs <= 0 && jitterMs <= 0 && dropAbove == 0;
    std::uint8_t packet[4096];
    while (true) {
        sockaddr_in peer{};
        socklen_t peerSize = sizeof peer;
        ssize_t size =
            recvfrom(fd, packet, sizeof packet, 0, reinterpret_cast<sockaddr*>(&peer), &peerSize);
        if (size < 0) continue;
        auto arrived = Clock::now();
        auto reply = answer(packet, std::size_t(size));
        if (!reply) continue;
        if (direct) {
            sendto(fd, reply->data(), reply->size(), 0, reinterpret_cast<const sockaddr*>(&peer),
                   sizeof peer);
            continue;
        }
        const auto due = arrived + delay + std::chrono::microseconds(jitter(random));
        queue.push({due, peer, std::move(*reply)}, dropAbove);
    }
}
