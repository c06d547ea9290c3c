// A first look at .bmp bytes before a decoder is trusted with them. The
// platform's decoder reads pixel rows wherever the file header says they
// start, for as many rows as the info header claims, without checking
// either against the bytes there are.
#pragma once

#include <cstddef>

// False when bytes are a .bmp file ("BM") whose headers or uncompressed
// pixel rows reach past its end; true for any other bytes.
bool BitmapFileFits(const unsigned char* bytes, size_t size);
