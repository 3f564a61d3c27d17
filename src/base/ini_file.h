// Reading and writing INI files the way the suite's files are written:
// "[SECTION]" headers, "KEY=value" lines, ";" comments. Sections and keys
// match without regard to letter case.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varlo {

// The value of [section] key in the INI text, trimmed of blanks and of one
// pair of surrounding quotes, cut to 255 characters; nullopt when missing.
std::optional<std::string> iniValue(std::string_view text, std::string_view section,
                                    std::string_view key);

// The INI text with [section] key set to value: the key's line is replaced
// in place, or added at the end of its section, or a new section is added at
// the end. Every other byte of the text is kept as it was.
std::string iniWithValue(std::string_view text, std::string_view section,
                         std::string_view key, std::string_view value);

// Write several keys of one section into a file, creating the file and its
// directory when missing. The file is replaced atomically, so a failure
// leaves the old file whole. Returns false when it could not be written.
struct IniEntry { std::string key, value; };
bool writeIniSection(const std::string& path, std::string_view section,
                     const std::vector<IniEntry>& entries);

}  // namespace varlo
