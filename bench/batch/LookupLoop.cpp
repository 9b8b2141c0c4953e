// The plainest parallel reverse lookup, as the yardstick for the batch mode: N threads take the
// next address from a shared counter and call getnameinfo() on it. Prints "address<TAB>name"
// per address in range order; the name is empty when the lookup failed.
//   ip2h_lookup_loop [--threads 96] START END      (dotted quads, both included)
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

bool parseAddress(const char* text, std::uint32_t& address) {
    in_addr parsed{};
    if (inet_pton(AF_INET, text, &parsed) != 1) return false;
    address = ntohl(parsed.s_addr);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int threads = 96;
    int arg = 1;
    if (argc > arg + 1 && std::strcmp(argv[arg], "--threads") == 0) {
        threads = std::atoi(argv[arg + 1]);
        arg += 2;
    }
    std::uint32_t first = 0, last = 0;
    if (argc != arg + 2 || threads < 1 || !parseAddress(argv[arg], first) ||
        !parseAddress(argv[arg + 1], last) || last < first) {
        std::fprintf(stderr, "usage: ip2h_lookup_loop [--threads N] START END\n");
        return 2;
    }

    const std::uint64_t count = std::uint64_t(last) - first + 1;
    std::vector<std::string> names(count);
    std::atomic<std::uint64_t> next{0};
    auto work = [&] {
        // Each index is taken by one thread only, so its slot in names needs no lock.
        for (std::uint64_t i = next++; i < count; i = next++) {
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(std::uint32_t(first + i));
            char host[NI_MAXHOST];
            if (getnameinfo(reinterpret_cast<sockaddr*>(&address), sizeof address, host,
                            sizeof host, nullptr, 0, NI_NAMEREQD) == 0)
                names[i] = host;
        }
    };
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t) pool.emplace_back(work);
    for (auto& thread : pool) thread.join();

    for (std::uint64_t i = 0; i < count; ++i) {
        in_addr address{htonl(std::uint32_t(first + i))};
        char text[INET_ADDRSTRLEN];
        inet_ntop(AF_INET, &address, text, sizeof text);
        std::printf("%s\t%s\n", text, names[i].c_str());
    }
    return 0;
}
