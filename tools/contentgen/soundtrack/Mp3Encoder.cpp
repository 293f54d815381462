#include "tools/contentgen/soundtrack/Mp3Encoder.h"

#include "tools/contentgen/soundtrack/Timing.h"

#include <lame/lame.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace soundtrack {

namespace {

using Encoder = std::unique_ptr<lame_global_flags, decltype(&lame_close)>;

Encoder openEncoder()
{
    Encoder lame(lame_init(), &lame_close);
    if (!lame)
        throw std::runtime_error("lame_init failed");
    lame_set_num_channels(lame.get(), 2);
    lame_set_in_samplerate(lame.get(), kSampleRate);
    lame_set_out_samplerate(lame.get(), kSampleRate);
    lame_set_mode(lame.get(), JOINT_STEREO);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_brate(lame.get(), 192);
    lame_set_quality(lame.get(), 2);
    lame_set_bWriteVbrTag(lame.get(), 1);
    // An ID3 tag would come before the info tag and hide it from decoders
    // that only look at the first frame.
    lame_set_write_id3tag_automatic(lame.get(), 0);
    if (lame_init_params(lame.get()) < 0)
        throw std::runtime_error("lame_init_params rejected the settings");
    return lame;
}

void append(std::vector<unsigned char>& out, const std::vector<unsigned char>& chunk, int bytes)
{
    if (bytes < 0)
        throw std::runtime_error("MP3 encoding failed");
    out.insert(out.end(), chunk.begin(), chunk.begin() + bytes);
}

} // namespace

std::vector<unsigned char> encodeMp3(const std::vector<int16_t>& interleaved)
{
    Encoder lame = openEncoder();
    constexpr std::size_t kChunkFrames = 8192;
    std::vector<unsigned char> chunk(kChunkFrames * 5 / 4 + 7200);
    std::vector<short> pcm(kChunkFrames * 2);
    std::vector<unsigned char> mp3;
    const std::size_t frames = interleaved.size() / 2;
    for (std::size_t start = 0; start < frames; start += kChunkFrames) {
        const std::size_t count = std::min(kChunkFrames, frames - start);
        std::copy_n(interleaved.begin() + static_cast<long>(2 * start), 2 * count, pcm.begin());
        append(mp3, chunk, lame_encode_buffer_interleaved(lame.get(), pcm.data(), static_cast<int>(count),
                                                          chunk.data(), static_cast<int>(chunk.size())));
    }
    append(mp3, chunk, lame_encode_flush(lame.get(), chunk.data(), static_cast<int>(chunk.size())));
    // LAME left room for the info tag at the start; fill it in now that the
    // frame count and padding are known.
    std::vector<unsigned char> tag(2880);
    const std::size_t tagBytes = lame_get_lametag_frame(lame.get(), tag.data(), tag.size());
    if (tagBytes == 0 || tagBytes > mp3.size())
        throw std::runtime_error("LAME produced no info tag");
    std::copy_n(tag.begin(), tagBytes, mp3.begin());
    return mp3;
}

} // namespace soundtrack
