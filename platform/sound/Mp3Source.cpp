#include "platform/sound/Mp3Source.h"

#include "platform/sound/fsound.h"

#include <mpg123.h>

#include <mutex>

namespace sound {
namespace {

mpg123_ssize_t readSlice(void* slice, void* buffer, size_t bytes)
{
    return static_cast<FileSlice*>(slice)->read(buffer, bytes);
}

off_t seekSlice(void* slice, off_t offset, int whence)
{
    return static_cast<FileSlice*>(slice)->seek(offset, whence);
}

void initLibraryOnce()
{
    // Older libmpg123 releases need this once per process; newer ones ignore it.
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

} // namespace

Mp3Source::~Mp3Source()
{
    if (m_handle) {
        mpg123_close(m_handle);
        mpg123_delete(m_handle);
    }
}

int Mp3Source::open(const char* path, long offset, long length, int rate)
{
    if (!m_file.open(path, offset, length))
        return FSOUND_ERR_FILE_NOT_FOUND;
    return openDecoder(rate);
}

int Mp3Source::openDecoder(int rate)
{
    initLibraryOnce();
    m_handle = mpg123_new(nullptr, nullptr);
    if (!m_handle)
        return FSOUND_ERR_MEMORY;
    mpg123_param(m_handle, MPG123_ADD_FLAGS,
                 MPG123_GAPLESS | MPG123_FORCE_STEREO | MPG123_QUIET, 0.0);
    // One output format only: the mixer then never converts, and a file at
    // another rate is resampled by the decoder.
    mpg123_format_none(m_handle);
    if (mpg123_format(m_handle, rate, MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK)
        return FSOUND_ERR_INVALID_PARAM;
    if (mpg123_replace_reader_handle(m_handle, readSlice, seekSlice, nullptr) != MPG123_OK ||
        mpg123_open_handle(m_handle, &m_file) != MPG123_OK)
        return FSOUND_ERR_FILE_BAD;
    // Scanning once indexes every frame: the length is exact and positioning
    // never has to guess, even without a seek table in the file.
    long fileRate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_scan(m_handle) != MPG123_OK ||
        mpg123_getformat(m_handle, &fileRate, &channels, &encoding) != MPG123_OK)
        return FSOUND_ERR_FILE_FORMAT;
    m_length = mpg123_length(m_handle);
    if (m_length <= 0)
        return FSOUND_ERR_FILE_FORMAT;
    off_t* offsets = nullptr;
    size_t fill = 0;
    if (mpg123_index(m_handle, &offsets, &m_indexStep, &fill) == MPG123_OK && offsets)
        m_index.assign(offsets, offsets + fill);
    return FSOUND_ERR_NONE;
}

int Mp3Source::read(int16_t* pcm, int maxFrames, bool& finished)
{
    finished = false;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(pcm);
    const size_t wanted = static_cast<size_t>(maxFrames) * 4;
    size_t filled = 0;
    while (filled < wanted) {
        size_t done = 0;
        const int result = mpg123_read(m_handle, bytes + filled, wanted - filled, &done);
        filled += done;
        if (result == MPG123_OK || result == MPG123_NEW_FORMAT)
            continue;
        finished = true;
        break;
    }
    return static_cast<int>(filled / 4);
}

bool Mp3Source::seek(int64_t frame)
{
    // mpg123 primes a seek with a few earlier frames but keeps the rest of
    // its synthesis history from wherever it was, so the same seek could
    // differ in its last bits with what was decoded before. Reopened first,
    // the samples after a seek depend on the target alone: a capture of the
    // same times is the same file.
    return reopenWithIndex() && mpg123_seek(m_handle, static_cast<off_t>(frame), SEEK_SET) >= 0;
}

bool Mp3Source::reopenWithIndex()
{
    // Giving back the scanned index costs nothing; scanning again would cost
    // the decoder thread about 15 ms on the soundtrack at every seek.
    mpg123_close(m_handle);
    if (m_file.seek(0, SEEK_SET) != 0 || mpg123_open_handle(m_handle, &m_file) != MPG123_OK)
        return false;
    if (!m_index.empty())
        return mpg123_set_index(m_handle, m_index.data(), m_indexStep, m_index.size()) == MPG123_OK;
    return mpg123_scan(m_handle) == MPG123_OK;
}

} // namespace sound
