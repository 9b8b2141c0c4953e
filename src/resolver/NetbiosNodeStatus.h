#pragma once

#include <netinet/in.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ip2h {

inline constexpr std::uint16_t kNetbiosNameServicePort = 137;
inline constexpr std::size_t kNodeStatusRequestSize = 50;

// One entry of a node status reply's name table.
struct NetbiosName {
    std::string Name;  // the 15 name bytes, trailing blanks (and NUL padding) removed
    std::uint8_t Suffix = 0;
    bool Group = false;
};

struct NodeStatusReply {
    std::uint16_t TransactionId = 0;
    std::vector<NetbiosName> Names;
};

// A node status request for the wildcard name "*" (NetBIOS over TCP/IP, type NBSTAT).
std::array<std::uint8_t, kNodeStatusRequestSize> BuildNodeStatusRequest(
    std::uint16_t transactionId);

// Reads a node status reply. Any packet, however short or malformed, gives either a reply or
// nothing; the parser never reads outside `packet`.
std::optional<NodeStatusReply> ParseNodeStatusReply(std::span<const std::uint8_t> packet);

// The first unique name of the workstation type (suffix 0x00), if the reply lists one.
std::optional<std::string> WorkstationName(const NodeStatusReply& reply);

// Total time one query may take, retries included: a silent host costs no more.
inline constexpr std::chrono::milliseconds NodeStatusBudget{1500};
// The request is sent again after this long without a matching reply.
inline constexpr std::chrono::milliseconds NodeStatusRetryInterval{500};

// Asks `target` (UDP `port`) for its node status and returns its workstation name. Nothing when
// the host is silent, refuses, or lists no such name. Blocks for at most NodeStatusBudget; its
// socket is closed on every path.
std::optional<std::string> QueryNodeStatus(in_addr target,
                                           std::uint16_t port = kNetbiosNameServicePort);

// The second lookup of a failed reverse lookup. Replaceable so that tests decide the answers
// and never send anything to the addresses they name.
using NodeStatusQueryFunction = std::optional<std::string> (*)(in_addr target);
NodeStatusQueryFunction NodeStatusQuery();
// nullptr restores QueryNodeStatus.
void SetNodeStatusQuery(NodeStatusQueryFunction query);

}  // namespace ip2h
