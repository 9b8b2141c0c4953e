// NetBIOS node status replies: datagrams from any host on the network that answers the
// request, so every byte is untrusted.

#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzSupport.h"
#include "resolver/NetbiosNodeStatus.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ip2h;
    using namespace ip2h::fuzz;
    const auto reply = ParseNodeStatusReply(std::span<const std::uint8_t>(data, size));
    if (!reply) return 0;
    // Each name entry takes 18 bytes of the packet, so the count is bounded by its size.
    Require(reply->Names.size() * 18 <= size, "no more names than the packet holds");
    for (const NetbiosName& name : reply->Names) {
        Require(name.Name.size() <= 15, "names are at most 15 bytes");
        Require(name.Name.empty() || (name.Name.back() != ' ' && name.Name.back() != '\0'),
                "padding is removed");
    }
    if (const auto workstation = WorkstationName(*reply)) {
        Require(!workstation->empty() && workstation->size() <= 15, "a workstation name");
    }
    return 0;
}
