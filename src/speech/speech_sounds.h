// The attention sounds of the front end as WAV images (11025 Hz, mono,
// 8 bits, canonical 44-byte header).
#pragma once

#include <cstdint>
#include <vector>

namespace varlo {

// 256 samples: 64 of random crackle (128 to 187), then silence. Built once.
const std::vector<uint8_t>& clickSound();
// 512 samples of the falling and rising pattern 128 112 96 80 64 80 96 112,
// the last sample back at 128.
const std::vector<uint8_t>& beepSound();

}  // namespace varlo
