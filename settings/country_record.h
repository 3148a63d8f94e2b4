// The country list record the device answers with:
//   count, current, (unused), textSize  -- four 32-bit little-endian integers
//   count entries of "code\0name\0"
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr size_t COUNTRY_NAME_MAX = 126;  // the list entry is a marker and the name

struct CountryEntry {
    const char* code;  // inside the reply, terminated
    const char* name;  // inside the reply, terminated
};

struct CountryRecord {
    int32_t current = -1;
    uint32_t textSize = 0;              // what the device says the code texts need, or more
    uint32_t codeBytes = 0;             // what they take, terminators included
    std::vector<CountryEntry> entries;  // empty when count is 0 or less
};

uint32_t GetLE32(const uint8_t* p);

// The text the list shows for entry i: '*' for the device's current entry, else a blank,
// then the display name.
std::string CountryEntryText(const CountryRecord& record, size_t i);

// Checks a reply of n payload bytes and fills *out with pointers into it. A record whose
// entries, names or code texts reach past the payload, whose code texts need more than
// textSize bytes, whose names are over COUNTRY_NAME_MAX, or whose entry texts repeat
// (ignoring case, as the list's search does) is refused: false and one diagnostic line.
// A textSize larger than the texts need is accepted; only codeBytes are worth reserving.
bool ParseCountryRecord(const uint8_t* reply, size_t n, CountryRecord* out);
