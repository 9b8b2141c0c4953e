// The address history file as it may be found: hand-edited, damaged or binary. What is
// loaded must be usable range texts, and saving them must give back the same list.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "settings/History.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ip2h;
    using namespace ip2h::fuzz;
    InputReader input(data, size);
    const std::string_view rangeText = input.Field();
    const std::string_view file = input.Rest();

    const std::filesystem::path path = ScratchDirectory() / "history.txt";
    WriteWholeFile(path, file);
    const std::vector<std::string> loaded = LoadHistory(path, true, rangeText);
    Require(loaded.size() <= kHistoryMaxPieces, "at most 512 entries");
    for (const std::string& entry : loaded) {
        Require(!entry.empty() && entry.size() <= kHistoryPieceLength, "entries are pieces");
        Require(entry.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos,
                "entries hold no line break and no NUL");
        const auto first = static_cast<unsigned char>(entry.front());
        Require(first >= 0x20 && first <= 0x7F, "entries start printable");
        Require(entry != rangeText, "the current range is left to the window");
    }

    // Saved and loaded again, the list comes back without its consecutive repeats.
    std::vector<std::string> expected;
    for (const std::string& entry : loaded) {
        if (expected.empty() || expected.back() != entry) expected.push_back(entry);
    }
    Require(SaveHistory(path, true, loaded), "saving to a writable file succeeds");
    Require(LoadHistory(path, true, rangeText) == expected, "history survives a save");
    return 0;
}
