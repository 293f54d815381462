// The author's single-press keys: restart, jump to a typed time, fly speed,
// reload the timing scripts, re-read the start time, way points, scope accent,
// pause, and steps on the beat grid.
#include "app/GFX.h"

#include "app/BeatGrid.h"
#include "app/Console.h"
#include "app/Globals.h"
#include "app/Pause.h"
#include "app/ScriptWatcher.h"
#include "app/Timeline.h"
#include "app/panel/AuthorPanel.h"
#include "audio/MusicStream.h"
#include "camera/PathCamera.h"

#include <SDL/SDL_keysym.h>

#include <iostream>

void GFX::handleDeveloperKey(int key)
{
    if (key == SDLK_m)
        g_camera->recordPoint();
    if (key == SDLK_0) {
        std::cout << "*** Time resets ***" << std::endl;
        reset();
        g_frameCount = 0;
        g_timeOffset = 0.0;
        g_music->setTime(0.0);
    }
    if (key == SDLK_3)
        g_music->startFlatLine();
    if (key == SDLK_t) {
        std::cout << "Enter new time: " << std::flush;
        // A typed text that is not a whole number leaves the time alone.
        if (const auto seconds = readTypedInteger(std::cin))
            setTime(*seconds);
    }
    if (key == SDLK_c) {
        std::cout << "Enter new speed: " << std::flush;
        if (const auto speed = readTypedInteger(std::cin))
            g_camera->setSpeed(*speed);
    }
    if (key == SDLK_l)
        reloadScripts();
    if (key == SDLK_k) {
        std::cout << "** ReadTime **" << std::endl;
        readStartTime();
    }
    if (key == SDLK_SPACE)
        togglePause();
    if (key == SDLK_COMMA)
        stepOnBeatGrid(1, -1);
    if (key == SDLK_PERIOD)
        stepOnBeatGrid(1, +1);
    if (key == SDLK_LEFTBRACKET)
        stepOnBeatGrid(kBeatsPerBar, -1);
    if (key == SDLK_RIGHTBRACKET)
        stepOnBeatGrid(kBeatsPerBar, +1);
}

void GFX::reloadScripts()
{
    std::cout << "** ResetAndLoad **" << std::endl;
    g_timeline->reload(Timeline::ReloadAll);
    if (panel)
        panel->reloaded();
    // The camera script may name other position files now.
    if (watcher)
        watcher->watchFiles(timingScriptFiles());
}

void GFX::togglePause()
{
    const bool pausing = !isShowPaused();
    setShowPaused(pausing);
    std::cout << (pausing ? "** Paused **" : "** Resumed **") << std::endl;
}

void GFX::stepOnBeatGrid(int beatsPerStep, int steps)
{
    // From the time on screen now, the one the last frame showed.
    const double target = stepOnGrid(g_time, beatsPerStep, steps);
    printWhereLanded(target);
    setTime(target);
}

void GFX::printWhereLanded(double seconds)
{
    const BarAndBeat at = barAndBeatAt(seconds);
    std::cout << "** Bar " << at.bar << " beat " << at.beat << ": " << seconds << " s **" << std::endl;
}
