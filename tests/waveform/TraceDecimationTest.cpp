#include "TraceDecimation.h"
#include "TraceReadout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace {

// Random values with NaN, the way a simulator marks points it has no value for, and infinities,
// as the dB of a zero gives.
std::vector<double> RandomSeries(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> value(0, 1);
    std::vector<double> series(count);
    for (double& sample : series)
        sample = random() % 50 == 0    ? std::numeric_limits<double>::quiet_NaN()
                 : random() % 90 == 0 ? -std::numeric_limits<double>::infinity()
                                      : value(random);
    return series;
}

std::vector<double> Columns(double from, double to, int count) {
    std::vector<double> boundaries;
    for (int column = 0; column <= count; ++column)
        boundaries.push_back(from + (to - from) * column / count);
    return boundaries;
}

}  // namespace

TEST(MinMaxPyramid, EveryRangeHasTheExtremesOfItsSamples) {
    for (std::size_t count : {1u, 15u, 16u, 17u, 255u, 4097u, 100000u}) {
        const std::vector<double> series = RandomSeries(count, static_cast<unsigned>(count));
        const CMinMaxPyramid pyramid(series.data(), series.size());
        EXPECT_LE(pyramid.KeptBytes(), count * sizeof(double) / 7 + 64) << count;
        std::mt19937 random(7);
        for (int trial = 0; trial < 300; ++trial) {
            std::size_t first = random() % count;
            std::size_t last = first + 1 + random() % (count - first);
            double minimum = INFINITY, maximum = -INFINITY;
            for (std::size_t index = first; index < last; ++index) {
                if (std::isfinite(series[index])) {
                    minimum = std::min(minimum, series[index]);
                    maximum = std::max(maximum, series[index]);
                }
            }
            const CMinMaxPyramid::SRange range = pyramid.Over(first, last);
            ASSERT_EQ(range.any, minimum <= maximum) << count << " " << first << " " << last;
            if (range.any) {
                ASSERT_EQ(range.minimum, minimum) << count << " " << first << " " << last;
                ASSERT_EQ(range.maximum, maximum) << count << " " << first << " " << last;
            }
        }
        EXPECT_FALSE(pyramid.Over(3, 3).any);
    }
}

// At every zoom, the points drawn reach the trace's extremes within the view (a spike of one
// sample among a million included), stay within them, and stay in the order of x.
TEST(TraceDecimation, NoSpikeIsLostAtAnyZoom) {
    const std::size_t count = 1'000'000;
    std::vector<double> xs(count), ys(count);
    for (std::size_t index = 0; index < count; ++index) {
        xs[index] = index * 1e-9;
        ys[index] = std::sin(index * 1e-4);
    }
    ys[612'345] = 40;
    ys[612'346] = -40;
    const CMinMaxPyramid pyramid(ys.data(), count);
    for (double width : {1e-3, 1e-4, 1e-5, 1e-6, 1e-7}) {
        const double from = xs[612'345] - width / 3;
        const std::vector<double> boundaries = Columns(from, from + width, 800);
        const std::vector<STracePoint> points =
            DecimateTrace(xs.data(), ys.data(), pyramid, count, boundaries);
        ASSERT_LE(points.size(), 4u * 800 + 2) << width;
        EXPECT_TRUE(std::is_sorted(points.begin(), points.end(),
                                   [](auto a, auto b) { return a.x < b.x; }))
            << width;
        double top = -INFINITY, bottom = INFINITY;
        for (const STracePoint& point : points) {
            top = std::max(top, point.y);
            bottom = std::min(bottom, point.y);
        }
        EXPECT_EQ(top, 40) << width;
        EXPECT_EQ(bottom, -40) << width;
        // The line runs past both edges of the view, or to the end of the trace.
        EXPECT_LE(points.front().x, std::max(boundaries.front(), xs.front())) << width;
        EXPECT_GE(points.back().x, std::min(boundaries.back(), xs.back())) << width;
    }
}

TEST(TraceDecimation, FewSamplesAreDrawnAsTheyAre) {
    const std::vector<double> xs{0, 1, 2, 3, 4, 5}, ys{5, 4, 3, 2, 1, 0};
    const CMinMaxPyramid pyramid(ys.data(), ys.size());
    const std::vector<STracePoint> points =
        DecimateTrace(xs.data(), ys.data(), pyramid, xs.size(), Columns(1.5, 3.5, 100));
    ASSERT_EQ(points.size(), 4u);  // from the sample before the view to the one after it
    EXPECT_EQ(points.front().x, 1);
    EXPECT_EQ(points.back().x, 4);
    EXPECT_EQ(points[1].y, 3);
    EXPECT_TRUE(DecimateTrace(xs.data(), ys.data(), pyramid, 0, Columns(0, 1, 10)).empty());
}

TEST(TraceDecimation, NearestSampleAndOrder) {
    const std::vector<double> xs{0, 1, 1, 4};
    EXPECT_EQ(NearestSample(xs.data(), xs.size(), -3), 0u);
    EXPECT_EQ(NearestSample(xs.data(), xs.size(), 2.4), 2u);
    EXPECT_EQ(NearestSample(xs.data(), xs.size(), 2.6), 3u);
    EXPECT_EQ(NearestSample(xs.data(), xs.size(), 9), 3u);
    EXPECT_TRUE(IsNonDecreasing(xs.data(), xs.size()));
    const std::vector<double> sweep{0, 1, 0.5};
    EXPECT_FALSE(IsNonDecreasing(sweep.data(), sweep.size()));
    const std::vector<double> gap{0, std::nan(""), 2};
    EXPECT_FALSE(IsNonDecreasing(gap.data(), gap.size()));
}

TEST(TraceReadout, ValuesBetweenSamplesLieOnTheLine) {
    const std::vector<double> xs{0, 1, 1, 3}, ys{0, 10, 20, 40};
    struct Case {
        double x;
        double value;
    };
    // Outside the samples the nearest end holds; at a step (two samples at one x) the later one.
    const Case cases[] = {{-1, 0}, {0.5, 5}, {1, 20}, {2, 30}, {3, 40}, {7, 40}};
    for (const Case& test : cases)
        EXPECT_DOUBLE_EQ(TraceValueAt(xs.data(), ys.data(), xs.size(), test.x), test.value)
            << test.x;
    EXPECT_TRUE(std::isnan(TraceValueAt(xs.data(), ys.data(), 0, 1)));
}
