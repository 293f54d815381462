#pragma once

#include "platform/sound/FileSlice.h"

#include <cstdint>
#include <sys/types.h>
#include <vector>

struct mpg123_handle_struct;

namespace sound {

// One mp3 decoder: interleaved stereo signed 16-bit frames at the mixing
// rate, gapless (the encoder's delay and padding, read from the LAME tag, are
// cut), with sample-exact positioning. Not thread-safe: after open() it
// belongs to one decoder thread.
class Mp3Source
{
public:
    Mp3Source() = default;
    Mp3Source(const Mp3Source&) = delete;
    Mp3Source& operator=(const Mp3Source&) = delete;
    ~Mp3Source();

    // Returns an FSOUND_ERR_ code; FSOUND_ERR_NONE on success.
    int open(const char* path, long offset, long length, int rate);

    // Decodes up to `maxFrames` frames into `pcm` and returns how many.
    // `finished` turns true at the end of the stream, or when the data stops
    // being decodable, which ends the stream as well.
    int read(int16_t* pcm, int maxFrames, bool& finished);

    bool seek(int64_t frame);
    int64_t length() const { return m_length; }

private:
    int openDecoder(int rate);
    bool reopenWithIndex();

    mpg123_handle_struct* m_handle = nullptr;
    FileSlice m_file;
    int64_t m_length = 0;
    // The frame index of the one full scan, given back after each reopen.
    std::vector<off_t> m_index;
    off_t m_indexStep = 0;
};

} // namespace sound
