#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

#include <string>
#include <string_view>
#include <vector>

#include "address/IpAddress.h"
#include "resolver/AnswerKind.h"
#include "resolver/LookupOptions.h"

namespace ip2h {

// The platform resolver's getnameinfo, as this program calls it.
using GetNameInfoFunction = int (*)(const sockaddr* address, socklen_t addressLength, char* host,
                                    socklen_t hostLength, char* service, socklen_t serviceLength,
                                    int flags);

// The largest host name the socket interface returns, terminator included.
inline constexpr socklen_t kHostNameBufferSize = 1025;

// The getnameinfo every lookup calls: the C library's, or a test's replacement set with
// SetResolverEntry.
GetNameInfoFunction ResolverEntry();
// Replaces the resolver for tests, which decide answers and latency; nullptr restores the
// platform's.
void SetResolverEntry(GetNameInfoFunction entry);

// The host name of the address in `address` (dotted-quad or IPv6 text), fully qualified as the
// name service returns it, or `address` itself when there is none, with the kind of the
// answer. Blocking; safe on many threads at once. A text that is not an address is returned
// as it is, without a lookup. `options` add the second lookup and the forward confirmation.
LookupAnswer ReverseLookup(std::string_view address, LookupOptions options = {});

// The kind of answer a getnameinfo status stands for (0: a name).
AnswerKind KindOfLookupStatus(int status);

// The name service's own words for a getnameinfo or getaddrinfo status (gai_strerror).
std::string LookupStatusText(int status);

// Every PTR name of an address, as a DNS query of this thread's own finds them (getnameinfo
// gives one name only); empty when the query fails.
std::vector<std::string> PtrNamesOf(const IpAddress& address);

// The forward check of a name from the name service and its address: `name` and every other
// PTR name of the address (at most kMaxPtrNames) are looked up forward (getaddrinfo, in the
// address's family) until one leads back (IprevTally). `ConfirmingName` is the name that led back
// when it is not `name`.
struct ForwardCheck {
    Confirmation Confirmed = Confirmation::NotConfirmed;
    std::string ConfirmingName;
};
ForwardCheck ConfirmByForwardLookup(const std::string& name, const IpAddress& address);

// Makes a name safe to store and show as the answer for `address`:
// - an empty name, or the root name "." alone, is no name: the answer is the address itself
//   (the failure answer), which the lookup and the worker then record as no name;
// - control characters (bytes below 0x20 and 0x7F) and the parentheses "(" and ")" are written
//   as a backslash and three decimal digits, the way DNS presents such bytes ("\040" for "("),
//   so that a copied row stays on one line and a name never looks like a pending placeholder;
//   so are the bytes of UTF-8 line breaks (the C1 controls, U+2028 and U+2029).
// Other bytes pass unchanged, and mending an answer twice changes nothing.
std::string MendAnswer(std::string_view name, std::string_view address);

// Every lookup's answer passes here before it is stored: its text mended, and a name that is
// the address itself (or no name at all) recorded as no name.
LookupAnswer SettleAnswer(LookupAnswer answer, std::string_view address);

}  // namespace ip2h
