// Window keys as the framework sees them: virtual keys for the keyboard
// hooks, character codes and modifiers for key events.

#include <gtest/gtest.h>

#if QTZYN_HAVE_SDL2
#include "tools/zynplay/window_keys.h"

namespace {

using namespace zynplay;

TEST(ZynplayKeys, VirtualKeysAreThoseOfTheEngineKeyTable) {
  EXPECT_EQ(VirtualKeyOf(SDLK_a), 'A');
  EXPECT_EQ(VirtualKeyOf(SDLK_z), 'Z');
  EXPECT_EQ(VirtualKeyOf(SDLK_0), 48);
  EXPECT_EQ(VirtualKeyOf(SDLK_9), 57);
  EXPECT_EQ(VirtualKeyOf(SDLK_PAGEUP), 33);
  EXPECT_EQ(VirtualKeyOf(SDLK_HOME), 36);
  EXPECT_EQ(VirtualKeyOf(SDLK_LEFT), 37);
  EXPECT_EQ(VirtualKeyOf(SDLK_DOWN), 40);
  EXPECT_EQ(VirtualKeyOf(SDLK_RETURN), 13);
  EXPECT_EQ(VirtualKeyOf(SDLK_ESCAPE), 27);
  EXPECT_EQ(VirtualKeyOf(SDLK_SPACE), 32);
  EXPECT_EQ(VirtualKeyOf(SDLK_F1), 112);
  EXPECT_EQ(VirtualKeyOf(SDLK_F12), 123);
  EXPECT_EQ(VirtualKeyOf(SDLK_LSHIFT), 16);
  EXPECT_EQ(VirtualKeyOf(SDLK_RCTRL), 17);
  EXPECT_EQ(VirtualKeyOf(SDLK_KP_0), 96);
  EXPECT_EQ(VirtualKeyOf(SDLK_APPLICATION), 0) << "a key without a virtual key";
}

TEST(ZynplayKeys, CharactersFollowShiftAndCapsLockAndModifiersAreTheFrameworksBits) {
  EXPECT_EQ(CharacterOf(SDLK_d, KMOD_NONE), 'd');
  EXPECT_EQ(CharacterOf(SDLK_d, KMOD_LSHIFT), 'D');
  EXPECT_EQ(CharacterOf(SDLK_d, KMOD_CAPS), 'D');
  EXPECT_EQ(CharacterOf(SDLK_d, KMOD_CAPS | KMOD_RSHIFT), 'd');
  EXPECT_EQ(CharacterOf(SDLK_SPACE, KMOD_NONE), 32);
  EXPECT_EQ(CharacterOf(SDLK_LEFT, KMOD_NONE), 28);
  EXPECT_EQ(CharacterOf(SDLK_RIGHT, KMOD_NONE), 29);
  EXPECT_EQ(CharacterOf(SDLK_UP, KMOD_NONE), 30);
  EXPECT_EQ(CharacterOf(SDLK_DOWN, KMOD_NONE), 31);
  EXPECT_EQ(CharacterOf(SDLK_HOME, KMOD_NONE), 1);
  EXPECT_EQ(CharacterOf(SDLK_END, KMOD_NONE), 4);
  EXPECT_EQ(CharacterOf(SDLK_ESCAPE, KMOD_NONE), 27);
  EXPECT_EQ(CharacterOf(SDLK_F3, KMOD_NONE), 0) << "a key that types nothing";

  EXPECT_EQ(EventModifiersOf(KMOD_NONE), 0x80);
  EXPECT_EQ(EventModifiersOf(KMOD_NUM), 0x80) << "Num Lock is no modifier key";
  EXPECT_EQ(EventModifiersOf(KMOD_LSHIFT), 0x200);
  EXPECT_EQ(EventModifiersOf(KMOD_RCTRL), 0x100);
  EXPECT_EQ(EventModifiersOf(KMOD_CAPS), 0x400);
  EXPECT_EQ(EventModifiersOf(KMOD_LSHIFT | KMOD_LCTRL), 0x300);
}

}  // namespace
#endif
