#include "platform/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "platform/files.h"

namespace zor::png {
namespace {

// Everything libpng's callbacks touch; plain data, so that a long jump out of
// libpng skips no destructor.
struct Sink {
  std::vector<uint8_t>* out;
  char message[128];
};

void onError(png_structp p, png_const_charp text) {
  auto* sink = static_cast<Sink*>(png_get_error_ptr(p));
  if (sink) std::snprintf(sink->message, sizeof sink->message, "%s", text ? text : "PNG error");
  png_longjmp(p, 1);
}

void onWarning(png_structp, png_const_charp) {}

void onWrite(png_structp p, png_bytep data, png_size_t length) {
  auto* sink = static_cast<Sink*>(png_get_io_ptr(p));
  bool ok = true;
  try {
    sink->out->insert(sink->out->end(), data, data + length);
  } catch (...) {
    ok = false;
  }
  if (!ok) png_error(p, "out of memory");
}

void onFlush(png_structp) {}

bool validShift(int s) { return s == 0 || s == 8 || s == 16 || s == 24; }

bool encodeRows(const uint32_t* pixels, int width, int height, int pitch, PixelShifts shifts, uint8_t* row,
                Sink* sink) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, sink, onError, onWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, sink, onWrite, onFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    const uint32_t* src = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(pitch);
    for (int x = 0; x < width; ++x) {
      const uint32_t p = src[x];
      row[3 * x + 0] = static_cast<uint8_t>(p >> shifts.red);
      row[3 * x + 1] = static_cast<uint8_t>(p >> shifts.green);
      row[3 * x + 2] = static_cast<uint8_t>(p >> shifts.blue);
    }
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool encodePng(const uint32_t* pixels, int width, int height, int pitch, PixelShifts shifts,
               std::vector<uint8_t>& out, std::string* error) {
  out.clear();
  if (!pixels || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || pitch < width) {
    if (error) *error = "Bad image size";
    return false;
  }
  if (!validShift(shifts.red) || !validShift(shifts.green) || !validShift(shifts.blue)) {
    if (error) *error = "Bad pixel format";
    return false;
  }
  std::vector<uint8_t> row(static_cast<std::size_t>(width) * 3);
  Sink sink{&out, {0}};
  if (!encodeRows(pixels, width, height, pitch, shifts, row.data(), &sink)) {
    out.clear();
    if (error) *error = sink.message[0] ? sink.message : "PNG could not be written";
    return false;
  }
  return true;
}

bool writePng(const std::string& path, const uint32_t* pixels, int width, int height, int pitch, PixelShifts shifts,
              std::string* error) {
  std::vector<uint8_t> data;
  if (!encodePng(pixels, width, height, pitch, shifts, data, error)) return false;
  return files::writeFileAtomic(path, std::string_view(reinterpret_cast<const char*>(data.data()), data.size()), error);
}

}  // namespace zor::png
