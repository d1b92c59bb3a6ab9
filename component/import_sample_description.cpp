#include "component/import_sample_description.h"

#include <cstring>

namespace qtzyn {
namespace {

template <typename T>
void Put(char* bytes, std::size_t offset, T value) {
  std::memcpy(bytes + offset, &value, sizeof value);
}

}  // namespace

void FillImportDescription(char* bytes, SInt32 width, SInt32 height, SInt32 dataSize, SInt32 duration) {
  namespace d = import_description;
  Put<SInt32>(bytes, d::kDescriptionSize, kImportDescriptionSize);
  Put<OSType>(bytes, d::kDataFormat, kZynMediaType);
  Put<SInt16>(bytes, d::kWidth, static_cast<SInt16>(width));
  Put<SInt16>(bytes, d::kHeight, static_cast<SInt16>(height));
  Put<Fixed>(bytes, d::kHorizontalResolution, kScreenResolution);
  Put<Fixed>(bytes, d::kVerticalResolution, kScreenResolution);
  Put<SInt32>(bytes, d::kDataSize, dataSize);
  Put<UInt16>(bytes, d::kFrameCount, static_cast<UInt16>(duration & 0xFFFF));
  Put<SInt16>(bytes, d::kDepth, kDescriptionDepth);
  Put<SInt16>(bytes, d::kColorTableId, kNoColorTable);
}

}  // namespace qtzyn
