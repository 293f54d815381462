// The bands' rows that keep the frame: which image rows do, which window
// rows the quad still draws, and that leaving the others out leaves the
// picture as it was.
#include "app/DemoClock.h"
#include "effects/Flash.h"
#include "effects/KeptRows.h"
#include "effects/OverlaySpeedUps.h"
#include "OffscreenView.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <osg/BlendFunc>
#include <osgDB/WriteFile>

#include <cmath>

namespace {

// Columns of colour but for the rows [blackFrom, blackTo), black.
osg::ref_ptr<osg::Image> bandsImage(int width, int height, int blackFrom, int blackTo, GLenum format = GL_RGB)
{
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(width, height, 1, format, GL_UNSIGNED_BYTE);
    const int channels = format == GL_RGBA ? 4 : 3;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            unsigned char* texel = image->data(column, row);
            const bool black = row >= blackFrom && row < blackTo;
            for (int c = 0; c < channels; ++c)
                texel[c] = black ? (c == 3 ? 255 : 0) : static_cast<unsigned char>(40 + 50 * c + 3 * column + row);
        }
    return image;
}

osg::ref_ptr<osg::BlendFunc> stripeBlend()
{
    return new osg::BlendFunc(GL_DST_COLOR, GL_SRC_ALPHA);
}

// Whether window row n, by the mapping, reads only kept rows: judged here
// from the filter's two texels and a rounding far wider than the renderer's.
bool readsOnlyKept(const std::vector<bool>& kept, const RowMapping& mapping, int n, bool repeat)
{
    const double v = mapping.atFirstRow + mapping.perRow * n;
    const int height = static_cast<int>(kept.size());
    for (int row = int(std::floor(v - 0.51)); row <= int(std::floor(v + 0.51)); ++row) {
        const int inside = repeat ? ((row % height) + height) % height : std::clamp(row, 0, height - 1);
        if (!kept[inside])
            return false;
    }
    return true;
}

int rowsIn(const std::vector<RowRun>& runs)
{
    int rows = 0;
    for (const RowRun& run : runs)
        rows += run.count;
    return rows;
}

} // namespace

TEST(KeptRows, OnlyRowsWhoseEveryTexelKeepsTheFrameAtFullOpacityAreKept)
{
    const std::vector<bool> kept = rowsThatKeepTheFrame(*bandsImage(8, 16, 6, 10), *stripeBlend());
    ASSERT_EQ(kept.size(), 16u);
    for (int row = 0; row < 16; ++row)
        EXPECT_EQ(kept[row], row >= 6 && row < 10) << "row " << row;

    // One bright texel in a black row: that row is drawn.
    osg::ref_ptr<osg::Image> speck = bandsImage(8, 16, 6, 10);
    speck->data(5, 7)[1] = 1;
    EXPECT_FALSE(rowsThatKeepTheFrame(*speck, *stripeBlend())[7]);
    EXPECT_TRUE(rowsThatKeepTheFrame(*speck, *stripeBlend())[8]);

    // Clear black multiplies the frame by nothing; replacing it keeps nothing.
    osg::ref_ptr<osg::Image> clear = bandsImage(8, 16, 6, 10, GL_RGBA);
    for (int column = 0; column < 8; ++column)
        clear->data(column, 7)[3] = 0;
    const std::vector<bool> clearKept = rowsThatKeepTheFrame(*clear, *stripeBlend());
    EXPECT_TRUE(clearKept[6]);
    EXPECT_FALSE(clearKept[7]);
    const std::vector<bool> replaced = rowsThatKeepTheFrame(*bandsImage(8, 16, 6, 10), *osg::ref_ptr<osg::BlendFunc>(new osg::BlendFunc(GL_ONE, GL_ZERO)));
    EXPECT_EQ(std::count(replaced.begin(), replaced.end(), true), 0);

    osg::ref_ptr<osg::Image> floats = new osg::Image;
    floats->allocateImage(4, 4, 1, GL_RGBA, GL_FLOAT);
    EXPECT_TRUE(rowsThatKeepTheFrame(*floats, *stripeBlend()).empty()) << "a format it does not read";
}

TEST(KeptRows, WindowRowsAreLeftOutOnlyWhereEveryLookupReadsKeptRowsAtTheEdgesAsTheWrapSays)
{
    // Sixteen rows spread over 600 window rows, as the bands spread theirs.
    const std::vector<bool> kept = rowsThatKeepTheFrame(*bandsImage(8, 16, 6, 10), *stripeBlend());
    const RowMapping spread{16.0 / 600.0 * 0.5, 16.0 / 600.0};
    for (bool repeat : {true, false}) {
        const std::vector<RowRun> runs = rowsToDraw(kept, spread, 0, 600, repeat);
        ASSERT_EQ(runs.size(), 2u);
        EXPECT_EQ(runs[0].first, 0);
        EXPECT_EQ(runs[1].first + runs[1].count, 600);
        std::vector<bool> drawn(600, false);
        for (const RowRun& run : runs)
            std::fill(drawn.begin() + run.first, drawn.begin() + run.first + run.count, true);
        for (int n = 0; n < 600; ++n) {
            if (!drawn[n]) {
                EXPECT_TRUE(readsOnlyKept(kept, spread, n, repeat)) << "window row " << n;
            }
        }
        // Three kept rows' worth, less the filter's reach and the rounding.
        EXPECT_NEAR(rowsIn(runs), 600 - 3 * 600 / 16, 3);
    }

    // Kept rows at the image's top: beyond it a repeat reads the bottom row
    // again, which is drawn; a clamp reads the top row, which is kept.
    const std::vector<bool> top = rowsThatKeepTheFrame(*bandsImage(8, 16, 12, 16), *stripeBlend());
    const RowMapping pastTheTop{14.0, 0.01};
    EXPECT_EQ(rowsIn(rowsToDraw(top, pastTheTop, 0, 400, false)), 0);
    const std::vector<RowRun> wrapped = rowsToDraw(top, pastTheTop, 0, 400, true);
    ASSERT_FALSE(wrapped.empty());
    EXPECT_EQ(wrapped.back().first + wrapped.back().count, 400);

    // Gaps too short to be worth a draw are drawn with their neighbours.
    std::vector<bool> stripes(64, false);
    for (int row = 10; row < 64; row += 8)
        stripes[row] = stripes[row + 1] = stripes[row + 2] = true;
    EXPECT_EQ(rowsToDraw(stripes, RowMapping{0.5, 1.0}, 100, 64, true).size(), 1u);

    EXPECT_EQ(rowsIn(rowsToDraw({}, spread, 0, 600, true)), 600) << "nothing known kept: everything drawn";
    EXPECT_EQ(rowsIn(rowsToDraw(kept, RowMapping{8.0, 0.0}, 0, 600, true)), 0) << "every row reads the middle";
}

namespace {

// The bands as the room has them: swept across, blended over a frame with
// rows of its own; drawn plain and with their kept rows left out.
void expectTheSamePixelsWithKeptRowsLeftOut(unsigned contextID, int width, int height)
{
    ScratchDir dir;
    ASSERT_TRUE(osgDB::writeImageFile(*bandsImage(64, 128, 40, 90), "bands.png"));
    OffscreenView offscreen(contextID, width, height);
    ASSERT_TRUE(offscreen.open()) << offscreen.context.error();
    Demo::Image::Overlays::CStripe plain("bands.png"), fast("bands.png");
    SpeedUpList list("the test");
    OverlaySpeedUps wanted;
    wanted.noMipmaps = true;
    wanted.leaveOutKeptRows = true;
    {
        CaptureStdout quiet;
        speedUpOverlay(list, "bands", fast, fast, wanted);
    }
    ASSERT_TRUE(list.applied("bands: rows that keep the frame left out"));
    for (auto* bands : {&plain, &fast}) {
        bands->setMode(Demo::Image::CImageFX::SweepS);
        bands->setAnimSpeed(0.1);
    }
    // Each effect's clock starts at its first reading, on the same tick.
    DemoClock::instance().useManualSteps(30);
    for (int frame = 0; frame < 3; ++frame) {
        std::vector<std::vector<unsigned char>> seen;
        for (auto* bands : {&plain, &fast}) {
            bands->update();
            seen.push_back(offscreen.draw(bands->getNode().get()));
        }
        EXPECT_TRUE(seen[0] == seen[1]) << "frame " << frame;
        const std::vector<unsigned char> background = offscreen.draw(new osg::Group);
        EXPECT_TRUE(seen[1] != background) << "the bands show";
        for (int step = 0; step < 37; ++step)
            DemoClock::instance().step();
    }
    DemoClock::instance().useRealTime();
}

} // namespace

TEST(KeptRows, LeftOutTheyLeaveTheFrameAsTheWholeQuadLeavesIt)
{
    expectTheSamePixelsWithKeptRowsLeftOut(15, 800, 600);
    // Image rows not a whole number of window rows apart.
    expectTheSamePixelsWithKeptRowsLeftOut(16, 1000, 700);
}
