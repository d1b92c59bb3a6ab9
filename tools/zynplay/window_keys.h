#pragma once
// SDL keys as the framework sees them: the Windows virtual-key code that a
// keyboard hook receives, the character code of a 'key ' event and the
// event modifiers.

#include <SDL.h>

namespace zynplay {

// The virtual-key code of an SDL key; 0 for a key without one.
int VirtualKeyOf(SDL_Keycode key);
// The character code of a 'key ' event for the key with the modifier keys
// held: letters follow Shift and Caps Lock, control keys have the
// framework's codes (Return 13, Escape 27, arrows 28 to 31, ...); 0 for a
// key that types nothing.
int CharacterOf(SDL_Keycode key, Uint16 modifierKeys);
// Event modifiers: btnState (0x80) alone when no modifier key is down, else
// shiftKey, cmdKey (Ctrl), alphaLock (Caps Lock) and optionKey (Alt).
long EventModifiersOf(Uint16 modifierKeys);

}  // namespace zynplay
