#include "display/update_region.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

// Area covered by the region, counted pixel by pixel inside a W x H field,
// with a check that no pixel is covered twice.
struct Coverage {
    static constexpr int W = 64, H = 48;
    std::vector<int> hits = std::vector<int>(W * H, 0);
    explicit Coverage(const UpdateRegion& region) {
        for (int i = 0; i < region.Count(); ++i) {
            const ViewRect& r = region.Rect(i);
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x) ++hits[y * W + x];
        }
    }
};

TEST(UpdateRegion, StartsEmptyAndIgnoresEmptyRectangles) {
    UpdateRegion region;
    EXPECT_TRUE(region.Empty());
    region.Add({5, 5, 5, 10});
    region.Add({5, 5, 10, 4});
    EXPECT_TRUE(region.Empty());
    EXPECT_TRUE(RectEmpty(region.Bounds()));
}

TEST(UpdateRegion, KeepsTheExactUnionAsDisjointRectangles) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        UpdateRegion region;
        std::vector<ViewRect> added;
        int n = 1 + static_cast<int>(random() % 12);
        for (int i = 0; i < n; ++i) {
            int32_t l = random() % Coverage::W, t = random() % Coverage::H;
            int32_t r = l + random() % (Coverage::W - l + 1),
                    b = t + random() % (Coverage::H - t + 1);
            added.push_back({l, t, r, b});
            region.Add(added.back());
        }
        Coverage cover(region);
        ViewRect bounds = {0, 0, 0, 0};
        for (int y = 0; y < Coverage::H; ++y) {
            for (int x = 0; x < Coverage::W; ++x) {
                bool inside = false;
                for (const ViewRect& a : added)
                    inside |= x >= a.left && x < a.right && y >= a.top && y < a.bottom;
                ASSERT_EQ(cover.hits[y * Coverage::W + x], inside ? 1 : 0)
                    << "round " << round << " pixel " << x << "," << y;
                EXPECT_EQ(region.Contains(x, y), inside);
                if (inside) bounds = RectBounds(bounds, {x, y, x + 1, y + 1});
            }
        }
        EXPECT_EQ(region.Bounds().left, bounds.left);
        EXPECT_EQ(region.Bounds().top, bounds.top);
        EXPECT_EQ(region.Bounds().right, bounds.right);
        EXPECT_EQ(region.Bounds().bottom, bounds.bottom);
    }
}

TEST(UpdateRegion, JoinsNeighboursAndAbsorbsCoveredRectangles) {
    UpdateRegion region;
    region.Add({0, 0, 10, 10});
    region.Add({10, 0, 20, 10}); // shares the right edge
    EXPECT_EQ(region.Count(), 1);
    region.Add({0, 0, 20, 10}); // the same area again
    EXPECT_EQ(region.Count(), 1);
    region.Add({30, 30, 35, 35});
    region.Add({31, 31, 33, 33});
    EXPECT_EQ(region.Count(), 2);
    region.Add({-5, -5, 40, 40}); // covers both
    ASSERT_EQ(region.Count(), 1);
    EXPECT_EQ(region.Rect(0).right, 40);
}

TEST(UpdateRegion, FallsBackToTheBoundingRectangleWhenFull) {
    UpdateRegion region;
    // A chequerboard of single pixels cannot be joined.
    for (int i = 0; i < REGION_MAX_RECTS + 10; ++i) {
        int32_t x = (i % 40) * 2, y = (i / 40) * 2;
        region.Add({x, y, x + 1, y + 1});
    }
    ASSERT_EQ(region.Count(), 1);
    EXPECT_EQ(region.Rect(0).left, 0);
    EXPECT_EQ(region.Rect(0).top, 0);
    EXPECT_EQ(region.Rect(0).right, 79);
    EXPECT_EQ(region.Rect(0).bottom, 13);
    region.Clear();
    EXPECT_TRUE(region.Empty());
}

} // namespace
