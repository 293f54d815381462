// The sound layer's calls without playing anything: set-up rules, buffer
// lengths, errors, and the DSP unit chain.

#include "platform/sound/DspChain.h"
#include "platform/sound/fsound.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class SoundLayer : public testing::Test
{
protected:
    void TearDown() override
    {
        FSOUND_Close();
        FSOUND_SetMixer(FSOUND_MIXER_FLOAT);
    }
};

TEST_F(SoundLayer, SetUpRulesAreEnforcedWithTheirErrors)
{
    EXPECT_EQ(FSOUND_Stream_Open("any.mp3", FSOUND_NORMAL, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_NOT_INITIALISED);
    EXPECT_EQ(FSOUND_DSP_Create([](void*, void* b, int, void*) { return b; }, 1, nullptr), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_NOT_INITIALISED);
    EXPECT_FALSE(FSOUND_Init(0, 128, 0));
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);
    EXPECT_FALSE(FSOUND_SetMixer(42));
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);
    EXPECT_EQ(FSOUND_DSP_GetBufferLengthTotal() % FSOUND_DSP_GetBufferLength(), 0);

    // The mixer is float unless chosen before the layer starts.
    EXPECT_EQ(FSOUND_GetMixer(), FSOUND_MIXER_FLOAT);
    ASSERT_TRUE(FSOUND_SetMixer(FSOUND_MIXER_INT16));
    ASSERT_TRUE(FSOUND_Init(44100, 128, FSOUND_INIT_GLOBALFOCUS));
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_NONE);
    EXPECT_EQ(FSOUND_GetMixer(), FSOUND_MIXER_INT16);
    EXPECT_FALSE(FSOUND_SetMixer(FSOUND_MIXER_FLOAT));
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_ALREADY_INITIALISED);
    EXPECT_FALSE(FSOUND_Init(44100, 128, 0));
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_ALREADY_INITIALISED);
}

TEST_F(SoundLayer, MissingFileAndNullStreamAreRefused)
{
    ASSERT_TRUE(FSOUND_Init(44100, 128, 0));
    EXPECT_EQ(FSOUND_Stream_Open("ddata/missing.mp3", FSOUND_NORMAL, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_FILE_NOT_FOUND);
    EXPECT_EQ(FSOUND_Stream_Play(0, nullptr), -1);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);
    EXPECT_FALSE(FSOUND_Stream_SetTime(nullptr, 0));
    EXPECT_FALSE(FSOUND_Stream_SetMode(nullptr, FSOUND_LOOP_NORMAL));
}

// --- the DSP unit chain, run by hand ---

struct CallLog
{
    std::vector<int> priorities;
};

void* logCall(void* /*original*/, void* buffer, int /*length*/, void* user)
{
    auto* unit = static_cast<std::pair<CallLog*, int>*>(user);
    unit->first->priorities.push_back(unit->second);
    return buffer;
}

TEST(SoundDspChain, ActiveUnitsRunInPriorityOrder)
{
    sound::DspChain chain;
    CallLog log;
    std::pair<CallLog*, int> units[] = {{&log, 300}, {&log, 100}, {&log, 200}, {&log, 50}};
    for (auto& unit : units) {
        FSOUND_DSPUNIT* made = chain.create(logCall, unit.second, &unit);
        EXPECT_FALSE(made->active.load());
        EXPECT_TRUE(FSOUND_DSP_SetActive(made, unit.second != 50));
    }
    EXPECT_FALSE(FSOUND_DSP_SetActive(nullptr, true));
    float block[8] = {};
    chain.run(block, block, 4);
    EXPECT_EQ(log.priorities, (std::vector<int>{100, 200, 300}));
}

void* replaceBuffer(void* /*original*/, void* /*buffer*/, int /*length*/, void* user)
{
    return user;
}

void* keepOriginal(void* original, void* /*buffer*/, int /*length*/, void* user)
{
    *static_cast<void**>(user) = original;
    return nullptr;
}

TEST(SoundDspChain, EachUnitGetsWhatTheOneBeforeReturned)
{
    sound::DspChain chain;
    float mixed[8] = {};
    float original[8] = {};
    float replaced[8] = {};
    void* seenOriginal = nullptr;
    chain.create(replaceBuffer, 1, replaced)->active.store(true);
    // A unit that returns nothing leaves the buffer as it was.
    chain.create(keepOriginal, 2, &seenOriginal)->active.store(true);
    EXPECT_EQ(chain.run(original, mixed, 4), replaced);
    EXPECT_EQ(seenOriginal, original);
}

} // namespace
