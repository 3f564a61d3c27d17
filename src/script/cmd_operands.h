// Operand readers shared by the command handlers: strings and integers
// evaluated as the operand conventions ask, the trailing ampersand, a look
// at the next token, and appending to a string variable in place.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "script/expr.h"

namespace varlo {

// A string operand (any value but invalid is converted to its text). With
// report set, an invalid operand reports "Esperava uma cadeia".
bool readString(std::string& out, bool report = true);
// An integer operand (a numeric string is accepted). With report set, a
// non-integer reports "Esperava um valor inteiro".
bool readInteger(int32_t& out, bool report = true);
// Reports, skips the rest of the line (so that no second complaint about
// it follows) and returns false.
bool failLine(std::string_view message);
// Skips a trailing Ampersand and says whether there was one.
bool takeAmpersand();
// The kind of the token after the current one, without moving.
uint8_t nextTokenKind();
// A key as scripts see it: a character as itself, a control character as
// "#" and its code, an extended key (byte 0) as "#0#" and its second code.
std::string keyCodeText(uint8_t byte, uint8_t extendedCode);
// Appends to the string held by the target; a target that holds no string
// reports notString. A plain variable that alone holds its string grows in
// place, so building a long text in a loop stays linear.
bool appendToString(const Lvalue& target, std::string_view piece, const char* notString);

}  // namespace varlo
