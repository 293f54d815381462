#include "app/SafeWrite.h"

#include "app/ScriptFormat.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// Writes the whole text to a new file and flushes it to disk.
bool writeWhole(const std::string& path, const std::string& text, mode_t mode, std::string& error)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = std::strerror(errno);
            close(fd);
            unlink(path.c_str());
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    if (fsync(fd) != 0 || close(fd) != 0) {
        error = std::strerror(errno);
        unlink(path.c_str());
        return false;
    }
    return true;
}

std::string temporaryBeside(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "." + name + ".saving-" + std::to_string(getpid());
}

} // namespace

bool isMarkedReadOnly(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return false;
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(path.c_str(), W_OK) != 0;
}

std::string unusedName(const std::string& path)
{
    if (!exists(path))
        return path;
    for (int n = 2;; ++n) {
        const std::string candidate = path + "." + std::to_string(n);
        if (!exists(candidate))
            return candidate;
    }
}

CopyResult keepCopy(const std::string& path)
{
    // Only a file has bytes to lose; whatever else has the name (a folder)
    // cannot be written over anyway.
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return {true, "", ""};
    std::string bytes;
    if (!readWholeFile(path, bytes))
        return {false, "", "it cannot be read"};
    const std::string backup = unusedName(path + ".bak");
    const WriteResult written = writeFileSafely(backup, bytes);
    if (!written.written)
        return {false, "", backup + " cannot be written: " + written.message};
    return {true, backup, ""};
}

WriteResult writeFileSafely(const std::string& path, const std::string& text)
{
    if (isMarkedReadOnly(path))
        return {false, "it is read-only"};
    struct stat info;
    const mode_t mode = stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0644;
    std::string error;
    const std::string staged = temporaryBeside(path);
    if (!writeWhole(staged, text, mode, error))
        return {false, error};
    if (std::rename(staged.c_str(), path.c_str()) != 0) {
        error = std::strerror(errno);
        unlink(staged.c_str());
        return {false, error};
    }
    return {true, ""};
}
