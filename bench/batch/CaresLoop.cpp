// The plainest c-ares reverse lookup, as the floor for the batch mode: a fixed number of PTR
// queries in flight (the next one starts as each ends), c-ares's own retries and the system's
// resolver configuration. Prints "address<TAB>name" per address in range order; the name is
// empty when the lookup failed.
//   ip2h_cares_loop [--in-flight 100] START END      (dotted quads, both included)
#include <ares.h>
#include <arpa/inet.h>
#include <arpa/nameser.h>
#include <netdb.h>
#include <sys/select.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Run {
    ares_channel channel = nullptr;
    std::uint32_t first = 0;
    std::uint64_t count = 0;
    std::uint64_t next = 0;
    std::vector<std::string> names;
};

struct Ask {
    Run* run;
    std::uint64_t index;
};

bool parseAddress(const char* text, std::uint32_t& address) {
    in_addr parsed{};
    if (inet_pton(AF_INET, text, &parsed) != 1) return false;
    address = ntohl(parsed.s_addr);
    return true;
}

void startNext(Run& run);

void answered(void* arg, int status, int, unsigned char* reply, int length) {
    Ask* ask = static_cast<Ask*>(arg);
    Run& run = *ask->run;
    if (status == ARES_SUCCESS) {
        std::uint32_t address = htonl(std::uint32_t(run.first + ask->index));
        hostent* host = nullptr;
        if (ares_parse_ptr_reply(reply, length, &address, sizeof address, AF_INET, &host) ==
                ARES_SUCCESS &&
            host != nullptr && host->h_name != nullptr) {
            run.names[ask->index] = host->h_name;
        }
        if (host != nullptr) ares_free_hostent(host);
    }
    delete ask;
    if (status != ARES_EDESTRUCTION) startNext(run);
}

void startNext(Run& run) {
    if (run.next >= run.count) return;
    const std::uint64_t index = run.next++;
    const std::uint32_t address = run.first + std::uint32_t(index);
    const std::string name =
        std::to_string(address & 255) + "." + std::to_string(address >> 8 & 255) + "." +
        std::to_string(address >> 16 & 255) + "." + std::to_string(address >> 24) + ".in-addr.arpa";
    ares_query(run.channel, name.c_str(), ns_c_in, ns_t_ptr, &answered, new Ask{&run, index});
}

}  // namespace

int main(int argc, char** argv) {
    int inFlight = 100;
    int arg = 1;
    if (argc > arg + 1 && std::strcmp(argv[arg], "--in-flight") == 0) {
        inFlight = std::atoi(argv[arg + 1]);
        arg += 2;
    }
    Run run;
    std::uint32_t last = 0;
    if (argc != arg + 2 || inFlight < 1 || !parseAddress(argv[arg], run.first) ||
        !parseAddress(argv[arg + 1], last) || last < run.first) {
        std::fprintf(stderr, "usage: ip2h_cares_loop [--in-flight N] START END\n");
        return 2;
    }
    run.count = std::uint64_t(last) - run.first + 1;
    run.names.resize(run.count);
    if (ares_library_init(ARES_LIB_INIT_ALL) != ARES_SUCCESS || ares_init(&run.channel) != 0) {
        std::fprintf(stderr, "ip2h_cares_loop: cannot start c-ares\n");
        return 1;
    }
    for (int i = 0; i < inFlight; ++i) startNext(run);
    while (true) {
        fd_set readers, writers;
        FD_ZERO(&readers);
        FD_ZERO(&writers);
        const int fds = ares_fds(run.channel, &readers, &writers);
        if (fds == 0) break;
        timeval wait{};
        timeval* timeout = ares_timeout(run.channel, nullptr, &wait);
        select(fds, &readers, &writers, nullptr, timeout);
        ares_process(run.channel, &readers, &writers);
    }
    ares_destroy(run.channel);
    for (std::uint64_t i = 0; i < run.count; ++i) {
        in_addr address{htonl(std::uint32_t(run.first + i))};
        char text[INET_ADDRSTRLEN];
        inet_ntop(AF_INET, &address, text, sizeof text);
        std::printf("%s\t%s\n", text, run.names[i].c_str());
    }
    return 0;
}
