#include "base/Version.h"

namespace ip2h {

std::string_view ProgramVersion() {
    return IP2H_VERSION;
}

}  // namespace ip2h
