// The length frame (TLEN) of an MP3's ID3v2 tag, mended in place: an encoder
// fed from a pipe writes the unknown length as 4294967295 ms, which players
// show as a length of seven weeks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varlo {

// Sets the TLEN frame of the tag at the start of `tag` (the whole tag, header
// included) to `milliseconds`. The tag keeps its size: the frames after the
// mended one move up and the room it left joins the padding. False, with
// `tag` unchanged, when there is no TLEN frame or the tag is not one this
// can mend safely (extended header, footer, unsynchronisation, damage).
bool setTagLength(std::vector<uint8_t>& tag, uint64_t milliseconds);

// The same on the file's own tag; false when nothing was mended.
bool setFileTagLength(const std::string& path, uint64_t milliseconds);

// The length the file's tag gives, in milliseconds; 0 when it gives none.
uint64_t fileTagLength(const std::string& path);

}  // namespace varlo
