#pragma once

#include <QString>
#include <array>

// One line of the credits: the role goes to the upper label, the name slides
// through the middle one, the address is shown small while the name stands still.
struct CreditEntry {
    QString role;
    QString name;
    QString address;
};

// The credits table holds two empty entries past the last shown one, so that
// the last entry's role compares unequal with the one after it.
inline constexpr int kCreditEntryCount = 11;
inline constexpr int kCreditTableSize = kCreditEntryCount + 2;

using CreditTable = std::array<CreditEntry, kCreditTableSize>;

// The entries in the order they are shown, in the language spoken now.
[[nodiscard]] CreditTable creditEntries();
