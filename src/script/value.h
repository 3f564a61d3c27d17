// Script values: small tagged operands whose strings, dictionaries and lists
// live in reference-counted heap cells (ObjRec) shared between the operands
// that refer to them.
//
// Ownership rule: an Operand holding a string, dictionary or list owns one
// reference. shareValue adds one, releaseValue drops one (and frees the cell
// with the last one). Functions taking an `Operand&&` or named "take"/"set"
// take over the caller's reference; functions taking `const Operand&` do not.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace varlo {

enum class Tag : uint8_t { invalid = 0, undefined, integer, range, string, dict, list };

struct ObjRec;

struct Operand {
  Tag tag = Tag::invalid;
  int32_t first = 0;      // integer value, or the first bound of a range
  int32_t last = 0;       // last bound of a range
  ObjRec* obj = nullptr;  // string, dictionary or list
};

struct DicNode {
  std::string key;  // never changes while the node is in a dictionary
  Operand value;
  DicNode* next = nullptr;
  DicNode* previous = nullptr;
};

// The nodes of a larger dictionary by key, beside their insertion order, so
// that a key is found without walking the order.
using DictIndex = std::unordered_map<std::string_view, DicNode*>;

struct ObjRec {
  uint32_t refs = 1;
  std::string text;                    // string
  int32_t count = 0;                   // dictionary: number of nodes
  DicNode* firstNode = nullptr;        // dictionary, in insertion order
  DicNode* lastNode = nullptr;
  DicNode* lastFound = nullptr;        // dictionary: tried first by the next search
  std::unique_ptr<DictIndex> index;    // dictionary of kIndexedSize nodes or more
  std::vector<Operand> cells;          // list, stored flat; an invalid element is a hole
};

// Live objects, as printed by SIMBOLOS.
struct ObjectCounters {
  long dictNodes = 0;
  long listCells = 0;
  long objects = 0;
};
ObjectCounters objectCounters();
void resetObjectCounters();

// Size limits that keep runaway scripts from exhausting memory; an operation
// that would pass them reports "Memória insuficiente" and gives invalid.
struct ValueLimits {
  size_t maxListLength = size_t(1) << 24;
  size_t maxStringBytes = size_t(1) << 28;
};
void setValueLimits(ValueLimits limits);
ValueLimits valueLimits();
// Reports the shortage (through the error reporter) and returns false.
bool fitsLimits(size_t listLength, size_t stringBytes);

// Type names as shown to the user ("inteiro", "cadeia", ...).
std::string_view typeName(Tag tag);

// Constructors.
inline Operand invalidValue() { return Operand{}; }
inline Operand undefinedValue() { return Operand{Tag::undefined}; }
inline Operand integerValue(int32_t n) { return Operand{Tag::integer, n}; }
inline Operand rangeValue(int32_t a, int32_t b) { return Operand{Tag::range, a, b}; }
// The number of elements of a range.
inline int64_t rangeLength(const Operand& range) {
  return (range.last >= range.first ? int64_t(range.last) - range.first : int64_t(range.first) - range.last) + 1;
}
// Element `position` of a range, counted from its first bound either way.
inline int32_t rangeElement(const Operand& range, int32_t position) {
  return range.last >= range.first ? int32_t(int64_t(range.first) + position)
                                   : int32_t(int64_t(range.first) - position);
}
Operand stringValue(std::string_view text);
Operand stringValue(std::string&& text);
Operand newDict();
Operand newList();

void clearValue(Operand& v);             // tag invalid (does not release)
void makeValue(Operand& v, Tag tag);     // fresh empty value of that tag
void shareValue(Operand& dst, const Operand& src);  // dst must be released
Operand shared(const Operand& src);      // a new reference to src's value
void deepCopy(Operand& dst, const Operand& src);
void releaseObject(Operand& v);          // releaseValue of a string, dictionary or list

// The contents behind a value (valid only for the matching tag).
inline std::string& textOf(const Operand& v) { return v.obj->text; }
inline std::vector<Operand>& cellsOf(const Operand& v) { return v.obj->cells; }
// A list element that holds nothing (never set, or cleared by an invalid value).
inline bool isHole(const Operand& cell) { return cell.tag == Tag::invalid; }
inline bool isObject(Tag t) { return t == Tag::string || t == Tag::dict || t == Tag::list; }
// Drops v's reference (then v is invalid); numbers cost no call.
inline void releaseValue(Operand& v) {
  if (isObject(v.tag)) releaseObject(v);
  else v = Operand{};
}

std::string valueText(const Operand& v);
void appendValueText(std::string& out, const Operand& v);
std::string integerText(int32_t n);
// String to integer (leading blanks, sign, decimal or $hex); other tags are
// returned as they are (shared). Failure gives invalid.
Operand toInteger(const Operand& v);
bool parseInteger(std::string_view text, int32_t& out);
Operand toStringValue(const Operand& v);
bool isTrue(const Operand& v);
bool sameValue(const Operand& a, const Operand& b);
int sublistIndex(const Operand& needle, const Operand& haystack);
// True when storing value inside container would make the container hold
// itself (reference counts could never free it): store a deepCopy instead.
bool wouldHoldItself(const Operand& container, const Operand& value);

// Dictionaries (keys compared byte for byte; an integer key is its text).
Operand dictGet(const Operand& d, std::string_view key);  // shared or undefined
DicNode* dictFind(const Operand& d, std::string_view key);
void dictSet(Operand& d, std::string_view key, Operand&& value);
Operand dictRemoveKey(Operand& d, std::string_view key);   // undefined if absent
Operand dictPopLast(Operand& d);
void dictSetMany(Operand& d, const Operand& keys, const Operand& value);
bool keyText(const Operand& key, std::string& out);  // integer or string
Operand dictUnion(const Operand& a, const Operand& b);
Operand dictDifference(const Operand& a, const Operand& b);
Operand dictIntersection(const Operand& a, const Operand& b);

// Lists (0-based).
Operand listGet(const Operand& l, int32_t i);               // shared or undefined
void listSet(Operand& l, int32_t i, Operand&& v);
void listAppend(Operand& l, Operand&& v);                   // invalid: a hole
void listInsert(Operand& l, int32_t i, Operand&& v);
Operand listTake(Operand& l, int32_t i);
int listIndexOf(const Operand& l, int32_t start, const Operand& v);
Operand listConcat(const Operand& a, const Operand& b);
Operand listDifference(const Operand& a, const Operand& b);
Operand listIntersection(const Operand& a, const Operand& b);
inline int32_t listLength(const Operand& l) { return int32_t(l.obj->cells.size()); }

}  // namespace varlo
