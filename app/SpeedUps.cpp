#include "app/SpeedUps.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iostream>

bool speedUpsOn()
{
    static const bool on = [] {
        const char* plain = std::getenv(kPlainPathVariable);
        return !plain || !*plain || std::strcmp(plain, "0") == 0;
    }();
    return on;
}

bool SpeedUpList::apply(const std::string& name, const std::function<Condition()>& condition,
                        const std::function<void()>& speedUp)
{
    triedNames.push_back(name);
    if (!speedUpsOn())
        return false;
    const Condition check = condition();
    if (!check.holds) {
        std::cout << "Speed-up skipped in " << part << ": " << name << " (" << check.unmet << ")" << std::endl;
        return false;
    }
    speedUp();
    appliedNames.push_back(name);
    return true;
}

bool SpeedUpList::tried(const std::string& name) const
{
    return std::find(triedNames.begin(), triedNames.end(), name) != triedNames.end();
}

bool SpeedUpList::applied(const std::string& name) const
{
    return std::find(appliedNames.begin(), appliedNames.end(), name) != appliedNames.end();
}
