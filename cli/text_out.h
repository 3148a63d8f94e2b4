// Device text on its way to a terminal or into JSON. Device input is untrusted: control
// bytes never reach a terminal, and JSON strings stay valid whatever the bytes.
#pragma once

#include <string>
#include <string_view>

// The text with every control byte replaced by '?'; other bytes (UTF-8) pass unchanged.
std::string Shown(std::string_view text);

// The text as a JSON string with its quotes. Valid UTF-8 passes; a byte that is not part
// of a valid sequence is read as Latin-1 and escaped.
std::string Json(std::string_view text);

// Columns the text takes on a UTF-8 terminal, one per character.
size_t ShownWidth(std::string_view text);

// The text padded with blanks to `width` columns.
std::string Padded(std::string_view text, size_t width);
