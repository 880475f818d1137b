// Where windows open: inside the available screen, centred over their owner.
#include <gtest/gtest.h>

#include <optional>

#include "app/window_geometry.h"

namespace lct {

// Found by the test's messages through the type's namespace.
std::ostream& operator<<(std::ostream& out, const WindowRect& r) {
    return out << r.x << "," << r.y << " " << r.width << "x" << r.height;
}

namespace {

const WindowRect kLaptop{0, 0, 1366, 740};           // 1366×768 less a 28-pixel panel
const WindowRect kRightScreen{1366, 0, 1920, 1050};  // a second screen to its right

struct FitRow {
    const char* what;
    WindowRect wanted;
    WindowRect available;
    WindowRect expected;
};

class FitInside : public ::testing::TestWithParam<FitRow> {};

TEST_P(FitInside, CutsAndMovesTheLeast) {
    const FitRow& row = GetParam();
    EXPECT_EQ(fitInside(row.wanted, row.available), row.expected) << row.what;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FitInside,
    ::testing::Values(
        FitRow{"inside stays", {100, 50, 800, 600}, kLaptop, {100, 50, 800, 600}},
        FitRow{"too tall is cut", {0, 0, 1100, 860}, kLaptop, {0, 0, 1100, 740}},
        FitRow{"too large both ways", {-10, -10, 2000, 1200}, kLaptop, {0, 0, 1366, 740}},
        FitRow{
            "past the right edge moves left", {900, 100, 800, 600}, kLaptop, {566, 100, 800, 600}},
        FitRow{"past the bottom moves up", {10, 500, 800, 600}, kLaptop, {10, 140, 800, 600}},
        FitRow{"above the top moves down", {10, -40, 800, 600}, kLaptop, {10, 0, 800, 600}},
        FitRow{"on a screen that is gone", {2000, 100, 1000, 600}, kLaptop, {366, 100, 1000, 600}},
        FitRow{"on the second screen", {1500, 20, 1000, 700}, kRightScreen, {1500, 20, 1000, 700}},
        FitRow{"an empty size gets one pixel", {5, 5, 0, -3}, kLaptop, {5, 5, 1, 1}}));

struct CentreRow {
    const char* what;
    int width;
    int height;
    WindowRect owner;
    WindowRect available;
    WindowRect expected;
};

class CentredOver : public ::testing::TestWithParam<CentreRow> {};

TEST_P(CentredOver, SharesTheOwnersCentreInsideTheScreen) {
    const CentreRow& row = GetParam();
    EXPECT_EQ(centredOver(row.width, row.height, row.owner, row.available), row.expected)
        << row.what;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CentredOver,
    ::testing::Values(
        CentreRow{"over the owner", 880, 640, {100, 50, 1100, 690}, kLaptop, {210, 75, 880, 640}},
        CentreRow{
            "owner near the edge", 620, 460, {900, 400, 400, 300}, kLaptop, {746, 280, 620, 460}},
        CentreRow{
            "larger than the screen", 1600, 900, {0, 0, 1366, 740}, kLaptop, {0, 0, 1366, 740}},
        CentreRow{"owner on the second screen",
                  720,
                  640,
                  {1500, 100, 1200, 800},
                  kRightScreen,
                  {1740, 180, 720, 640}}));

TEST(OpeningRect, WithoutAStoredPlaceThePreferredSizeIsCentredAndCut) {
    EXPECT_EQ(openingRect(std::nullopt, 1100, 860, kLaptop), (WindowRect{133, 0, 1100, 740}));
    EXPECT_EQ(openingRect(std::nullopt, 1100, 860, kRightScreen),
              (WindowRect{1776, 95, 1100, 860}));
}

TEST(OpeningRect, AStoredPlaceIsFittedToTheScreen) {
    EXPECT_EQ(openingRect(WindowRect{50, 40, 900, 600}, 1100, 860, kLaptop),
              (WindowRect{50, 40, 900, 600}));
    EXPECT_EQ(openingRect(WindowRect{1400, 300, 1200, 900}, 1100, 860, kLaptop),
              (WindowRect{166, 0, 1200, 740}));
}

TEST(OpeningRect, TheFrameAroundTheClientAreaFitsTooTitleBarIncluded) {
    const FrameMargins frame{4, 30, 4, 4};
    EXPECT_EQ(openingRect(std::nullopt, 1100, 860, kLaptop, frame),
              (WindowRect{133, 30, 1100, 706}));
    // A stored corner is the frame's: the client area lies inside it.
    EXPECT_EQ(openingRect(WindowRect{50, 40, 900, 600}, 1100, 860, kLaptop, frame),
              (WindowRect{54, 70, 900, 600}));
    EXPECT_EQ(openingRect(WindowRect{0, 0, 1366, 740}, 1100, 860, kLaptop, frame),
              (WindowRect{4, 30, 1358, 706}));
    // A second copy opens beside the first, still on the screen.
    EXPECT_EQ(openingRect(WindowRect{50, 40, 900, 600}, 1100, 860, kLaptop, frame, 40),
              (WindowRect{94, 110, 900, 600}));
}

}  // namespace
}  // namespace lct
