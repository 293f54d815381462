#include "audio/Capture.h"

#include <algorithm>

int16_t* captureRing = nullptr;
std::atomic<int32_t> captureBlock{0};
FSOUND_DSPUNIT* captureUnit = nullptr;

namespace {

void downmixBlock(const void* buffer, int frames, int16_t* destination)
{
    if (FSOUND_GetMixer() == FSOUND_MIXER_FLOAT) {
        const float* stereo = static_cast<const float*>(buffer);
        for (int i = 0; i < frames; ++i)
            storeCaptured(destination + i, downmixFloat(stereo[2 * i], stereo[2 * i + 1]));
    } else {
        const int16_t* stereo = static_cast<const int16_t*>(buffer);
        for (int i = 0; i < frames; ++i)
            storeCaptured(destination + i, downmixInt16(stereo[2 * i], stereo[2 * i + 1]));
    }
}

} // namespace

void allocateCaptureRing(int samples)
{
    // Never freed while the process runs on: the mixing thread may still
    // write into it while the process exits.
    delete[] captureRing;
    captureRing = new int16_t[static_cast<size_t>(samples)]();
    captureBlock.store(0);
}

int16_t downmixInt16(int16_t left, int16_t right)
{
    return static_cast<int16_t>((static_cast<int32_t>(left) + right) >> 1);
}

int16_t downmixFloat(float left, float right)
{
    return static_cast<int16_t>(static_cast<int32_t>((left + right) * 0.5f));
}

void* captureCallback(void* /*originalBuffer*/, void* newBuffer, int length, void* /*userData*/)
{
    const int blockLength = FSOUND_DSP_GetBufferLength();
    const int blocks = FSOUND_DSP_GetBufferLengthTotal() / blockLength;
    int32_t block = captureBlock.load();
    // A longer block than announced would write into the next one.
    const int frames = std::min(length, blockLength);
    downmixBlock(newBuffer, frames, captureRing + block * blockLength);
    if (++block >= blocks)
        block = 0;
    captureBlock.store(block);
    return newBuffer;
}
