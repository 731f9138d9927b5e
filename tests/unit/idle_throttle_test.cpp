#include "runtime/idle_throttle.h"

#include <gtest/gtest.h>

using vexil::IdleThrottle;

TEST(IdleThrottle, YieldsAHundredTimesThenSleeps) {
    IdleThrottle throttle;
    for (int i = 0; i < 100; ++i) ASSERT_EQ(throttle.nextSleep(false), 0) << "poll " << i;
    EXPECT_EQ(throttle.nextSleep(false), 10);
    EXPECT_EQ(throttle.nextSleep(false), 10);
    throttle.reset();
    EXPECT_EQ(throttle.nextSleep(false), 0);
}

TEST(IdleThrottle, ABusyOtherQueueAlwaysSleepsWithoutCounting) {
    IdleThrottle throttle;
    for (int i = 0; i < 150; ++i) ASSERT_EQ(throttle.nextSleep(true), 10);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(throttle.nextSleep(false), 0) << "poll " << i;
    EXPECT_EQ(throttle.nextSleep(false), 10);
}
