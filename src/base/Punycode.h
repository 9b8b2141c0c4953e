#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ip2h {

// The Unicode form of an internationalised label's ASCII form: `encoded` is the part after
// "xn--", decoded by the Punycode algorithm (RFC 3492) into UTF-8. Nothing when it is no
// valid Punycode, decodes to plain ASCII, or holds a character that could disguise how the
// name reads (controls, direction marks and overrides, line breaks, surrogates).
std::optional<std::string> DecodePunycode(std::string_view encoded);

// A host name with every "xn--" label (any case) in its Unicode form and the others as they
// are; empty when the name has no such label or one of them does not decode. Works for
// every top-level domain alike: no list of domains decides.
std::string UnicodeHostName(std::string_view hostName);

}  // namespace ip2h
