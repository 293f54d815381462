#pragma once

#include <cstdint>
#include <vector>

namespace soundtrack {

// Encodes interleaved 16-bit stereo at 44.1 kHz to a 192 kbit/s MP3 whose
// first frame is a LAME info tag. The tag records the encoder delay and
// padding, so gapless decoders return exactly the frames given here, which
// is what lets the piece loop without a gap.
std::vector<unsigned char> encodeMp3(const std::vector<int16_t>& interleaved);

} // namespace soundtrack
