#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netdb.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "resolver/NetbiosNodeStatus.h"
#include "resolver/ReverseLookup.h"

namespace ip2h {
namespace {

using NameTable = std::map<std::string, std::string>;  // address text to name

// Stands in for the name service and the NetBIOS peers while it exists: `dns` lists the
// addresses with a reverse name (an empty one too), `netbios` the peers that answer.
class ScriptedNames {
public:
    ScriptedNames(NameTable dns, NameTable netbios = {}) {
        s_dns = std::move(dns);
        s_netbios = std::move(netbios);
        s_dnsCalls = 0;
        s_netbiosAsked.clear();
        SetResolverEntry(&GetNameInfo);
        SetNodeStatusQuery(&NodeStatus);
    }
    ~ScriptedNames() {
        SetResolverEntry(nullptr);
        SetNodeStatusQuery(nullptr);
        UseNbt = false;
        OsIsVersion51OrLater = true;
    }

    inline static int s_dnsCalls = 0;
    // Everything getnameinfo was last given but the buffers.
    inline static std::vector<long> s_lastArguments;
    inline static std::vector<std::string> s_netbiosAsked;

private:
    static std::string Text(in_addr address) {
        char text[INET_ADDRSTRLEN] = {};
        return ::inet_ntop(AF_INET, &address, text, sizeof text);
    }
    static int GetNameInfo(const sockaddr* address, socklen_t length, char* host,
                           socklen_t hostLength, char* service, socklen_t serviceLength,
                           int flags) {
        sockaddr_in in{};
        std::memcpy(&in, address, std::min<std::size_t>(length, sizeof in));
        s_lastArguments = {length,     in.sin_family,      in.sin_port,
                           hostLength, service != nullptr, serviceLength,
                           flags};
        ++s_dnsCalls;
        const auto found = s_dns.find(Text(in.sin_addr));
        if (found == s_dns.end() || found->second.size() >= hostLength) {
            return EAI_NONAME;
        }
        std::memcpy(host, found->second.c_str(), found->second.size() + 1);
        return 0;
    }
    static std::optional<std::string> NodeStatus(in_addr target) {
        s_netbiosAsked.push_back(Text(target));
        const auto found = s_netbios.find(Text(target));
        return found == s_netbios.end() ? std::nullopt : std::optional(found->second);
    }
    inline static NameTable s_dns;
    inline static NameTable s_netbios;
};

TEST(ReverseLookup, AnswersWithTheRequiredNameAsGivenOrTheAddressItself) {
    ScriptedNames names(NameTable{
        {"192.0.2.1", "Host-01.Example.COM"},
        {"192.0.2.2", std::string(1024, 'a')},
        {"192.0.2.3", ""},
        {"192.0.2.4", "odd(name).example"},
        {"192.0.2.5", "two\r\nlines\tand\x1b[31mcolour\x7f"},
        {"192.0.2.6", "\xe3\x83\x9b\xe3\x82\xb9\xe3\x83\x88.example.jp"},
    });
    struct Case {
        const char* address;
        std::string answer;
        int lookups;
    };
    const Case cases[] = {
        {"192.0.2.1", "Host-01.Example.COM", 1},   // fully qualified, letter case kept
        {"192.0.2.2", std::string(1024, 'a'), 1},  // the longest name the buffer holds
        {"10.1.2.3", "10.1.2.3", 1},               // no name
        {"192.0.2.3", "192.0.2.3", 1},             // an empty name is no name
        {"192.0.2.4", "odd\\040name\\041.example", 1},
        {"192.0.2.5", "two\\013\\010lines\\009and\\027[31mcolour\\127", 1},
        {"192.0.2.6", "\xe3\x83\x9b\xe3\x82\xb9\xe3\x83\x88.example.jp", 1},
        // Not addresses: nothing is looked up (inet_addr would have read 255.255.255.255).
        {"not.an.address", "not.an.address", 0},
        {"192.0.2.300", "192.0.2.300", 0},
        {"", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        const int before = ScriptedNames::s_dnsCalls;
        EXPECT_EQ(ReverseLookup(c.address), c.answer);
        EXPECT_EQ(ScriptedNames::s_dnsCalls - before, c.lookups);
    }
    // A 16-byte IPv4 address with port 0, a 1025-byte host buffer, no service, name required.
    const std::vector<long> asked = {16, AF_INET, 0, 1025, 0, 0, NI_NAMEREQD};
    EXPECT_EQ(ScriptedNames::s_lastArguments, asked);
}

TEST(MendAnswer, ChangesOnlyWhatCannotBeShownAndIsStableWhenRepeated) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "10.0.0.1"},
        {"(10.0.0.1)", "\\04010.0.0.1\\041"},
        {std::string("a\0b", 3), "a\\000b"},
        {"host\\040", "host\\040"},
        {"MY PC", "MY PC"},
        {"\xc2\x85latin1", "\xc2\x85latin1"},
    };
    for (const auto& [name, mended] : cases) {
        const std::string once = MendAnswer(name, "10.0.0.1");
        EXPECT_EQ(once, mended);
        EXPECT_EQ(MendAnswer(once, "10.0.0.1"), once);
    }
}

TEST(ReverseLookup, AsksTheNetbiosPeerOnlyForFailedPrivateAddressesWithTheOptionOn) {
    ScriptedNames names(NameTable{{"10.0.0.9", "named.example"}},
                        NameTable{{"10.0.0.1", "PEER-A"},
                                  {"172.16.0.1", "PEER-B"},
                                  {"172.31.255.255", "PEER-C"},
                                  {"192.168.1.1", "PEER\r\nD"},
                                  {"10.0.0.9", "NOT-ASKED"}});
    struct Case {
        const char* address;
        bool useNbt;
        bool osFlag;
        bool asksPeer;
        const char* answer;
    };
    const Case cases[] = {
        {"10.0.0.1", true, true, true, "PEER-A"},
        {"172.16.0.1", true, true, true, "PEER-B"},
        {"172.31.255.255", true, true, true, "PEER-C"},
        {"192.168.1.1", true, true, true, "PEER\\013\\010D"},
        {"10.0.0.2", true, true, true, "10.0.0.2"},  // the peer lists no name
        {"172.15.0.1", true, true, false, "172.15.0.1"},
        {"172.32.0.1", true, true, false, "172.32.0.1"},
        {"192.169.0.1", true, true, false, "192.169.0.1"},
        {"11.0.0.1", true, true, false, "11.0.0.1"},
        {"10.1", true, true, false, "10.1"},  // an address, but not four fields
        {"10.0.0.1", false, true, false, "10.0.0.1"},
        {"10.0.0.1", true, false, false, "10.0.0.1"},
        {"10.0.0.9", true, true, false, "named.example"},  // the first lookup found a name
    };
    std::size_t asked = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.address << " nbt=" << c.useNbt << " os=" << c.osFlag);
        UseNbt = c.useNbt;
        OsIsVersion51OrLater = c.osFlag;
        EXPECT_EQ(ReverseLookup(c.address), c.answer);
        const auto& askedNow = ScriptedNames::s_netbiosAsked;
        ASSERT_EQ(askedNow.size(), asked + (c.asksPeer ? 1 : 0));
        asked = askedNow.size();
        if (c.asksPeer) {
            EXPECT_EQ(askedNow.back(), c.address);
        }
    }
}

}  // namespace
}  // namespace ip2h
