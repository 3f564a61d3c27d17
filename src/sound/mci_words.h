// Reading MCI command strings (mci_words.cpp), for the interpreter in mci.cpp.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sound/mci.h"

namespace varlo {

std::string mciLower(std::string_view word);
// An error reply: "Erro MCI <code>: <text>[: <detail>]", the detail cut short.
MciReply mciError(int code, const char* utf8Text, std::string_view detail = {});
// The words of a command string; a word may be quoted to hold blanks. False
// when a quote is not closed.
bool splitWords(std::string_view command, std::vector<std::string>& words);

// What follows the device name: keywords with a value (from, to, alias,
// type) and flags, both in lower case.
struct Options {
  std::vector<std::string> flags;
  std::vector<std::pair<std::string, std::string>> values;
};
// False when a keyword lacks its value (named in bad).
bool readOptions(const std::vector<std::string>& words, size_t first, Options& out,
                 std::string& bad);
bool hasFlag(const Options& options, const char* flag);
const std::string* valueOf(const Options& options, const char* keyword);
// The first flag other than wait, notify and the allowed ones.
const std::string* strayFlag(const Options& options, std::initializer_list<const char*> allowed);
// The first keyword with a value that is not allowed.
const std::string* strayValue(const Options& options, std::initializer_list<const char*> allowed);
// Milliseconds written as digits.
bool readMillis(const std::string& text, uint64_t& out);

}  // namespace varlo
