#pragma once
// YrDeviceKeyboardKey: the keys that keyboard trigger devices know, as the
// engine numbers them.

namespace YrSDK {

enum YrDeviceKeyboardKey : int {
  kYrKeyPageUp = 0,
  kYrKeyPageDown = 1,
  kYrKeyEnd = 2,
  kYrKeyHome = 3,
  kYrKeyLeft = 4,
  kYrKeyUp = 5,
  kYrKeyRight = 6,
  kYrKeyDown = 7,
  kYrKeyReturn = 8,
  kYrKeyEscape = 9,
  kYrKeySpace = 10,
  kYrKey1 = 11,  // 1 to 9: 11 to 19
  kYrKey9 = 19,
  kYrKey0 = 20,
  kYrKeyF1 = 21,  // F1 to F12: 21 to 32
  kYrKeyF12 = 32,
  kYrKeyCount = 33,
};

}  // namespace YrSDK
