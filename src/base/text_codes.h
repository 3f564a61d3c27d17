// Transfer encodings of byte strings: URL percent encoding, Base64 and
// quoted-printable. They work on the bytes as they are; turning Windows-1252
// text into UTF-8 first, where the other side wants it, is the caller's step.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varlo {

// Every byte but the unreserved letters, digits and "-._~" becomes %XX.
std::string percentEncode(std::string_view bytes);
// %XX (either case) becomes its byte; a "%" not followed by two hex digits,
// and every other byte, stays as it is.
std::string percentDecode(std::string_view text);

// Base64 in one line, with padding.
std::string base64Encode(std::string_view bytes);
// Base64, possibly broken into lines; none when it is not valid Base64.
std::optional<std::string> base64Decode(std::string_view text);

// Quoted-printable with soft line breaks that keep lines within 76
// characters; "\n" (or "\r\n") in the bytes stays a hard line break.
std::string quotedPrintableEncode(std::string_view bytes);
// Soft line breaks are removed, =XX becomes its byte, blanks at the end of
// a line are dropped; an "=" that starts no escape is kept.
std::string quotedPrintableDecode(std::string_view text);

}  // namespace varlo
