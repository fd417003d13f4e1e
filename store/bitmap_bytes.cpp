#include "store/bitmap_bytes.h"

#include <cstring>

namespace {

uint32_t U32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace

bool IsUsableBitmapImage(const uint8_t* data, size_t size) {
  constexpr size_t kFileHeader = 14;
  if (data == nullptr || size < kFileHeader + 12) return false;
  if (data[0] != 'B' || data[1] != 'M') return false;
  const uint32_t pixelOffset = U32(data + 10);
  const uint32_t infoSize = U32(data + 14);
  if (infoSize < 12 || kFileHeader + infoSize > size) return false;
  int64_t width, height;
  uint16_t planes, bits;
  uint32_t compression = 0;
  if (infoSize == 12) {  // the old core header
    width = U16(data + 18);
    height = static_cast<int16_t>(U16(data + 20));
    planes = U16(data + 22);
    bits = U16(data + 24);
  } else {
    if (infoSize < 40) return false;
    width = static_cast<int32_t>(U32(data + 18));
    height = static_cast<int32_t>(U32(data + 22));
    planes = U16(data + 26);
    bits = U16(data + 28);
    compression = U32(data + 30);
  }
  if (planes != 1 || width <= 0 || height == 0 || width > 32767 || height > 32767 || height < -32767) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  if (pixelOffset < kFileHeader + infoSize || pixelOffset > size) return false;
  // Run-length compressed rows have no fixed size; the pixel data must at least start inside the file.
  if (compression == 1 || compression == 2) return pixelOffset < size;
  if (compression != 0 && compression != 3) return false;
  const int64_t rowBytes = (width * bits + 31) / 32 * 4;
  const int64_t rows = height < 0 ? -height : height;
  return static_cast<int64_t>(size) - pixelOffset >= rowBytes * rows;
}
