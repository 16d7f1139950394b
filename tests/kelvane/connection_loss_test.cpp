// Which diagnostic records of a failed statement mean the connection is gone.
#include <gtest/gtest.h>

#include "ConnectionLoss.h"
#include "common/KelvaneInterface.h"

namespace {

TEST(ConnectionLoss, ClassZeroEightOnEveryEngineAndEachEnginesOwnNumbers) {
    for (int32_t engine : {MySql, MsSql, Oracle}) {
        EXPECT_TRUE(IsConnectionLoss(engine, "08S01", 0));
    }
    for (int32_t number : {2006, 2013, 2055}) {
        EXPECT_TRUE(IsConnectionLoss(MySql, "HY000", number));
        EXPECT_FALSE(IsConnectionLoss(Oracle, "HY000", number)) << "ORA-0" << number;
    }
    for (int32_t number : {3113, 3114, 3135}) {
        EXPECT_TRUE(IsConnectionLoss(Oracle, "HY000", number));
        EXPECT_FALSE(IsConnectionLoss(MySql, "HY000", number));
    }
}

} // namespace
