// Little-endian writing, as both the .ico and the .wav layouts want it.
#pragma once

#include <string_view>

#include "resource_images.h"

namespace calorix::resources {

inline void Put8(Bytes& out, unsigned value) { out.push_back(static_cast<std::uint8_t>(value & 0xFFu)); }

inline void Put16(Bytes& out, unsigned value) {
  Put8(out, value);
  Put8(out, value >> 8);
}

inline void Put32(Bytes& out, std::uint32_t value) {
  Put16(out, value & 0xFFFFu);
  Put16(out, value >> 16);
}

inline void PutText(Bytes& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }

}  // namespace calorix::resources
