#include "render/image/jpeg_reader.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

namespace {

// Progressive files may hold many scans; each pass over the coefficients
// costs a full image, so a file with more than this many is refused.
constexpr int kMaxScans = 256;

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

void ErrorExit(j_common_ptr info) {
  ErrorManager* errors = reinterpret_cast<ErrorManager*>(info->err);
  std::longjmp(errors->jump, 1);
}

void OutputMessage(j_common_ptr) {}

// Warnings are tolerated, except the end of the data before the image is
// complete: a truncated file fails like any other short read.
void EmitMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) ErrorExit(info);
  if (level < 0) info->err->num_warnings++;
}

// Errors jump back to the caller's frame; messages are silenced.
jpeg_error_mgr* InstallErrors(ErrorManager& errors) {
  jpeg_error_mgr* base = jpeg_std_error(&errors.base);
  base->error_exit = ErrorExit;
  base->output_message = OutputMessage;
  base->emit_message = EmitMessage;
  return base;
}

struct Progress {
  jpeg_progress_mgr base;
};

void CheckProgress(j_common_ptr info) {
  if (info->is_decompressor) {
    j_decompress_ptr d = reinterpret_cast<j_decompress_ptr>(info);
    if (d->input_scan_number > kMaxScans) ErrorExit(info);
  }
}

// Kept apart from the caller so that no object with a destructor lives in
// the frame that the error jump returns to.
bool DecodeJpeg(const uint8_t* data, size_t size, VImage* image) {
  jpeg_decompress_struct info;
  ErrorManager errors;
  Progress progress;
  std::memset(&info, 0, sizeof info);
  info.err = InstallErrors(errors);
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  progress.base.progress_monitor = CheckProgress;
  info.progress = &progress.base;
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_RGB;
  jpeg_calc_output_dimensions(&info);
  if (info.output_components != 3 ||
      !image->Allocate(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                       VImage::kLayoutRGB)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_start_decompress(&info);
  while (info.output_scanline < info.output_height) {
    // Lines are stored from the last row upward: the first decoded (top)
    // line becomes the buffer's last row.
    JSAMPROW row = image->GetRow(static_cast<int>(info.output_height - 1 - info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

bool EncodeJpeg(const uint8_t* rgb, int width, int height, int quality, unsigned char** buffer,
                unsigned long* length) {
  jpeg_compress_struct info;
  ErrorManager errors;
  std::memset(&info, 0, sizeof info);
  info.err = InstallErrors(errors);
  if (setjmp(errors.jump)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, buffer, length);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  const size_t stride = static_cast<size_t>(width) * 3;
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb + stride * info.next_scanline);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

bool VImageStreamJPG::Decode(const uint8_t* data, size_t size, VImage& image) {
  if (size == 0) return false;
  return DecodeJpeg(data, size, &image);
}

bool VImageStreamJPG::Encode(const VImage& image, int quality, std::vector<uint8_t>* out) {
  out->clear();
  if (image.IsEmpty()) return false;
  std::vector<uint8_t> rgb(static_cast<size_t>(image.GetWidth()) * 3 * image.GetHeight());
  // The buffer's last row is the file's first line.
  for (int y = 0; y < image.GetHeight(); ++y) {
    VImage::ConvertPixels(image.GetRow(image.GetHeight() - 1 - y), image.GetLayout(), image.GetWidth(),
                          rgb.data() + static_cast<size_t>(y) * image.GetWidth() * 3, VImage::kLayoutRGB);
  }
  unsigned char* buffer = nullptr;
  unsigned long length = 0;
  const bool ok = EncodeJpeg(rgb.data(), image.GetWidth(), image.GetHeight(), quality, &buffer, &length);
  if (ok && buffer) out->assign(buffer, buffer + length);
  std::free(buffer);
  return ok && !out->empty();
}
