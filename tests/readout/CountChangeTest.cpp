// The change of a 16-bit counter across reads, the wrap included.
#include "CountChange.h"

#include <gtest/gtest.h>

using namespace nodalyx;

TEST(CountChangeTest, StepsAreModulo65536) {
    const struct {
        quint16 previous, current, step;
    } rows[] = {
        {0, 0, 0}, {10, 15, 5}, {65535, 3, 4}, {65535, 0, 1}, {3, 2, 65535}, {0, 65535, 65535},
    };
    for (const auto& r : rows)
        EXPECT_EQ(counterStep(r.previous, r.current), r.step) << r.previous << "->" << r.current;
}

TEST(CountChangeTest, TheTotalAddsEachStepThroughSeveralWraps) {
    CountChange c;
    EXPECT_EQ(c.next(65000), 0); // the first read only starts
    EXPECT_EQ(c.next(65535), 535);
    EXPECT_EQ(c.next(3), 4);
    EXPECT_EQ(c.next(40000), 39997);
    EXPECT_EQ(c.next(100), 25636); // the second wrap
    EXPECT_EQ(c.total(), 535 + 4 + 39997 + 25636);
    c.start(7);
    EXPECT_EQ(c.total(), 0);
    EXPECT_EQ(c.next(7), 0);
}
