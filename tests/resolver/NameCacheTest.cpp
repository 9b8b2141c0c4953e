#include <gtest/gtest.h>

#include <string>

#include "resolver/NameCache.h"

namespace ip2h {
namespace {

std::string Key(std::size_t n) {
    return "10." + std::to_string(n >> 16) + "." + std::to_string(n >> 8 & 255) + "." +
           std::to_string(n & 255);
}

TEST(NameCache, IsEmptiedBeforeAnInsertionOnceItHoldsTheLimit) {
    NameCache cache;
    for (std::size_t n = 0; n < NameCacheLimit - 1; ++n) {
        cache.Insert(Key(n), "x");
    }
    cache.Insert("192.0.2.1", "new.example");
    EXPECT_EQ(cache.Size(), NameCacheLimit);
    // Replacing a present key empties the cache first too.
    cache.Insert(Key(7), "again.example");
    EXPECT_EQ(cache.Size(), 1u);
    EXPECT_EQ(cache.Find(Key(7)), "again.example");
    EXPECT_EQ(cache.Find("192.0.2.1"), std::nullopt);

    cache.Close();
    EXPECT_FALSE(cache.Insert("192.0.2.2", "late.example"));
    EXPECT_EQ(cache.Size(), 0u);
}

}  // namespace
}  // namespace ip2h
