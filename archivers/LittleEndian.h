// Little-endian fields of archive headers.
#pragma once

#include <cstdint>

namespace archiver {

inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Le32(const uint8_t* p) { return Le16(p) | static_cast<uint32_t>(Le16(p + 2)) << 16; }
inline uint64_t Le64(const uint8_t* p) { return Le32(p) | static_cast<uint64_t>(Le32(p + 4)) << 32; }

}  // namespace archiver
