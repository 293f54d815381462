#include "app/ScriptWatcher.h"

#include "app/ScriptFormat.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

const char* const kCamerasScript = "scripts/cameras.txt";
constexpr uint32_t kSavedMask = IN_CLOSE_WRITE | IN_MOVED_TO;

std::pair<std::string, std::string> splitPath(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// The names the camera loader reads, through the same reader, so the two
// always agree on which position files belong to the show.
void addNamedPositionFiles(std::vector<std::string>& paths)
{
    std::string text;
    if (!readWholeFile(kCamerasScript, text))
        return;
    for (const CameraRecord& record : readCameraRecords(text))
        paths.push_back("scripts/" + record.file);
}

} // namespace

std::vector<std::string> timingScriptFiles()
{
    std::vector<std::string> paths = {kCamerasScript, "scripts/flash.txt", "scripts/black.txt"};
    addNamedPositionFiles(paths);
    return paths;
}

ScriptWatcher::ScriptWatcher() : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

ScriptWatcher::~ScriptWatcher()
{
    if (m_fd >= 0)
        close(m_fd);
}

int ScriptWatcher::folderWatch(const std::string& folder)
{
    // Folder watches are kept for good: removing one would drop events that
    // are already queued for it.
    const auto known = m_folders.find(folder);
    if (known != m_folders.end())
        return known->second;
    const int watch = inotify_add_watch(m_fd, folder.c_str(), kSavedMask | IN_ONLYDIR);
    if (watch >= 0)
        m_folders[folder] = watch;
    return watch;
}

void ScriptWatcher::watchFiles(const std::vector<std::string>& paths)
{
    m_files.clear();
    if (m_fd < 0)
        return;
    for (const std::string& path : paths) {
        const auto [folder, name] = splitPath(path);
        const int watch = folderWatch(folder);
        if (watch >= 0 && !name.empty())
            m_files.emplace(std::make_pair(watch, name), path);
    }
}

std::vector<std::string> ScriptWatcher::changedFiles()
{
    std::vector<std::string> changed;
    if (m_fd < 0)
        return changed;
    alignas(inotify_event) char buffer[8192];
    for (;;) {
        const ssize_t length = read(m_fd, buffer, sizeof buffer);
        if (length <= 0)
            break;
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (!(event->mask & kSavedMask) || event->len == 0)
                continue;
            const auto file = m_files.find({event->wd, event->name});
            if (file != m_files.end() &&
                std::find(changed.begin(), changed.end(), file->second) == changed.end())
                changed.push_back(file->second);
        }
    }
    return changed;
}
