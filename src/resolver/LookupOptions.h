#pragma once

namespace ip2h {

// How the platform resolver's lookups are made: the window's Setting menu or the batch
// mode's options choose. Small and trivially copyable, so that an engine can hold it in one
// atomic while its workers run.
struct LookupOptions {
    // A second lookup, by NetBIOS node status, for a private IPv4 address whose first lookup
    // failed.
    bool NetbiosSecondLookup = false;
    // A name from the name service is looked up forward, in the same worker, and the answer
    // records whether it leads back to the address.
    bool ConfirmNames = false;

    friend bool operator==(const LookupOptions&, const LookupOptions&) = default;
};

}  // namespace ip2h
