#include "WindowPlacement.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using quorvan::PlaceMainWindow;
using quorvan::StoredPlacement;

constexpr qint64 kMax = std::numeric_limits<int32_t>::max();
constexpr qint64 kMin = std::numeric_limits<int32_t>::min();

TEST(WindowPlacement, StoredValuesAreHeldToTheMinimumAndToWhatTheScreensShow) {
    const QRect window(100, 100, 948, 490);
    const QRect desktop(0, 0, 1920, 1080);
    struct Row {
        const char* name;
        StoredPlacement stored;
        QRect desktop;
        QRect expected;
    };
    const Row rows[] = {
        {"nothing stored", {}, desktop, window},
        {"a stored place and size", {10, 20, 1000, 600}, desktop, {10, 20, 1000, 600}},
        {"raised to the minimum", {{}, {}, 500, 300}, desktop, {100, 100, 800, 400}},
        {"huge sizes", {{}, {}, kMax, kMax}, desktop, {100, 100, 1920, 1080}},
        {"far right and below", {kMax, kMax, {}, {}}, desktop, {1820, 980, 948, 490}},
        {"far left and above", {kMin, kMin, {}, {}}, desktop, {-848, 0, 948, 490}},
        {"a little off the left edge", {-20, {}, {}, {}}, desktop, {-20, 100, 948, 490}},
        {"a desktop narrower than the minimum",
         {{}, {}, kMax, kMax},
         {0, 0, 640, 480},
         {100, 100, 800, 480}},
        {"a second screen to the left",
         {-1500, 50, {}, {}},
         {-1920, 0, 3840, 1080},
         {-1500, 50, 948, 490}},
        {"a desktop lower than the part kept in view",
         {kMax, kMax, {}, {}},
         {0, 0, 1920, 60},
         {1820, 0, 948, 400}},
        {"no screen", {kMax, kMax, kMax, kMax}, {}, {0, 0, 800, 400}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(PlaceMainWindow(window, row.stored, row.desktop), row.expected);
    }
}

}  // namespace
