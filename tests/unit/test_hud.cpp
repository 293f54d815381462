#include "effects/FileException.h"
#include "effects/HUD.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <set>

using namespace Demo::Text;

TEST(HudLines, EachNewlineStartsTheNextLineAndTabsWiden)
{
    EXPECT_EQ(splitHudLines("a\nb\nc\n"), (std::vector<std::string>{"a", "\nb", "\nc"}));
    EXPECT_EQ(splitHudLines("x\ty\n"), (std::vector<std::string>{"x    y"}));
    EXPECT_TRUE(splitHudLines("a\tb").empty()); // no final newline: nothing stored
    EXPECT_EQ(splitHudLines("\n\n"), (std::vector<std::string>{"", "\n"}));
}

TEST(HudLines, ScrollShowsTheLinesBeforeTheCurrentOneAndWraps)
{
    const std::vector<std::string> abc = {"a", "\nb", "\nc"};
    EXPECT_EQ(visibleLines(abc, 0, 20), "");
    EXPECT_EQ(visibleLines(abc, 2, 20), "a\nb");
    EXPECT_EQ(visibleLines(abc, 3, 20), ""); // c is never shown
    EXPECT_EQ(visibleLines(abc, 4, 20), "a");

    std::vector<std::string> ten;
    for (int i = 0; i < 10; ++i)
        ten.push_back(std::to_string(i));
    EXPECT_EQ(visibleLines(ten, 5, 2), "34");
    EXPECT_EQ(visibleLines({}, 5, 2), "");
}

TEST(Hud, KeepsItsDefaultTextUntilLinesAreLoadedThenScrollsThemWithItsClock)
{
    ScratchDir dir;
    writeFile("lines.txt", "one\ntwo\nthree\n");
    CHUD hud;
    hud.update();
    EXPECT_EQ(hud.getText(), "Hej och h\xe5!\nsadf\nsdf");
    hud.loadText("lines.txt");
    EXPECT_EQ(hud.getLines().size(), 3u);
    hud.update(); // first reading: k = 0, an empty screen
    EXPECT_EQ(hud.getText(), "");
    // A fast clock scrolls soon; every third reading wraps to an empty screen
    // again, so the scroll is watched for a while rather than read once.
    hud.setSpeed(1000.0);
    std::set<std::string> seen;
    for (int i = 0; i < 200 && seen.size() < 3; ++i) {
        usleep(1000);
        hud.update();
        seen.insert(hud.getText());
    }
    EXPECT_EQ(seen, (std::set<std::string>{"", "one", "one\ntwo"}));
}

TEST(Hud, MissingFileIsReportedAndThrowsThePath)
{
    ScratchDir dir;
    CHUD hud;
    CaptureStdout out;
    try {
        hud.loadText("text/none.txt");
        FAIL() << "no exception";
    } catch (const Demo::CFileException& e) {
        EXPECT_EQ(e.message, "text/none.txt");
    }
    EXPECT_EQ(out.text(), "Error opening file: text/none.txt\n");
    EXPECT_TRUE(hud.getLines().empty());
}
