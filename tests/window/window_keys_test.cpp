// The window's key and mouse events as the console's key codes: extended
// keys with their modifiers, Alt codes, the braille keys and their modes,
// typed text, and the click that only brought the window to the front.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/braille_keyboard.h"
#include "frontends/window_state.h"

namespace varlo {
namespace {

SDL_KeyboardEvent keyEvent(SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
  SDL_KeyboardEvent e{};
  e.keysym.sym = sym;
  e.keysym.scancode = SDL_GetScancodeFromKey(sym);
  e.keysym.mod = mod;
  return e;
}

void press(SDL_Keycode sym, Uint16 mod = KMOD_NONE) { handleKeyDown(keyEvent(sym, mod)); }
void release(SDL_Keycode sym, Uint16 mod = KMOD_NONE) { handleKeyUp(keyEvent(sym, mod)); }

std::vector<int> queued() {
  std::vector<int> out;
  while (queuedKeyCount() > 0) out.push_back(readKey());
  return out;
}

class WindowKeys : public ::testing::Test {
 protected:
  void SetUp() override {
    setBrailleToneHooks(nullptr, nullptr);
    setBrailleMode(0);
    flushKeyQueue();
    windowState() = WindowState{};
  }
  void TearDown() override { setBrailleMode(0); }
};

TEST_F(WindowKeys, ExtendedKeysCarryTheirModifiers) {
  press(SDLK_F1);
  press(SDLK_UP, KMOD_LCTRL);
  press(SDLK_INSERT, KMOD_LSHIFT);
  press(SDLK_INSERT, KMOD_LCTRL);
  press(SDLK_KP_8);                  // keypad arrow with Num Lock off
  EXPECT_EQ(queued(), (std::vector<int>{0, 59, 0, 113, 0, 254, 0, 255, 0, 72}));
  press(SDLK_KP_8, KMOD_NUM);        // a digit, which comes as text
  EXPECT_EQ(queued(), std::vector<int>{});
}

TEST_F(WindowKeys, ByteKeysAndTypedText) {
  press(SDLK_RETURN);
  press(SDLK_RETURN, KMOD_LCTRL);
  press(SDLK_BACKSPACE);
  press(SDLK_BACKSPACE, KMOD_RCTRL);
  press(SDLK_c, KMOD_LCTRL);
  handleTextInput("c");              // the text of Ctrl+C is not typed
  press(SDLK_a);
  handleTextInput("ação");
  EXPECT_EQ(queued(), (std::vector<int>{13, 10, 8, 127, 3, 'a', 0xE7, 0xE3, 'o'}));
}

TEST_F(WindowKeys, AltGivesItsCodesAndLeavesOtherKeysToTheDesktop) {
  press(SDLK_b, KMOD_LALT);
  handleTextInput("b");
  press(SDLK_0, KMOD_LALT);
  press(SDLK_F4, KMOD_LALT);
  press(SDLK_LEFT, KMOD_LALT);
  EXPECT_EQ(queued(), (std::vector<int>{0, 48, 0, 129, 0, 75}));
}

TEST_F(WindowKeys, BrailleModeKeysAndChords) {
  press(SDLK_F11, KMOD_LCTRL | KMOD_LALT);
  EXPECT_EQ(brailleMode(), 1);
  press(SDLK_F11, KMOD_LCTRL | KMOD_LSHIFT);
  EXPECT_EQ(brailleMode(), 2);
  press(SDLK_F11, KMOD_LCTRL | KMOD_LALT);
  EXPECT_EQ(brailleMode(), 1) << "past mode 2 comes mode 1";
  // Dots 1 and 2 together: b; their letters type nothing themselves.
  press(SDLK_f);
  press(SDLK_d);
  handleTextInput("fd");
  release(SDLK_f);
  release(SDLK_d);
  handleTextInput("1");              // digits still type
  press(SDLK_F12, KMOD_LCTRL | KMOD_LALT);
  EXPECT_EQ(brailleMode(), 0);
  press(SDLK_f);
  handleTextInput("f");
  EXPECT_EQ(queued(), (std::vector<int>{'b', '1', 'f'}));
  EXPECT_EQ(queued(), std::vector<int>{});
}

TEST_F(WindowKeys, TheClickThatFocusedTheWindowIsNoKey) {
  SDL_MouseButtonEvent click{};
  click.button = SDL_BUTTON_LEFT;
  windowState().ignoreNextClick = true;
  handleMouseButton(click);
  handleMouseButton(click);
  click.button = SDL_BUTTON_MIDDLE;
  handleMouseButton(click);
  SDL_MouseWheelEvent wheel{};
  wheel.y = -1;
  handleMouseWheel(wheel);
  wheel.y = 0;
  handleMouseWheel(wheel);
  EXPECT_EQ(queued(), (std::vector<int>{13, 0, 67, 0, 80}));
}

}  // namespace
}  // namespace varlo
