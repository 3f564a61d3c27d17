// Reading the voice file: a line per statement, "key=value" fields,
// ";" starts a comment. Statements:
//   voice NAME | pitch HZ | gain FACTOR
//   source oq= tilt= breath= jitter= shimmer= emphasis=
//   fixed f4= b4= f5= b5= f6= b6= bnp= bnz=
//   parallel b2= b3= b4= b5= b6=
//   class CLASS fields...        defaults for later phonemes of CLASS
//   phoneme NAME CLASS fields... (like=OTHER copies OTHER first)
#include "engines/synth_voice.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace varlo {
namespace {

constexpr float kOralNasal = 270;  // nasal pole = zero: no nasal coupling

struct ClassName {
  const char* name;
  PhoneClass cls;
};
constexpr ClassName kClassNames[] = {
    {"silence", PhoneClass::Silence},     {"vowel", PhoneClass::Vowel},   {"glide", PhoneClass::Glide},
    {"liquid", PhoneClass::Liquid},       {"tap", PhoneClass::Tap},       {"nasal", PhoneClass::Nasal},
    {"fricative", PhoneClass::Fricative}, {"stop", PhoneClass::Stop},     {"affricate", PhoneClass::Affricate},
    {"aspirate", PhoneClass::Aspirate},
};

bool classFromName(std::string_view name, PhoneClass& cls) {
  for (const auto& c : kClassNames)
    if (name == c.name) {
      cls = c.cls;
      return true;
    }
  return false;
}

std::string lowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// Names the diphone list can hold: letters, "@", "2" and "_".
bool validPhoneName(std::string_view name) {
  if (name.empty() || name.size() > 8) return false;
  for (char c : name) {
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!letter && c != '@' && c != '2' && c != '_') return false;
  }
  return true;
}

bool readNumber(std::string_view text, float lo, float hi, float& out) {
  std::string s(text);
  char* end = nullptr;
  double v = std::strtod(s.c_str(), &end);
  if (s.empty() || *end != '\0' || !std::isfinite(v) || v < lo || v > hi) return false;
  out = static_cast<float>(v);
  return true;
}

struct Field {
  std::string key, value;
};

// Parse state shared by the statements of one file.
struct Loader {
  Voice voice;
  std::map<PhoneClass, PhoneDef> classDefaults;
  std::vector<std::pair<int, std::string>> voicedNames;  // phone, name
  int lineNo = 0;
  std::string error;

  bool fail(const std::string& why) {
    error = "line " + std::to_string(lineNo) + ": " + why;
    return false;
  }
};

bool splitFields(Loader& ld, const std::vector<std::string>& words, size_t from, std::vector<Field>& out) {
  for (size_t i = from; i < words.size(); ++i) {
    size_t eq = words[i].find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == words[i].size())
      return ld.fail("expected key=value, got '" + words[i] + "'");
    out.push_back({lowerCase(words[i].substr(0, eq)), words[i].substr(eq + 1)});
  }
  return true;
}

// Applies one phoneme field; the caller has already handled like=.
bool applyPhoneField(Loader& ld, PhoneDef& def, const Field& f) {
  static const std::map<std::string, Track> tracks = {{"f1", kF1}, {"f2", kF2}, {"f3", kF3},   {"b1", kB1},
                                                      {"b2", kB2}, {"b3", kB3}, {"fnp", kFnp}, {"fnz", kFnz}};
  static const std::map<std::string, Amp> amps = {{"av", kAv}, {"ah", kAh}, {"af", kAf}, {"a2", kA2}, {"a3", kA3},
                                                  {"a4", kA4}, {"a5", kA5}, {"a6", kA6}, {"ab", kAb}};
  float v = 0;
  auto number = [&](float lo, float hi) {
    if (readNumber(f.value, lo, hi, v)) return true;
    return ld.fail("bad value for " + f.key + ": '" + f.value + "'");
  };
  if (auto t = tracks.find(f.key); t != tracks.end()) {
    bool bw = f.key[0] == 'b';
    if (!number(bw ? 10 : 50, bw ? 3000 : 7900)) return false;
    def.target[t->second] = v;
  } else if (auto a = amps.find(f.key); a != amps.end()) {
    if (!number(0, 80)) return false;
    def.amp[a->second] = dbToLinear(v);
  } else if (f.key == "rank") {
    if (!number(0, 9)) return false;
    def.rank = static_cast<int>(v);
  } else if (f.key == "tin" || f.key == "tout" || f.key == "burst" || f.key == "vot") {
    if (!number(0, 500)) return false;
    float& dst = f.key == "tin" ? def.tinMs : f.key == "tout" ? def.toutMs : f.key == "burst" ? def.burstMs : def.votMs;
    dst = v;
  } else if (f.key == "ext" || f.key == "ext1" || f.key == "closure") {
    if (!number(0, 100)) return false;
    (f.key == "ext" ? def.ext : f.key == "ext1" ? def.ext1 : def.closure) = v / 100;
  } else if (f.key == "voicebar") {
    if (!number(0, 80)) return false;
    def.voicebar = dbToLinear(v);
  } else if (f.key == "dip") {
    if (!number(0, 60)) return false;
    def.dip = std::pow(10.0f, -v / 20);
  } else if (f.key == "inherit") {
    if (f.value != "0" && f.value != "1") return ld.fail("inherit must be 0 or 1");
    def.inherit = f.value == "1";
  } else if (f.key == "voiced") {
    ld.voicedNames.push_back({static_cast<int>(ld.voice.phones.size()), f.value});
  } else {
    return ld.fail("unknown field '" + f.key + "'");
  }
  return true;
}

bool applyFields(Loader& ld, PhoneDef& def, const std::vector<Field>& fields) {
  for (const Field& f : fields)
    if (f.key != "like" && !applyPhoneField(ld, def, f)) return false;
  return true;
}

PhoneDef classDefault(Loader& ld, PhoneClass cls) {
  auto it = ld.classDefaults.find(cls);
  if (it != ld.classDefaults.end()) return it->second;
  PhoneDef def;
  def.cls = cls;
  def.target = {500, 1500, 2500, 80, 100, 150, kOralNasal, kOralNasal};
  def.amp[kGate] = cls == PhoneClass::Silence ? 0 : 1;
  return def;
}

bool classStatement(Loader& ld, const std::vector<std::string>& words) {
  PhoneClass cls;
  if (words.size() < 2 || !classFromName(lowerCase(words[1]), cls)) return ld.fail("unknown class");
  std::vector<Field> fields;
  if (!splitFields(ld, words, 2, fields)) return false;
  for (const Field& f : fields)
    if (f.key == "like" || f.key == "voiced") return ld.fail(f.key + "= belongs to a phoneme, not a class");
  PhoneDef def = classDefault(ld, cls);
  if (!applyFields(ld, def, fields)) return false;
  ld.classDefaults[cls] = def;
  return true;
}

bool phonemeStatement(Loader& ld, const std::vector<std::string>& words) {
  if (words.size() < 3) return ld.fail("phoneme needs a name and a class");
  const std::string& name = words[1];
  if (!validPhoneName(name)) return ld.fail("bad phoneme name '" + name + "'");
  if (findPhone(ld.voice, name) >= 0) return ld.fail("phoneme '" + name + "' defined twice");
  PhoneClass cls;
  if (!classFromName(lowerCase(words[2]), cls)) return ld.fail("unknown class '" + words[2] + "'");
  std::vector<Field> fields;
  if (!splitFields(ld, words, 3, fields)) return false;
  PhoneDef def = classDefault(ld, cls);
  for (const Field& f : fields) {
    if (f.key != "like") continue;
    int other = findPhone(ld.voice, f.value);
    if (other < 0) return ld.fail("like= names an unknown phoneme '" + f.value + "'");
    def = ld.voice.phones[other];
    def.voicedAlt = -1;
  }
  def.cls = cls;
  def.amp[kGate] = cls == PhoneClass::Silence ? 0 : 1;
  if (!applyFields(ld, def, fields)) return false;
  def.name = name;
  if (cls == PhoneClass::Silence && lowerCase(name) == "_") ld.voice.silence = static_cast<int>(ld.voice.phones.size());
  ld.voice.phones.push_back(def);
  return true;
}

bool settingFields(Loader& ld, const std::vector<std::string>& words, const std::vector<std::pair<const char*, float*>>& keys,
                   float lo, float hi) {
  std::vector<Field> fields;
  if (!splitFields(ld, words, 1, fields)) return false;
  for (const Field& f : fields) {
    float* dst = nullptr;
    for (const auto& [k, p] : keys)
      if (f.key == k) dst = p;
    if (!dst) return ld.fail("unknown field '" + f.key + "'");
    if (!readNumber(f.value, lo, hi, *dst)) return ld.fail("bad value for " + f.key);
  }
  return true;
}

bool singleNumber(Loader& ld, const std::vector<std::string>& words, float lo, float hi, float& out) {
  if (words.size() != 2 || !readNumber(words[1], lo, hi, out)) return ld.fail("bad " + words[0] + " value");
  return true;
}

bool statement(Loader& ld, const std::vector<std::string>& words) {
  std::string kw = lowerCase(words[0]);
  Voice& v = ld.voice;
  if (kw == "voice") {
    if (words.size() != 2) return ld.fail("voice needs one name");
    v.name = words[1];
    return true;
  }
  if (kw == "pitch") return singleNumber(ld, words, 40, 1000, v.pitch);
  if (kw == "gain") return singleNumber(ld, words, 0.0001f, 100, v.gain);
  if (kw == "source") {
    SourceShape& s = v.source;
    if (!settingFields(ld, words, {{"oq", &s.openQuotient}, {"tilt", &s.tilt}, {"breath", &s.breath}, {"jitter", &s.jitter}, {"shimmer", &s.shimmer},
                                     {"emphasis", &s.emphasis}},
                       0, 1))
      return false;
    if (s.jitter > 0.05f || s.shimmer > 0.5f) return ld.fail("jitter above 0.05 or shimmer above 0.5");
    if (s.openQuotient < 0.2f || s.openQuotient > 0.9f) return ld.fail("oq must lie between 0.2 and 0.9");
    if (s.emphasis > 0.9f) return ld.fail("emphasis above 0.9");
    return true;
  }
  if (kw == "fixed") {
    FixedFormants& x = v.fixed;
    return settingFields(ld, words,
                         {{"f4", &x.f4}, {"b4", &x.b4}, {"f5", &x.f5}, {"b5", &x.b5}, {"f6", &x.f6}, {"b6", &x.b6},
                          {"bnp", &x.bnp}, {"bnz", &x.bnz}},
                         10, 7900);
  }
  if (kw == "parallel") {
    auto& b = v.fixed.parallelBw;
    return settingFields(ld, words, {{"b2", &b[0]}, {"b3", &b[1]}, {"b4", &b[2]}, {"b5", &b[3]}, {"b6", &b[4]}}, 10, 4000);
  }
  if (kw == "class") return classStatement(ld, words);
  if (kw == "phoneme") return phonemeStatement(ld, words);
  return ld.fail("unknown statement '" + words[0] + "'");
}

bool resolveVoicedNames(Loader& ld) {
  for (const auto& [phone, name] : ld.voicedNames) {
    int alt = findPhone(ld.voice, name);
    if (alt < 0) {
      ld.error = "phoneme " + ld.voice.phones[phone].name + ": voiced= names an unknown phoneme '" + name + "'";
      return false;
    }
    ld.voice.phones[phone].voicedAlt = alt;
  }
  return true;
}

std::vector<std::string> words(const std::string& line) {
  std::string text = line.substr(0, line.find(';'));
  std::istringstream in(text);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

}  // namespace

float dbToLinear(float db) { return db <= 0 ? 0.0f : std::pow(10.0f, (db - 60) / 20); }

int findPhone(const Voice& voice, std::string_view name) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (size_t i = 0; i < voice.phones.size(); ++i) {
    const std::string& n = voice.phones[i].name;
    if (n.size() != name.size()) continue;
    size_t k = 0;
    while (k < n.size() && lower(n[k]) == lower(name[k])) ++k;
    if (k == n.size()) return static_cast<int>(i);
  }
  return -1;
}

bool isVoicedConsonant(const PhoneDef& def) {
  switch (def.cls) {
    case PhoneClass::Nasal:
    case PhoneClass::Liquid:
    case PhoneClass::Tap: return true;
    case PhoneClass::Stop:
    case PhoneClass::Fricative:
    case PhoneClass::Affricate: return def.amp[kAv] > 0 || def.voicebar > 0;
    default: return false;
  }
}

bool loadVoice(const std::string& path, Voice& voice, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot open voice file " + path;
    return false;
  }
  Loader ld;
  for (std::string line; std::getline(in, line);) {
    ++ld.lineNo;
    auto w = words(line);
    if (!w.empty() && !statement(ld, w)) {
      error = path + " " + ld.error;
      return false;
    }
  }
  if (!resolveVoicedNames(ld)) {
    error = path + ": " + ld.error;
    return false;
  }
  if (ld.voice.silence < 0) {
    error = path + ": no silence phoneme \"_\"";
    return false;
  }
  voice = std::move(ld.voice);
  return true;
}

}  // namespace varlo
