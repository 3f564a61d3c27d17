// Shared set-up of the editor, menu and chooser tests: the headless console,
// a private settings file and letters directory holding a sound per letter,
// keys injected with the modifiers held with them, and a listener that
// writes down what was said. A beep empties the key queue and a pending key
// cuts spelling short, so keys meant to follow a sound are handed over as a
// batch that the listener injects when it hears that sound.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "base/config.h"
#include "console/console.h"
#include "widgets/field_editor_input.h"
#include "speech/speech.h"

namespace varlo::test {

namespace fs = std::filesystem;

struct Heard {
  std::string name;         // "_DEL", "_97", "<beep>", "<click>", "<words x>", "<joined>"
  std::string attributes;   // the screen's colours when it was heard, row by row
};

struct Trigger {
  std::string name;               // the sound that releases the keys
  std::function<void()> inject;
};

struct KeyScript {
  std::deque<uint8_t> modifiers;   // one per key read
  std::deque<Trigger> triggers;    // in order
  std::vector<Heard> heard;
};

inline KeyScript& script() {
  static KeyScript s;
  return s;
}

inline uint8_t nextModifiers() {
  auto& m = script().modifiers;
  if (m.empty()) return 0;
  uint8_t held = m.front();
  m.pop_front();
  return held;
}

inline std::string screenRow(int row) {
  std::string dump = screenDump();
  size_t start = 0;
  for (int r = 1; r < row; ++r) start = dump.find('\n', start) + 1;
  return dump.substr(start, dump.find('\n', start) - start);
}

// The colour of a cell in a screen's colours as heard.
inline uint8_t attributeAt(const std::string& attributes, int column, int row) {
  return static_cast<uint8_t>(attributes[(row - 1) * kColumns + column - 1]);
}

inline std::string soundName(SoundEvent event, std::string_view detail) {
  switch (event) {
    case SoundEvent::file: return fs::path(detail).stem().string();
    case SoundEvent::click: return "<click>";
    case SoundEvent::beep: return "<beep>";
    case SoundEvent::words: return "<words " + std::string(detail) + ">";
    case SoundEvent::joined: return "<joined>";
    case SoundEvent::pause: return "<pause>";
  }
  return "?";
}

inline void listen(SoundEvent event, std::string_view detail) {
  std::string attributes;
  for (int r = 1; r <= kRows; ++r)
    for (int c = 1; c <= kColumns; ++c) attributes += static_cast<char>(screenAttribute(c, r));
  std::string name = soundName(event, detail);
  script().heard.push_back({name, attributes});
  if (event == SoundEvent::beep) script().modifiers.clear();   // the key queue was emptied
  auto& triggers = script().triggers;
  if (!triggers.empty() && triggers.front().name == name) {
    auto inject = triggers.front().inject;
    triggers.pop_front();
    inject();
  }
}

// Keys to inject when a sound is heard (after the triggers before it).
inline void after(const std::string& name, std::function<void()> inject) {
  script().triggers.push_back({name, std::move(inject)});
}

// Plain keys, each read without modifiers.
inline void typeKeys(std::string_view bytes) {
  injectKeys(bytes);
  for (size_t i = 0; i < bytes.size(); ++i) script().modifiers.push_back(0);
}

inline void pressKey(uint8_t code, uint8_t modifiers = 0) {
  injectExtendedKey(code);
  script().modifiers.push_back(modifiers);
}

class ConsoleFixture : public ::testing::Test {
 protected:
  fs::path root, letters, sounds;

  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "varlo-editor-XXXXXX").string();
    root = mkdtemp(pattern.data());
    letters = root / "letras";
    sounds = root / "varlo";
    fs::create_directories(letters);
    fs::create_directories(sounds);
    fs::create_directories(root / "config" / "murena");
    std::ofstream(root / "config" / "murena" / "Murena.ini")
        << "[TRADUTOR]\nVELOCIDADE=3\nSAPI=NAO\nDIRLETRAS=" << letters.string()
        << "\n[MURENA]\nLEGADO=NAO\n";
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    setenv("VARLO_CONSOLE", "headless", 0);
    setenv("VARLO_AUDIO", "null", 0);
    reloadSettings();
    for (int c = 32; c < 256; ++c) addRecording("_" + std::to_string(c));
    static bool open = false;
    if (!open) openConsole();
    open = true;
    setWindow(1, 1, kColumns, kRows);
    setAttribute(0x07);
    clearWindow();
    flushKeyQueue();
    initSpeech(0, sounds.string());
    speechOptions() = SpeechOptions{};
    script() = KeyScript{};
    setSoundListener(listen);
    setModifierSource(nextModifiers);
  }

  void TearDown() override {
    EXPECT_TRUE(script().triggers.empty()) << "a scripted sound was never heard";
    setSoundListener(nullptr);
    setModifierSource(nullptr);
    shutdownSpeech();
    flushKeyQueue();
    fs::remove_all(root);
  }

  void addRecording(const std::string& name) {
    std::ofstream out(letters / (name + ".wav"), std::ios::binary);
    out << "RIFF";   // enough to exist; the null sink plays nothing
  }

  // What was heard, in order.
  std::vector<std::string> heardNames() const {
    std::vector<std::string> names;
    for (const Heard& h : script().heard) names.push_back(h.name);
    return names;
  }

  int heardCount(const std::string& name) const {
    int n = 0;
    for (const std::string& h : heardNames()) n += h == name;
    return n;
  }

  void clearHeard() { script().heard.clear(); }
};

// The letter sound's name of a character.
inline std::string letter(char c) { return "_" + std::to_string(static_cast<uint8_t>(c)); }

}  // namespace varlo::test
