// The movie framework's basic types, constants and error codes, as the
// component and the player use them. Values are the framework's own: code
// built against this header behaves as code built against the framework's
// headers, for the routines this layer provides.
//
// Byte order: values are held in the processor's own order, as the framework
// holds them in memory. Four-character codes are 32-bit numbers whose first
// character is the most significant byte ('vzyn' == FOUR_CHAR_CODE("vzyn")).
#pragma once

#include <cstdint>

// --- Scalars -----------------------------------------------------------------

using OSErr = std::int16_t;          // framework error code (16-bit)
using OSStatus = std::int32_t;       // 32-bit status
using ComponentResult = std::int32_t;  // result of a component call (32-bit)
using OSType = std::uint32_t;        // four-character code
using FourCharCode = std::uint32_t;
using ResType = std::uint32_t;
using Boolean = unsigned char;       // 0 false, anything else true
using Byte = std::uint8_t;
using SInt8 = std::int8_t;
using UInt8 = std::uint8_t;
using SInt16 = std::int16_t;
using UInt16 = std::uint16_t;
using SInt32 = std::int32_t;
using UInt32 = std::uint32_t;
using Size = std::int32_t;           // byte count of a handle or pointer block
using Ptr = char*;                   // pointer to a block of bytes
using Handle = char**;               // relocatable block: pointer to its master pointer
using StringPtr = unsigned char*;    // length-prefixed (Pascal) string
using ConstStringPtr = const unsigned char*;
using Str255 = unsigned char[256];
using Fixed = std::int32_t;          // 16.16 fixed point
using Fract = std::int32_t;          // 2.30 fixed point
using TimeValue = std::int32_t;      // time in a time scale's units
using TimeScale = std::int32_t;      // units per second
using Style = unsigned char;         // text face bits (see below)
using StyleParameter = std::int16_t;

// Builds a four-character code from its four characters, first character
// in the most significant byte.
constexpr OSType FOUR_CHAR_CODE(const char (&chars)[5]) {
  return (static_cast<OSType>(static_cast<unsigned char>(chars[0])) << 24) |
         (static_cast<OSType>(static_cast<unsigned char>(chars[1])) << 16) |
         (static_cast<OSType>(static_cast<unsigned char>(chars[2])) << 8) |
         static_cast<OSType>(static_cast<unsigned char>(chars[3]));
}

// --- Fixed point -------------------------------------------------------------

constexpr Fixed fixed1 = 0x00010000;  // 1.0 in 16.16

// Integer → Fixed. Values outside the 16-bit integer range are clamped.
constexpr Fixed IntToFixed(long value) {
  return value > 32767 ? Fixed(0x7FFFFFFF) : value < -32768 ? Fixed(-0x7FFFFFFF - 1) : Fixed(value * 65536L);
}
// Fixed → integer, truncating towards negative infinity (the integer part).
constexpr std::int32_t FixedToInt(Fixed value) { return value >> 16; }
// Fixed → nearest integer (halves round up), as the framework's FixRound.
constexpr std::int16_t FixRound(Fixed value) {
  return static_cast<std::int16_t>((static_cast<std::int64_t>(value) + 0x8000) >> 16);
}
// double → Fixed, rounding to the nearest 1/65536 and clamping to the range.
constexpr Fixed FloatToFixed(double value) {
  return value >= 32768.0 ? Fixed(0x7FFFFFFF)
         : value < -32768.0 ? Fixed(-0x7FFFFFFF - 1)
         : Fixed(value * 65536.0 + (value < 0 ? -0.5 : 0.5));
}
constexpr double FixedToFloat(Fixed value) { return static_cast<double>(value) / 65536.0; }

// --- Geometry and colour -----------------------------------------------------

// Point and rectangle: vertical coordinate first, as the framework lays them
// out. A rectangle covers the pixels from (left, top) up to, not including,
// (right, bottom); it is empty when bottom <= top or right <= left.
struct Point {
  std::int16_t v = 0;
  std::int16_t h = 0;
};
struct Rect {
  std::int16_t top = 0;
  std::int16_t left = 0;
  std::int16_t bottom = 0;
  std::int16_t right = 0;
};

// Colour with 16-bit components (0 to 65535).
struct RGBColor {
  std::uint16_t red = 0;
  std::uint16_t green = 0;
  std::uint16_t blue = 0;
};

// 3 × 3 transform: points are row vectors (x, y, 1) multiplied on the left;
// matrix[0..1][0..1] and the translation matrix[2][0..1] are Fixed,
// matrix[0..1][2] are Fract (2.30) and matrix[2][2] is Fract (1.0 = 0x40000000).
struct MatrixRecord {
  Fixed matrix[3][3] = {{fixed1, 0, 0}, {0, fixed1, 0}, {0, 0, 0x40000000}};
};

// --- Text face bits ----------------------------------------------------------

enum : Style {
  normal = 0,
  bold = 0x01,
  italic = 0x02,
  underline = 0x04,
  outline = 0x08,
  shadow = 0x10,
  condense = 0x20,
  extend = 0x40,
};

// --- Error codes -------------------------------------------------------------

enum : OSErr {
  noErr = 0,
  ioErr = -36,                  // a file read failed
  eofErr = -39,                 // a read reaches past the end of the file
  fnfErr = -43,                 // the file does not exist
  paramErr = -50,               // a parameter is missing or out of range
  memFullErr = -108,            // not enough memory (or a size refused)
  nilHandleErr = -109,          // a handle is null or not a live handle
  userCanceledErr = -128,       // the operation was cancelled
  couldNotResolveDataRef = -2000,
  cantOpenHandler = -2004,      // a media handler cannot be opened
  invalidMedia = -2008,         // not a live media
  invalidTrack = -2009,         // not a live track
  invalidMovie = -2010,         // not a live movie
  invalidDataRef = -2012,       // a data reference that cannot be read
  invalidDuration = -2014,      // a duration out of range
  invalidTime = -2015,          // a time out of range
  mediaTypesDontMatch = -2018,  // segments moved between media of different types
  dataNotOpenForRead = -2042,   // the data handler is not open for reading
  dataNoDataRef = -2047,        // the data handler has no data reference
  noMovieFound = -2048,         // the file holds no movie (not a sound file)
  badDataRefIndex = -2050,      // no data reference at that index
  notEnoughDataErr = -2149,     // the data handler has not got all bytes yet
};

// Component Manager results (32-bit).
constexpr ComponentResult badComponentInstance = static_cast<ComponentResult>(0x80008001u);
constexpr ComponentResult badComponentSelector = static_cast<ComponentResult>(0x80008002u);
