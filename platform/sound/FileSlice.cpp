#include "platform/sound/FileSlice.h"

#include <algorithm>

namespace sound {

bool FileSlice::open(const char* path, long offset, long length)
{
    close();
    if (offset < 0 || length < 0)
        return false;
    m_file = std::fopen(path, "rb");
    if (!m_file)
        return false;
    std::fseek(m_file, 0, SEEK_END);
    const long fileSize = std::ftell(m_file);
    if (offset > fileSize) {
        close();
        return false;
    }
    m_begin = offset;
    m_size = length == 0 ? fileSize - offset : std::min(length, fileSize - offset);
    m_position = 0;
    std::fseek(m_file, m_begin, SEEK_SET);
    return true;
}

void FileSlice::close()
{
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
}

long FileSlice::read(void* buffer, size_t bytes)
{
    const long wanted = std::min(static_cast<long>(bytes), m_size - m_position);
    if (wanted <= 0)
        return 0;
    const size_t got = std::fread(buffer, 1, static_cast<size_t>(wanted), m_file);
    if (got == 0 && std::ferror(m_file))
        return -1;
    m_position += static_cast<long>(got);
    return static_cast<long>(got);
}

off_t FileSlice::seek(off_t offset, int whence)
{
    long base = 0;
    if (whence == SEEK_CUR)
        base = m_position;
    else if (whence == SEEK_END)
        base = m_size;
    else if (whence != SEEK_SET)
        return -1;
    const long target = base + static_cast<long>(offset);
    if (target < 0)
        return -1;
    // Like lseek, a position past the end is allowed; reads there give 0.
    if (std::fseek(m_file, m_begin + target, SEEK_SET) != 0)
        return -1;
    m_position = target;
    return target;
}

} // namespace sound
