// Unpacking a packed 7z header: the header of a 7z archive is usually
// packed by one LZMA coder (7-Zip's default), sometimes LZMA2 or stored.
//
// Contract:
// - UnpackHeader(codec, properties, packed, out) fills all of `out` (sized
//   by the caller to the header's unpacked size) from the packed bytes and
//   returns true; false for another codec, bad properties, or data that
//   ends early or does not decode. It never writes past `out`.
// - The dictionary is capped at the unpacked size: it need not be larger,
//   and a hostile header may ask for gigabytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace archiver {

enum : uint64_t { k7zCopy = 0x00, k7zLzma = 0x030101, k7zLzma2 = 0x21 };

bool UnpackHeader(uint64_t codec, const std::vector<uint8_t>& properties, const uint8_t* packed, size_t packedSize,
                  std::vector<uint8_t>& out);

}  // namespace archiver
