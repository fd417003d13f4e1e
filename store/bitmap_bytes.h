// Checks that bytes held in memory are a complete bitmap file the display can
// decode, without decoding it: the core has no image library.
#pragma once

#include <cstddef>
#include <cstdint>

// True for a bitmap file ("BM") whose headers are consistent and whose pixel
// rows lie inside the bytes given.
bool IsUsableBitmapImage(const uint8_t* data, size_t size);
