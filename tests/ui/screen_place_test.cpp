// Places kept on the screens there are, whatever screen or corner they were saved on.
#include "ui/screen_place.h"

#include <gtest/gtest.h>

namespace hw::ui {
namespace {

TEST(ScreenPlaceTest, APlaceComesBackWholeOntoTheScreenItCoversMost) {
    const QRect left(0, 0, 1000, 700);
    const QRect right(1000, 0, 800, 600);
    struct Case {
        const char* what;
        QRect frame;
        QList<QRect> screens;
        QRect placed;
    };
    const Case cases[] = {
        {"inside stays", {100, 50, 400, 300}, {left}, {100, 50, 400, 300}},
        {"title bar above the top", {100, -40, 400, 300}, {left}, {100, 0, 400, 300}},
        {"off the left and bottom", {-150, 600, 400, 300}, {left}, {0, 400, 400, 300}},
        {"off the right", {900, 100, 400, 300}, {left}, {600, 100, 400, 300}},
        {"larger than the screen", {-10, -10, 1200, 900}, {left}, left},
        {"on the second screen", {1100, 100, 400, 300}, {left, right}, {1100, 100, 400, 300}},
        {"mostly on the second", {900, 100, 400, 300}, {left, right}, {1000, 100, 400, 300}},
        {"below the shorter screen", {1100, 500, 400, 300}, {left, right}, {1100, 300, 400, 300}},
        {"on a screen that is gone", {2500, 100, 400, 300}, {left}, {600, 100, 400, 300}},
        {"no screens", {2500, 100, 400, 300}, {}, {2500, 100, 400, 300}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OnScreen(c.frame, c.screens), c.placed) << c.what;
}

} // namespace
} // namespace hw::ui
