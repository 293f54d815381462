#pragma once

// Every time of the show that more than one place uses, in demo seconds:
// the cuts, the windows the builders register, the frame step's switches,
// the benchmark's segments and the soundtrack's arrangement. The builders,
// the frame step, the tests, the bench (through bench/show_times) and the
// content generator all read them here, so a cut moves in one place.
//
// A time on the soundtrack's beat grid is written in beats: 132 beats a
// minute, 5/11 s a beat, four to a bar, bar 1 beat 1 at 0 s, as
// "scripts/starttime.txt" counts them. A time off the grid is written as its
// exact seconds. Plain header, no libraries: the generator includes it too.

namespace ShowTimes {

constexpr double kBeatSeconds = 5.0 / 11.0;
constexpr int kBeatsPerBar = 4;

// n beats from the start, as n * 5 / 11 rounded once: for every whole or
// quarter beat the double nearest the exact time.
constexpr double beats(double n) { return n * 5.0 / 11.0; }

// The soundtrack is 66 bars, exactly two minutes; the show loops it.
constexpr int kSoundtrackBeats = 66 * kBeatsPerBar;
constexpr double kSoundtrackSeconds = beats(kSoundtrackBeats);

// The cuts between the show's parts.
constexpr double kCartoonCut = 16.463636363636365; // the opening model comes in; grey turns black
constexpr double kRoomCut = beats(64);
constexpr double kTurningModelCut = 58.0;
constexpr double kLightSceneCut = beats(154); // 70 s
constexpr double kDanceCut = 87.0;
constexpr double kDanceEnd = beats(220);      // 100 s: the slime goes on alone
constexpr double kScopeEchoEnd = 116.0;       // the middle scope, the last picture

// The opening, registered by the show's entry.
constexpr double kOpeningScopeEnd = 16.513636363636362; // the scope outlasts the cut by 0.05 s
constexpr double kOpeningCameraEnd = 28.18181818181818; // two beats before the room (a hair short of beat 62)
// The later parts' GL objects are prepared while the opening scope plays,
// the cheapest stretch of the show, until this time.
constexpr double kWarmUpEnd = 15.0;

// The opening scope's own motion: from beat 16 its lines split apart until
// beat 24 and its side lines travel until beat 32, each keeping the place
// it reached; at beat 36 the lines freeze where they are.
namespace OpeningScope {
constexpr double kMotionStart = beats(16);
constexpr double kSplitEnd = beats(24);
constexpr double kTravelEnd = beats(32);
constexpr double kFreeze = beats(36);
static_assert(kMotionStart == 7.2727272727272725 && kSplitEnd == 10.909090909090908 &&
                  kTravelEnd == 14.545454545454545 && kFreeze == 16.363636363636363,
              "the beats land on the times the scope was tuned at");
} // namespace OpeningScope

// The logos, each sharp copy staying until the room, each glow a second long.
namespace Logos {
constexpr double kLumbra = beats(48);
constexpr double kOstra = beats(48.75);
constexpr double kKvell = beats(49.75);
constexpr double kTrinna = beats(50.5);
constexpr double kBolma = 23.295454545454543; // a hair short of beat 51.25
constexpr double kSprett = beats(52);
constexpr double kLastGlows = beats(52.75);
constexpr double kGlowSeconds = 1.0;
constexpr double kEnd = kRoomCut;
} // namespace Logos

// The title between two white flashes; the second flash opens the room.
namespace Title {
constexpr int kStartBeat = 56;
constexpr double kStart = beats(kStartBeat);
constexpr double kFirstFlashStart = 25.254545454545454; // 0.2 s before the title
constexpr double kFirstFlashEnd = 25.654545454545453;   // 0.2 s after
constexpr double kEnd = kRoomCut;
constexpr double kLastFlashEnd = kRoomCut + 1.0;
} // namespace Title

namespace Room {
constexpr double kStart = kRoomCut;
constexpr double kEnd = kTurningModelCut;
constexpr double kBandsEnd = 58.2; // the bands sweep on into the white flash
constexpr double kOverlayStart = 33.0;
} // namespace Room

namespace TurningModel {
constexpr double kStart = kTurningModelCut;
constexpr double kEnd = kLightSceneCut;
constexpr double kCameraStart = 58.01; // the camera takes over a moment after the scene
} // namespace TurningModel

namespace LightScene {
constexpr double kStart = kLightSceneCut;
constexpr double kEnd = kDanceCut;
constexpr double kCameraEnd = 300.0; // stays current until another camera takes over
constexpr double kBoxRainStart = 73.0;
// The boxes fall again from the top at these seconds, for a second each.
constexpr double kRestarts[] = {77.0, 81.0, 85.0};
constexpr double kRestartSeconds = 1.0;
} // namespace LightScene

// The program's own source scrolling up the screen, over the light scene.
namespace SourceScroller {
constexpr double kStart = LightScene::kStart;
constexpr double kEnd = LightScene::kEnd;
} // namespace SourceScroller

namespace Dance {
constexpr double kStart = kDanceCut;
constexpr double kEnd = kDanceEnd;
} // namespace Dance

namespace ScopeEcho {
constexpr double kStart = kTurningModelCut;
constexpr double kEnd = kScopeEchoEnd;
} // namespace ScopeEcho

namespace Slime {
constexpr double kStart = kDanceCut;
constexpr double kEnd = 1000.0; // for as long as the show runs
} // namespace Slime

// The segments the benchmark reports, cut to cut.
struct Segment {
    double start, end;
    const char* name;
};
constexpr Segment kSegments[] = {
    {0.0, kCartoonCut, "opening scope"},
    {kCartoonCut, kRoomCut, "cartoon model, logos, title"},
    {kRoomCut, kTurningModelCut, "environment room"},
    {kTurningModelCut, kLightSceneCut, "turning model, feedback scope"},
    {kLightSceneCut, kDanceCut, "light scene, box rain"},
    {kDanceCut, kDanceEnd, "dancing character"},
    {kDanceEnd, kScopeEchoEnd, "slime to the end"},
};

// The soundtrack's sections, in beats. Each starts on the beat of the cut it
// follows where the cut is on a beat, and on the nearest bar otherwise.
namespace Arrangement {
constexpr int kBuild = 36;  // the cartoon cut
constexpr int kMain = 64;   // the room
constexpr int kBreak = 128; // the turning model
constexpr int kDrop = 154;  // the light scene
constexpr int kGroove = 192; // the dance
constexpr int kFinale = 220; // the slime alone
constexpr int kOutro = 256;  // after the last picture
constexpr int kEnd = kSoundtrackBeats;

constexpr double distance(double a, double b) { return a > b ? a - b : b - a; }
constexpr bool nearestBar(int beat, double cut)
{
    return beat % kBeatsPerBar == 0 && distance(beats(beat), cut) <= beats(kBeatsPerBar / 2.0);
}
static_assert(nearestBar(kBuild, kCartoonCut), "the build starts at the bar of the cartoon cut");
static_assert(beats(kMain) == kRoomCut, "the main section starts with the room");
static_assert(nearestBar(kBreak, kTurningModelCut), "the break starts at the bar of the turning model");
static_assert(beats(kDrop) == kLightSceneCut, "the drop starts with the light scene");
static_assert(nearestBar(kGroove, kDanceCut), "the groove starts at the bar of the dance");
static_assert(beats(kFinale) == kDanceEnd, "the finale starts as the dance ends");
static_assert(nearestBar(kOutro, kScopeEchoEnd), "the outro starts at the bar of the last picture");
} // namespace Arrangement

} // namespace ShowTimes
