#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

// Tells the frame loop which of the author's files were saved since it last
// asked, from the kernel's file notifications (inotify) on the folders that
// hold them: a finished write (IN_CLOSE_WRITE) or a file moved into place
// (IN_MOVED_TO, as editors that save through a temporary file do). Asking
// never blocks, and costs one read of a non-blocking descriptor.
//
// Without inotify it stays silent: the reload key still works.
class ScriptWatcher
{
public:
    ScriptWatcher();
    ~ScriptWatcher();
    ScriptWatcher(const ScriptWatcher&) = delete;
    ScriptWatcher& operator=(const ScriptWatcher&) = delete;

    // Watches exactly these files from now on (paths as the loaders open
    // them). A file in a folder that does not exist is not watched.
    void watchFiles(const std::vector<std::string>& paths);

    // The watched files saved since the last call, each once, in the order
    // first seen.
    std::vector<std::string> changedFiles();

private:
    int folderWatch(const std::string& folder);

    int m_fd = -1;
    std::map<std::string, int> m_folders;                        // folder -> watch
    std::map<std::pair<int, std::string>, std::string> m_files;  // (watch, name) -> path
};

// The timing scripts the reload key reads, and every position file that
// "scripts/cameras.txt" names in it.
std::vector<std::string> timingScriptFiles();
