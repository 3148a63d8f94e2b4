// The scan reply: a small self-describing table.
//   R rows, (unused), L, (unused)  -- four 32-bit little-endian integers
//   text area of NUL-terminated strings: N, N widths, N titles, then R rows of N + 1
//   cells (the flag cell, then data columns 1 to N)
// The receiver keeps exactly the first L + 20 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

inline constexpr int32_t AP_CONNECTED = 1;    // the device is joined to this network
inline constexpr int32_t AP_HAS_PROFILE = 2;  // the device stores a profile for it
inline constexpr int32_t AP_NO_PASSWORD = 4;  // open network: no password is asked

inline constexpr int32_t SCAN_MAX_ROWS = 256;
// The widest column a screen can show (10 pixels a unit): a wider or negative width is
// refused with the reply, so column arithmetic never overflows.
inline constexpr int32_t SCAN_WIDTH_MAX = 1000;
inline constexpr int SCAN_NAME_COLUMN = 1;
inline constexpr int SCAN_SECURITY_COLUMN = 6;  // "--" means an open network

struct ScanTable {
    int32_t columns = 0;  // N, the data columns
    std::vector<int32_t> widths;
    std::vector<std::string_view> titles;
    int32_t rows = 0;
    std::vector<std::string_view> cells;  // rows * (columns + 1), row by row

    std::string_view Cell(int32_t row, int32_t column) const {
        return cells[static_cast<size_t>(row) * static_cast<size_t>(columns + 1) +
                     static_cast<size_t>(column)];
    }
};

// The number of bytes the receiver keeps of a payload (L + 20), or 0 when the payload is
// too short to say.
uint64_t ScanKeptLength(const uint8_t* payload, size_t n);

// Parses the kept bytes. A table that breaks the format's limits (L + 20 past the
// payload, more than SCAN_MAX_ROWS rows, strings past the kept bytes, N or the widest
// column below 1, a width outside 0 to SCAN_WIDTH_MAX, numbers that are not decimal, a
// title not shorter than the widest
// column or a cell not shorter than four times it) is refused: false and one diagnostic
// line. The views point into payload.
bool ParseScanReply(const uint8_t* payload, size_t n, ScanTable* out);

// The flag word of a row: the flag cell's first byte less '0', and AP_NO_PASSWORD when
// the security column reads exactly "--".
int32_t ScanRowFlags(const ScanTable& table, int32_t row);
