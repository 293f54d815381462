// Live reload's file-change filter: saves of the watched scripts and of the
// position files the camera script names are seen, everything else is not.
#include "app/ScriptWatcher.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using Files = std::vector<std::string>;

TEST(ScriptWatcher, SavesOfWatchedFilesAndOfThePositionFilesTheCameraScriptNamesAreSeenOnceReadsAndOthersNot)
{
    ScratchDir dir;
    mkdir("scripts/paths", 0755);
    writeFile("scripts/cameras.txt", "1 5 a.pos\n6 9 paths/b.pos\nbroken line\n");
    writeFile("scripts/flash.txt", "1 2 0.1 0.2 0.3 1\n");
    ScriptWatcher watcher;
    watcher.watchFiles({"scripts/flash.txt", "scripts/black.txt"});
    EXPECT_FALSE(readFile("scripts/flash.txt").empty()); // reading is no change
    EXPECT_EQ(watcher.changedFiles(), Files{});

    writeFile("scripts/notes.txt", "not a script\n");
    writeFile("scripts/flash.txt", "3 4 0.1 0.2 0.3 1\n");
    writeFile("scripts/flash.txt", "5 6 0.1 0.2 0.3 1\n");
    EXPECT_EQ(watcher.changedFiles(), Files{"scripts/flash.txt"});
    EXPECT_EQ(watcher.changedFiles(), Files{}); // told once

    // Saved through a temporary file and moved into place, as editors do.
    writeFile("scripts/.black.txt.swp", "7 8 0.1 0.2 0.3 1\n");
    ASSERT_EQ(std::rename("scripts/.black.txt.swp", "scripts/black.txt"), 0);
    EXPECT_EQ(watcher.changedFiles(), Files{"scripts/black.txt"});

    // Position files named by the camera script are watched too.
    const Files expected = {"scripts/cameras.txt", "scripts/flash.txt", "scripts/black.txt",
                            "scripts/a.pos", "scripts/paths/b.pos"};
    EXPECT_EQ(timingScriptFiles(), expected);
    watcher.watchFiles(timingScriptFiles());
    writeFile("scripts/paths/b.pos", "0 0 0 0 0 0 0 0 1\n");
    writeFile("scripts/paths/c.pos", "0 0 0 0 0 0 0 0 1\n");
    EXPECT_EQ(watcher.changedFiles(), Files{"scripts/paths/b.pos"});

    // A new watch list replaces the old one.
    watcher.watchFiles({"scripts/cameras.txt"});
    writeFile("scripts/a.pos", "0 0 0 0 0 0 0 0 1\n");
    EXPECT_EQ(watcher.changedFiles(), Files{});
}

} // namespace
