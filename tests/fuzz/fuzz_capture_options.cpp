// The capture's command line, from memory: the input's bytes split at NUL
// into the words after "capture". Whatever is typed is either refused with
// a reason or gives options the capture can run with, and what they drive
// (the picture's place in the frame, the chunk's frames, the pre-roll)
// stays within the video and the range.
#include "app/ShowTimes.h"
#include "app/capture/CaptureOptions.h"
#include "app/capture/FrameLayout.h"
#include "app/capture/FramePlan.h"
#include "app/capture/PreRoll.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMostWords = 64;

std::vector<std::string> wordsOf(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> words{"capture"};
    std::string word;
    for (std::size_t i = 0; i < size && words.size() < kMostWords; ++i) {
        if (data[i] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(data[i]);
        }
    }
    if (!word.empty() && words.size() < kMostWords)
        words.push_back(word);
    return words;
}

void require(bool holds)
{
    if (!holds)
        std::abort();
}

void checkLayout(const CaptureOptions& options)
{
    const FrameLayout layout = frameLayoutFor(options.width, options.height, options.supersample);
    require(layout.pictureX >= 0 && layout.pictureY >= 0);
    require(layout.pictureX + layout.pictureWidth <= layout.outputWidth);
    require(layout.pictureY + layout.pictureHeight <= layout.outputHeight);
    require(layout.pictureWidth % 2 == 0 && layout.pictureHeight % 2 == 0);
    require(std::max(layout.renderWidth(), layout.renderHeight()) <= kLargestRender);
}

void checkChunk(const CaptureOptions& options)
{
    const int total = captureFrameCount(options.from, options.to, options.fps);
    require(total >= 0);
    const FrameSpan span = chunkFrames(total, options.chunk, options.chunks);
    require(span.first >= 0 && span.first <= span.end && span.end <= total);
    if (span.count() <= 0)
        return; // the capture refuses a chunk that holds no frame
    const PreRoll preRoll = planPreRoll(options.from, options.fps, span.first);
    require(preRoll.firstDrawn >= 0 && preRoll.firstDrawn <= span.first);
    require(std::isfinite(frameTime(options.from, options.fps, span.end - 1)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> words = wordsOf(data, size);
    std::vector<const char*> argv;
    for (const std::string& word : words)
        argv.push_back(word.c_str());
    CaptureOptions options;
    std::string error;
    if (!parseCaptureOptions(static_cast<int>(argv.size()), argv.data(), options, error)) {
        require(!error.empty());
        return 0;
    }
    require(!options.output.empty());
    if (options.join())
        return 0;
    require(options.fps >= 1 && options.supersample >= 1 && options.supersample <= kLargestSupersample);
    require(options.chunk >= 1 && options.chunk <= options.chunks);
    checkLayout(options);
    if (!settleCaptureRange(options, ShowTimes::kSoundtrackSeconds, error)) {
        require(!error.empty());
        return 0;
    }
    require(options.from >= 0.0 && options.from < options.to && options.to <= ShowTimes::kSoundtrackSeconds);
    checkChunk(options);
    return 0;
}
