#include "tools/zynplay/window_keys.h"

#include "host/media_handler_records.h"

namespace zynplay {
namespace {

struct KeyCode {
  SDL_Keycode key;
  int code;
};

// Virtual-key codes of the keys that are not letters or digits.
constexpr KeyCode kVirtualKeys[] = {
    {SDLK_BACKSPACE, 8},  {SDLK_TAB, 9},       {SDLK_RETURN, 13},    {SDLK_KP_ENTER, 13},  {SDLK_LSHIFT, 16},
    {SDLK_RSHIFT, 16},    {SDLK_LCTRL, 17},    {SDLK_RCTRL, 17},     {SDLK_LALT, 18},      {SDLK_RALT, 18},
    {SDLK_PAUSE, 19},     {SDLK_CAPSLOCK, 20}, {SDLK_ESCAPE, 27},    {SDLK_SPACE, 32},     {SDLK_PAGEUP, 33},
    {SDLK_PAGEDOWN, 34},  {SDLK_END, 35},      {SDLK_HOME, 36},      {SDLK_LEFT, 37},      {SDLK_UP, 38},
    {SDLK_RIGHT, 39},     {SDLK_DOWN, 40},     {SDLK_INSERT, 45},    {SDLK_DELETE, 46},    {SDLK_KP_MULTIPLY, 106},
    {SDLK_KP_PLUS, 107},  {SDLK_KP_MINUS, 109}, {SDLK_KP_PERIOD, 110}, {SDLK_KP_DIVIDE, 111}, {SDLK_SEMICOLON, 186},
    {SDLK_EQUALS, 187},   {SDLK_COMMA, 188},   {SDLK_MINUS, 189},    {SDLK_PERIOD, 190},   {SDLK_SLASH, 191},
    {SDLK_BACKQUOTE, 192}, {SDLK_LEFTBRACKET, 219}, {SDLK_BACKSLASH, 220}, {SDLK_RIGHTBRACKET, 221},
    {SDLK_QUOTE, 222},
};

// The framework's character codes of keys that type no printable character.
constexpr KeyCode kControlCharacters[] = {
    {SDLK_HOME, 1},     {SDLK_END, 4},      {SDLK_BACKSPACE, 8}, {SDLK_TAB, 9},    {SDLK_PAGEUP, 11},
    {SDLK_PAGEDOWN, 12}, {SDLK_RETURN, 13}, {SDLK_KP_ENTER, 13}, {SDLK_ESCAPE, 27}, {SDLK_LEFT, 28},
    {SDLK_RIGHT, 29},   {SDLK_UP, 30},      {SDLK_DOWN, 31},     {SDLK_DELETE, 127},
};

constexpr int kF1VirtualKey = 112;
constexpr int kKeypad0VirtualKey = 96;

}  // namespace

int VirtualKeyOf(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return kF1VirtualKey + (key - SDLK_F1);
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return kKeypad0VirtualKey + 1 + (key - SDLK_KP_1);
  if (key == SDLK_KP_0) return kKeypad0VirtualKey;
  for (const KeyCode& k : kVirtualKeys) {
    if (k.key == key) return k.code;
  }
  return 0;
}

int CharacterOf(SDL_Keycode key, Uint16 modifierKeys) {
  for (const KeyCode& k : kControlCharacters) {
    if (k.key == key) return k.code;
  }
  if (key >= SDLK_a && key <= SDLK_z) {
    const bool upper = ((modifierKeys & KMOD_SHIFT) != 0) != ((modifierKeys & KMOD_CAPS) != 0);
    return (upper ? 'A' : 'a') + (key - SDLK_a);
  }
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return '1' + (key - SDLK_KP_1);
  if (key == SDLK_KP_0) return '0';
  if (key >= 32 && key < 127) return static_cast<int>(key);  // printable: SDL's key code is the character
  return 0;
}

long EventModifiersOf(Uint16 modifierKeys) {
  long modifiers = 0;
  if ((modifierKeys & KMOD_SHIFT) != 0) modifiers |= shiftKey;
  if ((modifierKeys & KMOD_CTRL) != 0) modifiers |= cmdKey;
  if ((modifierKeys & KMOD_CAPS) != 0) modifiers |= alphaLock;
  if ((modifierKeys & KMOD_ALT) != 0) modifiers |= optionKey;
  return modifiers == 0 ? long{btnState} : modifiers;
}

}  // namespace zynplay
