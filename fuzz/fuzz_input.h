// Reads a fuzz input front to back: the targets take their choices and the device's bytes
// from it. Past its end every byte is 0 and every run of bytes empty, so an input always
// plays out to the end of its flow.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : m_at(data), m_end(data + size) {}

    bool Empty() const { return m_at == m_end; }
    uint8_t Byte() { return Empty() ? 0 : *m_at++; }
    // Two bytes, big-endian.
    uint32_t Word() { return uint32_t{Byte()} << 8 | Byte(); }
    // Up to n bytes, fewer where the input ends.
    std::vector<uint8_t> Bytes(size_t n) {
        n = std::min<size_t>(n, static_cast<size_t>(m_end - m_at));
        std::vector<uint8_t> b(m_at, m_at + n);
        m_at += n;
        return b;
    }

private:
    const uint8_t* m_at;
    const uint8_t* m_end;
};
