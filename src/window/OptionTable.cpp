#include "window/OptionTable.h"

#include <optional>

namespace ip2h {
namespace {

std::optional<std::size_t> RowOf(Command command) {
    for (std::size_t i = 0; i < kOptionTable.size(); ++i) {
        if (kOptionTable[i].Toggle == command) return i;
    }
    return std::nullopt;
}

bool IsOnValue(const OptionRow& row, int value) {
    return row.Values == OptionValue::OnlyOneIsOn ? value == 1 : value != 0;
}

}  // namespace

void OptionValues::Load(const IntegerSettings& stored) {
    for (std::size_t i = 0; i < kOptionTable.size(); ++i) {
        const OptionRow& row = kOptionTable[i];
        const int value = stored[row.Key];
        m_values[i] = row.Values == OptionValue::OnOrOff ? (value != 0 ? 1 : 0) : value;
    }
}

void OptionValues::Save(IntegerSettings& into) const {
    for (std::size_t i = 0; i < kOptionTable.size(); ++i) into[kOptionTable[i].Key] = m_values[i];
}

int OptionValues::Value(Command toggle) const {
    const auto row = RowOf(toggle);
    return row ? m_values[*row] : 0;
}

bool OptionValues::IsOn(Command toggle) const {
    const auto row = RowOf(toggle);
    return row && IsOnValue(kOptionTable[*row], m_values[*row]);
}

const OptionRow* OptionValues::Toggle(Command command) {
    const auto row = RowOf(command);
    if (!row) return nullptr;
    m_values[*row] = IsOnValue(kOptionTable[*row], m_values[*row]) ? 0 : 1;
    return &kOptionTable[*row];
}

LookupOptions OptionValues::Lookups() const {
    LookupOptions options;
    for (std::size_t i = 0; i < kOptionTable.size(); ++i) {
        const OptionRow& row = kOptionTable[i];
        if (row.Lookup != nullptr) options.*row.Lookup = IsOnValue(row, m_values[i]);
    }
    return options;
}

}  // namespace ip2h
