#pragma once

#include <functional>
#include <string>
#include <vector>

// Each speed-up of the show draws a part more cheaply on Mesa's software
// rasteriser and leaves its picture as it was, but only while a condition
// holds: a still image, closed surfaces, a step done before it. Each part
// of the show applies its speed-ups in one function, in a fixed order,
// through a SpeedUpList that checks every condition in code and skips, with
// a line on the console, a speed-up whose condition fails.
//
// VELMO_PLAIN_PATH=1 in the environment turns every speed-up off, so the
// plain path renders: for before-and-after stills, and for a graphics
// driver that disagrees with a bound tuned to Mesa's rasteriser.

constexpr const char* kPlainPathVariable = "VELMO_PLAIN_PATH";

// False when the environment asks for the plain path (any value but "" and
// "0"). Read once, on the first call.
bool speedUpsOn();

// A condition of a speed-up: whether it holds, and if not, why not.
struct Condition {
    bool holds;
    std::string unmet;
};
inline Condition holds() { return {true, ""}; }
inline Condition unmet(std::string why) { return {false, std::move(why)}; }
inline Condition holdsIf(bool test, std::string why) { return test ? holds() : unmet(std::move(why)); }

class SpeedUpList
{
public:
    explicit SpeedUpList(std::string part) : part(std::move(part)) {}

    // Runs `speedUp` when the speed-ups are on and `condition` holds, and
    // notes "Speed-up skipped in PART: NAME (WHY)" when it does not hold.
    // Returns whether it ran.
    bool apply(const std::string& name, const std::function<Condition()>& condition,
               const std::function<void()>& speedUp);

    // Whether a speed-up of this list was tried before now (applied or not):
    // the condition of one that must come after it.
    bool tried(const std::string& name) const;
    bool applied(const std::string& name) const;

private:
    std::string part;
    std::vector<std::string> triedNames;
    std::vector<std::string> appliedNames;
};
