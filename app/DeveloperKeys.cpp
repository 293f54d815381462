// The author's single-press keys: restart, jump to a typed time, fly speed,
// reload the timing scripts, re-read the start time, way points, scope accent.
#include "app/GFX.h"

#include "app/Console.h"
#include "app/Globals.h"
#include "app/Timeline.h"
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
    if (key == SDLK_l) {
        std::cout << "** ResetAndLoad **" << std::endl;
        g_timeline->reload(Timeline::ReloadAll);
    }
    if (key == SDLK_k) {
        std::cout << "** ReadTime **" << std::endl;
        readStartTime();
    }
}
