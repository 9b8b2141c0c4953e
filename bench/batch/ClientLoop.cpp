// The resolver layer's asynchronous client on its own, as the batch mode drives it: every
// address of a range is handed to it at once, and the answers are printed in range order as
// "address<TAB>name" (the name empty when there is none). The client's counts go to standard
// error.
//   ip2h_client_loop [--jobs N] [--server ADDR[:PORT]] [--timeout MS] [--retries N]
//                    [--confirm] START END      (dotted quads, both included)
#include <arpa/inet.h>

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "resolver/DnsClient.h"

namespace {

bool ParseAddress(const char* text, std::uint32_t& address) {
    in_addr parsed{};
    if (::inet_pton(AF_INET, text, &parsed) != 1) return false;
    address = ntohl(parsed.s_addr);
    return true;
}

[[noreturn]] void Usage() {
    std::fprintf(stderr,
                 "usage: ip2h_client_loop [--jobs N] [--server ADDR[:PORT]] [--timeout MS] "
                 "[--retries N] [--confirm] START END\n");
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    ip2h::DnsClientOptions options;
    std::vector<const char*> bounds;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--jobs" && hasValue) {
            options.MaxInFlight = std::atoi(argv[++i]);
        } else if (option == "--server" && hasValue) {
            const auto server = ip2h::ParseDnsServer(argv[++i]);
            if (!server) Usage();
            options.Servers.push_back(*server);
        } else if (option == "--timeout" && hasValue) {
            options.TimeoutMs = std::atoi(argv[++i]);
        } else if (option == "--retries" && hasValue) {
            options.Retries = std::atoi(argv[++i]);
        } else if (option == "--confirm") {
            options.Confirm = true;
        } else {
            bounds.push_back(argv[i]);
        }
    }
    std::uint32_t first = 0, last = 0;
    if (bounds.size() != 2 || !ParseAddress(bounds[0], first) || !ParseAddress(bounds[1], last) ||
        last < first) {
        Usage();
    }
    std::string error;
    const auto client = ip2h::DnsClient::Create(options, &error);
    if (!client) {
        std::fprintf(stderr, "ip2h_client_loop: %s\n", error.c_str());
        return 1;
    }
    const std::uint64_t count = std::uint64_t(last) - first + 1;
    std::vector<ip2h::LookupAnswer> answers(count, ip2h::LookupAnswer(""));
    std::mutex lock;
    std::condition_variable finished;
    std::uint64_t left = count;
    for (std::uint64_t i = 0; i < count; ++i) {
        client->Resolve(std::uint32_t(first + i), [&, i](ip2h::LookupAnswer answer) {
            std::lock_guard guard(lock);
            answers[i] = std::move(answer);
            if (--left == 0) finished.notify_one();
        });
    }
    {
        std::unique_lock guard(lock);
        finished.wait(guard, [&] { return left == 0; });
    }
    const ip2h::DnsClientStats stats = client->Stats();
    client->Stop();
    for (std::uint64_t i = 0; i < count; ++i) {
        in_addr address{htonl(std::uint32_t(first + i))};
        char text[INET_ADDRSTRLEN];
        ::inet_ntop(AF_INET, &address, text, sizeof text);
        const auto& answer = answers[i];
        const bool named = answer.Kind == ip2h::AnswerKind::Name;
        std::printf("%s\t%s\t%s\t%s\n", text, named ? answer.Text.c_str() : "",
                    std::string(ip2h::AnswerKindWord(answer.Kind)).c_str(),
                    std::string(ip2h::ConfirmationWord(answer.Confirmed)).c_str());
    }
    std::fprintf(stderr, "queries %llu, resent early %llu, timeouts %llu, most in flight %d\n",
                 static_cast<unsigned long long>(stats.Queries),
                 static_cast<unsigned long long>(stats.Resends),
                 static_cast<unsigned long long>(stats.Timeouts), stats.PeakInFlight);
    return 0;
}
