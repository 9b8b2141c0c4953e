#pragma once

#include <QString>
#include <string_view>

#include "base/Texts.h"

namespace ip2h {

// UTF-8 text of the core as a QString.
inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A text of the program in the interface language.
inline QString Text(TextId id) {
    return FromUtf8(Tr(id));
}

}  // namespace ip2h
