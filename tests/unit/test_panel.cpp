// The author's panel: its time axis and beat grid, the script rewrite that
// must keep every byte it did not change, the edits on the timeline's lists,
// saving them, and the lanes' layout.
#include "app/BeatGrid.h"
#include "app/Globals.h"
#include "app/Timeline.h"
#include "app/panel/PanelLayout.h"
#include "app/panel/ScriptDocument.h"
#include "app/panel/ScriptEditor.h"
#include "app/panel/TimeAxis.h"
#include "camera/PathCamera.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <osg/Switch>

#include <sys/stat.h>

#include <cmath>

namespace {

const double kBeat = beatSeconds();

} // namespace

// At first the whole soundtrack spans the width; zoomed, the time zoomed
// around stays where it was on screen, and the span stops at two bars and
// at the whole; the axis stays inside the soundtrack and turns pages.
TEST(TimeAxis, MapsTimeToXAndBackAtEveryZoomAndKeepsThePointZoomedAround)
{
    TimeAxis axis(120.0, 800.0);
    EXPECT_DOUBLE_EQ(axis.xOf(0.0), 0.0);
    EXPECT_DOUBLE_EQ(axis.xOf(120.0), 800.0);
    EXPECT_DOUBLE_EQ(axis.timeAt(400.0), 60.0);
    for (double factor : {1.25, 4.0, 100.0}) {
        const double before = axis.xOf(47.3);
        axis.zoom(factor, 47.3);
        EXPECT_NEAR(axis.xOf(47.3), before, 1e-9) << factor;
        for (double x : {0.0, 123.0, 799.0})
            EXPECT_NEAR(axis.xOf(axis.timeAt(x)), x, 1e-9);
    }
    EXPECT_NEAR(axis.to() - axis.from(), 8 * kBeat, 1e-12) << "two bars at the closest";
    axis.zoom(1e6, 1.0);
    EXPECT_NEAR(axis.to() - axis.from(), 8 * kBeat, 1e-12);
    EXPECT_GE(axis.from(), 0.0);
    EXPECT_TRUE(axis.follow(81.0));
    EXPECT_LE(axis.from(), 81.0);
    EXPECT_GE(axis.to(), 81.0);
    EXPECT_FALSE(axis.follow(81.5)) << "still on the page";
    axis.zoom(1e-6, 80.0);
    EXPECT_DOUBLE_EQ(axis.from(), 0.0);
    EXPECT_DOUBLE_EQ(axis.to(), 120.0);

    EXPECT_NEAR(nearestQuarterBeat(10.0 * kBeat + 0.1 * kBeat), 10.0 * kBeat, 1e-12);
    EXPECT_NEAR(nearestQuarterBeat(10.0 * kBeat + 0.2 * kBeat), 10.25 * kBeat, 1e-12);
}

// The rewrite keeps every line it did not edit byte for byte; an edited
// record becomes one line of six numbers that read back as the edit; the
// text the loader never reached stays where it was.
TEST(ScriptDocument, RewritesOnlyWhatChangedAndReadsBackAsEdited)
{
    const std::string text = "36.314 36.964 0.05 0.5 0 1\n"
                             "\t43.586   44.236 0.05 0.5 0 1   \n"
                             "50.859 51.509\n0.05 0.5 0 1\n"
                             "57.95 58.75 0.05 0.75 0 1 69.95 71 0.05 1 0 1\n"
                             "an author's note the loader never reads\n";
    ScriptDocument unchanged(text);
    ASSERT_EQ(unchanged.records().size(), 5u);
    EXPECT_EQ(unchanged.text(), text);
    EXPECT_FALSE(unchanged.isEdited());

    ScriptDocument doc(text);
    FlashRecord moved = doc.records()[1];
    moved.start = static_cast<float>(moved.start + kBeat);
    moved.end = static_cast<float>(moved.end + kBeat);
    doc.replace(1, moved);
    const std::string out = doc.text();
    EXPECT_EQ(out.substr(0, 27), "36.314 36.964 0.05 0.5 0 1\n");
    EXPECT_NE(out.find("\n\t44.04"), std::string::npos) << out;
    EXPECT_NE(out.find("50.859 51.509\n0.05 0.5 0 1\n57.95"), std::string::npos);
    EXPECT_NE(out.find("\nan author's note the loader never reads\n"), std::string::npos);
    const std::vector<FlashRecord> back = readFlashRecords(out);
    ASSERT_EQ(back.size(), 5u);
    EXPECT_EQ(back[1].start, moved.start);
    EXPECT_EQ(back[1].end, moved.end);
    EXPECT_EQ(back[4].start, 69.95f);

    // Taken out, a record alone on its line takes the line with it; added,
    // one goes after the last record, before the note.
    doc.remove(0);
    doc.add({100.0f, 100.5f, 0.05f, 0.4f, 0.0f, 1.0f});
    const std::string edited = doc.text();
    EXPECT_EQ(edited.find("36.314"), std::string::npos);
    EXPECT_EQ(edited[0], '\t');
    const std::vector<FlashRecord> again = readFlashRecords(edited);
    ASSERT_EQ(again.size(), 5u);
    EXPECT_EQ(again.back().start, 100.0f);
    EXPECT_LT(edited.find("100 100.5"), edited.find("an author's note"));

    ScriptDocument empty("");
    empty.add({1.0f, 2.0f, 0.1f, 0.2f, 0.0f, 1.0f});
    EXPECT_EQ(empty.text(), "1 2 0.1 0.2 0 1\n");
    for (float v : {0.05f, 36.768547f, 1e-8f, -3.25f, 123456.789f})
        EXPECT_EQ(std::strtof(formatScriptNumber(v).c_str(), nullptr), v) << formatScriptNumber(v);

    // Found by fuzzing: records with no blank between them ("1.0.5" is two
    // fields), rewritten or taken out, must not run into one number.
    const std::string packed = "1 2 0.1 0.1 0 1.0.5 3 0.1 0.1 0 1.0.9 4 0.1 0.1 0 1\n";
    ScriptDocument tight(packed);
    ASSERT_EQ(tight.records().size(), 3u);
    tight.replace(0, {1.0f, 2.0f, 0.1f, 0.1f, 0.0f, 2e-19f});
    tight.replace(1, {0.5f, 3.0f, 0.1f, 0.1f, 0.0f, 1.0f});
    tight.remove(2);
    const std::vector<FlashRecord> apart = readFlashRecords(tight.text());
    ASSERT_EQ(apart.size(), 2u) << tight.text();
    EXPECT_EQ(apart[0].strength, 2e-19f);
    EXPECT_EQ(apart[1].start, 0.5f);
}

namespace {

// A run folder with the flash pictures and both scripts, and the timeline
// read from them.
struct Editing : ::testing::Test {
    ScratchDir dir;
    CaptureStdout console;
    PathCamera camera;
    osg::ref_ptr<osg::Switch> root = new osg::Switch;
    Timeline* timeline = nullptr;
    const std::string flashes = "3.2 3.6 0.1 0.2 0 1\n 10 11 0.05 0.5 0 1\n# the loader stops here\n";

    Editing()
    {
        writeTestImage("demodata/white.jpg", 255);
        writeTestImage("demodata/black.jpg", 0);
        writeFile("scripts/flash.txt", flashes);
        writeFile("scripts/black.txt", "20 22 0.5 0.5 1 1\n");
        g_camera = &camera;
        g_sceneSwitch = root;
        timeline = new Timeline;
        timeline->reload(Timeline::ReloadAll);
    }
    ~Editing() override
    {
        delete timeline;
        g_camera = nullptr;
        g_sceneSwitch = nullptr;
    }
};

} // namespace

// An edit shows in the timeline's windows at once and in the file only
// when saved, atomically, with the old file kept as a backup.
TEST_F(Editing, MovesRemovesAndAddsWindowsAtOnceAndSavesThemWithABackup)
{
    ScriptEditor editor(*timeline);
    editor.select(Timeline::WhiteFlash, 0);
    EXPECT_NE(console.text().find("Selected flash, Start: 3.2 End: 3.6\n"), std::string::npos);
    editor.moveSelectionBy(kBeat);
    EXPECT_EQ(timeline->flashWindows()[0].start, static_cast<double>(static_cast<float>(3.2f + kBeat)));
    EXPECT_TRUE(editor.isEdited());
    EXPECT_EQ(readFile("scripts/flash.txt"), flashes) << "nothing written before saving";

    editor.select(Timeline::BlackFade, 0);
    editor.removeSelection();
    EXPECT_TRUE(timeline->blackWindows().empty());
    editor.addFlash(40.0);
    ASSERT_EQ(timeline->flashWindows().size(), 3u);
    EXPECT_NEAR(timeline->flashWindows()[2].end - timeline->flashWindows()[2].start, 0.4, 1e-5)
        << "shaped as the flash selected last";

    editor.save();
    EXPECT_NE(console.text().find("Saved scripts/flash.txt: 3 flashes\n"), std::string::npos);
    EXPECT_NE(console.text().find("Saved scripts/black.txt: 0 black fades\n"), std::string::npos);
    EXPECT_NE(console.text().find("Kept the old scripts/flash.txt as scripts/flash.txt.bak\n"), std::string::npos);
    EXPECT_EQ(readFile("scripts/flash.txt.bak"), flashes);
    EXPECT_FALSE(editor.isEdited());

    // Saving again replaces only the editor's own save; a file changed by
    // someone else since is copied again, under a name of its own.
    editor.select(Timeline::WhiteFlash, 1);
    editor.moveSelectionBy(kBeat);
    editor.save();
    struct stat none;
    EXPECT_NE(stat("scripts/flash.txt.bak.2", &none), 0);
    writeFile("scripts/flash.txt", readFile("scripts/flash.txt") + "# the author's own line\n");
    editor.select(Timeline::WhiteFlash, 1);
    editor.moveSelectionBy(-kBeat);
    editor.save();
    EXPECT_NE(readFile("scripts/flash.txt.bak.2").find("# the author's own line"), std::string::npos);
    const std::string saved = readFile("scripts/flash.txt");
    EXPECT_NE(saved.find("\n 10 11 0.05 0.5 0 1\n40 40.4 0.1 0.2 0 1\n# the loader stops here\n"), std::string::npos)
        << saved;

    // Read again, the timeline holds what the editor showed.
    timeline->reload(Timeline::ReloadAll);
    ASSERT_EQ(timeline->flashWindows().size(), 3u);
    EXPECT_EQ(timeline->flashWindows()[0].start, static_cast<double>(static_cast<float>(3.2f + kBeat)));
    EXPECT_TRUE(timeline->blackWindows().empty());
}

// A read-only script is not written, even by a user who could; the edit
// stays, and goes to a recovery file beside the script when the show ends.
TEST_F(Editing, AReadOnlyScriptKeepsItsBytesAndTheEditGoesToARecoveryFile)
{
    ASSERT_EQ(chmod("scripts/flash.txt", 0444), 0);
    ScriptEditor editor(*timeline);
    editor.select(Timeline::WhiteFlash, 1);
    editor.moveSelectionBy(-kBeat / 4.0);
    editor.save();
    EXPECT_NE(console.text().find("Cannot save scripts/flash.txt: it is read-only; the edits stay on the panel\n"),
              std::string::npos);
    EXPECT_EQ(readFile("scripts/flash.txt"), flashes);
    EXPECT_TRUE(editor.isEdited());
    editor.writeRecovery();
    EXPECT_NE(console.text().find("Unsaved edits of scripts/flash.txt written to scripts/flash.txt.recovered\n"),
              std::string::npos);
    EXPECT_EQ(readFlashRecords(readFile("scripts/flash.txt.recovered"))[1].start, static_cast<float>(10.0 - kBeat / 4));
    EXPECT_EQ(readFile("scripts/flash.txt"), flashes);
}

// Overlapping windows share their lane in rows; a click finds a flash or a
// black fade by its bar, and nothing where there is none.
TEST_F(Editing, OverlappingBarsStackAndAClickFindsTheFlashUnderIt)
{
    PanelLayout layout;
    layout.build(*timeline);
    EXPECT_EQ(layout.rows(FlashLane), 1);
    TimeAxis axis(120.0, 800.0);
    const PanelRect lane = PanelLayout::lane(FlashLane);
    const float y = (lane.y0 + lane.y1) / 2;
    const PanelBar* hit = layout.editableBarAt(static_cast<float>(axis.xOf(10.5)), y, axis);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->index, 1u);
    EXPECT_EQ(layout.editableBarAt(static_cast<float>(axis.xOf(50.0)), y, axis), nullptr);
    EXPECT_EQ(layout.editableBarAt(static_cast<float>(axis.xOf(10.5)), lane.y1 + 5.0f, axis), nullptr);

    std::vector<PanelBar> bars = {{EffectLane, 0, 1, 5, "a"}, {EffectLane, 1, 2, 3, "b"}, {EffectLane, 2, 4, 6, "c"},
                                  {EffectLane, 3, 5, 7, "d"}};
    std::vector<PanelBar*> pointers = {&bars[0], &bars[1], &bars[2], &bars[3]};
    EXPECT_EQ(stackInRows(pointers), 2);
    EXPECT_EQ(bars[0].row, 0);
    EXPECT_EQ(bars[1].row, 1);
    EXPECT_EQ(bars[2].row, 1);
    EXPECT_EQ(bars[3].row, 0);
}
