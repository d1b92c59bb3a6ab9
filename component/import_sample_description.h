// The sample description of an imported track: the framework's image
// description layout, 86 bytes, each field in the processor's own byte
// order as the framework holds descriptions in memory.
#pragma once

#include <cstddef>

#include "host/mac_types.h"

namespace qtzyn {

constexpr Size kImportDescriptionSize = 86;
constexpr OSType kZynMediaType = FOUR_CHAR_CODE("vzyn");

// Field offsets (the fields not listed are reserved or zero).
namespace import_description {
constexpr std::size_t kDescriptionSize = 0;
constexpr std::size_t kDataFormat = 4;
constexpr std::size_t kDataReferenceIndex = 14;
constexpr std::size_t kVersion = 16;
constexpr std::size_t kRevisionLevel = 18;
constexpr std::size_t kVendor = 20;
constexpr std::size_t kTemporalQuality = 24;
constexpr std::size_t kSpatialQuality = 28;
constexpr std::size_t kWidth = 32;
constexpr std::size_t kHeight = 34;
constexpr std::size_t kHorizontalResolution = 36;
constexpr std::size_t kVerticalResolution = 40;
constexpr std::size_t kDataSize = 44;
constexpr std::size_t kFrameCount = 48;
constexpr std::size_t kName = 50;  // a length byte and up to 31 characters
constexpr std::size_t kDepth = 82;
constexpr std::size_t kColorTableId = 84;
}  // namespace import_description

constexpr Fixed kScreenResolution = 0x00480000;  // 72.0 dots per inch
constexpr SInt16 kDescriptionDepth = 32;
constexpr SInt16 kNoColorTable = -1;

// Fills `bytes` (kImportDescriptionSize bytes, cleared by the caller) for a
// track of the given size whose one sample holds `dataSize` bytes and lasts
// `duration` media units (the frame count keeps its low 16 bits).
void FillImportDescription(char* bytes, SInt32 width, SInt32 height, SInt32 dataSize, SInt32 duration);

}  // namespace qtzyn
