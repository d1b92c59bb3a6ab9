#include "zynfile/zyn_error.h"

const char* VZynErrorText(int code) {
  static const char* const kTexts[] = {
      "File is corrupted",
      "File version is not supported yet",
      "File version is not supported anymore",
      "File not opened",
      "File not created",
      "Directory not created",
      "CRC check failed",
      "Section does not exist",
      "Operation canceled",
      "Count error",
      "Invalid data",
      "No space left on device",
      "Read error",
      "File is password protected",
  };
  if (code < 0 || code >= static_cast<int>(sizeof kTexts / sizeof kTexts[0])) return "";
  return kTexts[code];
}
