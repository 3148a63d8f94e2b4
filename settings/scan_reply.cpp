#include "settings/scan_reply.h"

#include <algorithm>
#include <climits>

#include "base/diag.h"
#include "settings/country_record.h"

namespace {

// Walks the NUL-terminated strings of the text area, never past the kept bytes.
class StringReader {
public:
    StringReader(const char* p, const char* end) : m_p(p), m_end(end) {}
    bool Next(std::string_view* s) {
        const char* nul = std::find(m_p, m_end, '\0');
        if (nul == m_end) return false;
        *s = std::string_view(m_p, static_cast<size_t>(nul - m_p));
        m_p = nul + 1;
        return true;
    }

private:
    const char* m_p;
    const char* m_end;
};

// A "%d" conversion: optional white space and sign, then at least one digit.
bool ParseDecimal(std::string_view s, int32_t* value) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i == s.size() || s[i] < '0' || s[i] > '9') return false;
    int64_t v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        v = v * 10 + (s[i] - '0');
        if (v > INT32_MAX) return false;
    }
    *value = static_cast<int32_t>(negative ? -v : v);
    return true;
}

bool Refuse(const char* what) {
    base::Diag("Scan Reply %s Error!!!\n", what);
    return false;
}

}  // namespace

uint64_t ScanKeptLength(const uint8_t* payload, size_t n) {
    if (n < 12) return 0;
    return uint64_t{GetLE32(payload + 8)} + 20;
}

bool ParseScanReply(const uint8_t* payload, size_t n, ScanTable* out) {
    uint64_t kept = ScanKeptLength(payload, n);
    if (n < 16 || kept > n) return Refuse("Length");
    ScanTable t;
    t.rows = std::max<int32_t>(0, static_cast<int32_t>(GetLE32(payload)));
    if (t.rows > SCAN_MAX_ROWS) return Refuse("Rows");

    const char* text = reinterpret_cast<const char*>(payload);
    StringReader reader(text + 16, text + kept);
    std::string_view s;
    if (!reader.Next(&s) || !ParseDecimal(s, &t.columns)) return Refuse("Columns");
    if (t.columns < 1) return Refuse("Columns");

    int32_t widest = 0;
    for (int32_t k = 0; k < t.columns; ++k) {
        int32_t width = 0;
        if (!reader.Next(&s) || !ParseDecimal(s, &width) || width < 0 || width > SCAN_WIDTH_MAX)
            return Refuse("Width");
        t.widths.push_back(width);
        widest = std::max(widest, width);
    }
    if (widest < 1) return Refuse("Width");
    for (int32_t k = 0; k < t.columns; ++k) {
        if (!reader.Next(&s) || s.size() >= static_cast<size_t>(widest)) return Refuse("Title");
        t.titles.push_back(s);
    }
    const size_t cellMax = 4 * static_cast<size_t>(widest);
    for (int64_t c = 0; c < int64_t{t.rows} * (t.columns + 1); ++c) {
        if (!reader.Next(&s) || s.size() >= cellMax) return Refuse("Cell");
        t.cells.push_back(s);
    }
    *out = std::move(t);
    return true;
}

int32_t ScanRowFlags(const ScanTable& table, int32_t row) {
    std::string_view flag = table.Cell(row, 0);
    // The first byte as a signed character; an empty cell reads its terminator.
    int32_t flags = static_cast<signed char>(flag.empty() ? '\0' : flag[0]) - '0';
    if (table.columns >= SCAN_SECURITY_COLUMN && table.Cell(row, SCAN_SECURITY_COLUMN) == "--")
        flags |= AP_NO_PASSWORD;
    return flags;
}
