// The About panel's picture as constant data of the module. The bytes are
// generated (tools/picture/make_picture.py writes picture_data.cpp); this
// header fixes the shape that the generator and PanelPicture agree on.
#pragma once

#include <cstdint>

namespace panels::picture_data {

inline constexpr int kWidth = 100;
inline constexpr int kHeight = 200;
inline constexpr int kBytesPerPixel = 3;  // red, green, blue
inline constexpr int kChunkSize = 8192;
inline constexpr int kByteCount = kWidth * kHeight * kBytesPerPixel;
inline constexpr int kChunkCount = (kByteCount + kChunkSize - 1) / kChunkSize;
inline constexpr int kLastChunkSize =
    kByteCount - (kChunkCount - 1) * kChunkSize;

static_assert(kChunkCount == 8 && kLastChunkSize == 2656);

// The chunks in sequence order: every one but the last holds kChunkSize
// bytes, the last holds kLastChunkSize.
extern const std::uint8_t* const kChunks[kChunkCount];

}  // namespace panels::picture_data
