#include "settings/country_record.h"

#include <cstring>

#include "base/diag.h"
#include "base/fixed_text.h"

uint32_t GetLE32(const uint8_t* p) {
    return p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

std::string CountryEntryText(const CountryRecord& record, size_t i) {
    std::string text(1, static_cast<int32_t>(i) == record.current ? '*' : ' ');
    return text + record.entries[i].name;
}

bool ParseCountryRecord(const uint8_t* reply, size_t n, CountryRecord* out) {
    constexpr size_t kHeader = 16;
    if (n < kHeader) {
        base::Diag("Country Len %d < %d Error!!!\n", static_cast<int>(n),
                   static_cast<int>(kHeader));
        return false;
    }
    int32_t count = static_cast<int32_t>(GetLE32(reply));
    CountryRecord record;
    record.current = static_cast<int32_t>(GetLE32(reply + 4));
    record.textSize = GetLE32(reply + 12);

    const char* p = reinterpret_cast<const char*>(reply) + kHeader;
    const char* const end = reinterpret_cast<const char*>(reply) + n;
    // The code texts lie inside one payload: counting what they take, never what the
    // device asks for, keeps a hostile textSize from reserving gigabytes.
    uint32_t codeBytes = 0;
    for (int32_t i = 0; i < count; ++i) {
        // Each entry needs at least its two terminators; a count past that is refused
        // before anything is reserved for it.
        if (end - p < 2) {
            base::Diag("Country Entry %d Past Reply Error!!!\n", i);
            return false;
        }
        size_t codeLen = base::TextLength(p, static_cast<size_t>(end - p));
        if (codeLen == static_cast<size_t>(end - p)) {
            base::Diag("Country Code %d Past Reply Error!!!\n", i);
            return false;
        }
        const char* name = p + codeLen + 1;
        size_t nameLen = base::TextLength(name, static_cast<size_t>(end - name));
        if (nameLen == static_cast<size_t>(end - name)) {
            base::Diag("Country Name %d Past Reply Error!!!\n", i);
            return false;
        }
        if (nameLen > COUNTRY_NAME_MAX) {
            base::Diag("Country Name %d Len %d > %d Error!!!\n", i, static_cast<int>(nameLen),
                       static_cast<int>(COUNTRY_NAME_MAX));
            return false;
        }
        codeBytes += static_cast<uint32_t>(codeLen + 1);
        if (codeBytes > record.textSize) {
            base::Diag("Country Codes %u > TextSize %u Error!!!\n", codeBytes, record.textSize);
            return false;
        }
        record.entries.push_back({p, name});
        p = name + nameLen + 1;
    }
    for (size_t i = 0; i < record.entries.size(); ++i) {
        for (size_t j = 0; j < i; ++j) {
            if (base::TextEqualNoCase(CountryEntryText(record, i).c_str(),
                                      CountryEntryText(record, j).c_str())) {
                base::Diag("Country Entry %d Repeats %d Error!!!\n", static_cast<int>(i),
                           static_cast<int>(j));
                return false;
            }
        }
    }
    record.codeBytes = codeBytes;
    *out = std::move(record);
    return true;
}
