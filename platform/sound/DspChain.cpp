#include "platform/sound/DspChain.h"

namespace sound {

DspUnit* DspChain::create(FSOUND_DSPCALLBACK callback, int priority, void* userData)
{
    const int index = m_count.load(std::memory_order_relaxed);
    if (index >= kMaxUnits)
        return nullptr;
    DspUnit& unit = m_units[index];
    unit.callback = callback;
    unit.priority = priority;
    unit.userData = userData;
    m_count.store(index + 1, std::memory_order_release);
    return &unit;
}

int DspChain::collectActive(DspUnit** order)
{
    const int count = m_count.load(std::memory_order_acquire);
    int active = 0;
    for (int i = 0; i < count; ++i) {
        DspUnit* unit = &m_units[i];
        if (!unit->active.load(std::memory_order_acquire))
            continue;
        // Insertion keeps equal priorities in creation order.
        int at = active++;
        while (at > 0 && order[at - 1]->priority > unit->priority) {
            order[at] = order[at - 1];
            --at;
        }
        order[at] = unit;
    }
    return active;
}

void* DspChain::run(void* original, void* buffer, int frames)
{
    DspUnit* order[kMaxUnits];
    const int active = collectActive(order);
    for (int i = 0; i < active; ++i) {
        void* result = order[i]->callback(original, buffer, frames, order[i]->userData);
        if (result)
            buffer = result;
    }
    return buffer;
}

} // namespace sound
