#include "SaunaMX.h"
#include "SaunaREG.h"

#include <gtest/gtest.h>

TEST(SaunaMX, FreshImageIsZeroAndHasSelectableHeatingMode) {
    TSaunaMX image;
    for (int n = 0; n < TSaunaMX::REG_COUNT; ++n)
        ASSERT_EQ(image.ReadTableREG(n), 0) << n;
    for (int n = 0; n < TSaunaMX::BIT_COUNT; ++n)
        ASSERT_FALSE(image.ReadTableBIT(n)) << n;
    EXPECT_EQ(image.SaunaConfigType(), 1);
}

TEST(SaunaMX, ConfigTypeTableGivesFixedModeOnlyForTenTwentySixty) {
    const struct {
        int type;
        int expected;
    } cases[] = {{10, 0}, {20, 0}, {60, 0}, {0, 1}, {11, 1}, {30, 1}, {61, 1}, {65535, 1}};
    for (const auto& c : cases) {
        TSaunaMX image;
        image.WriteTableREG(REG_CONFIG_TYPE, c.type);
        EXPECT_EQ(image.SaunaConfigType(), c.expected) << c.type;
    }
}

TEST(SaunaMX, EntriesAtTheEdgesKeepTheirValues) {
    TSaunaMX image;
    image.WriteTableREG(0, 7);
    image.WriteTableREG(119, 65535);
    image.WriteTableBIT(255, true);
    image.WriteTableRBIT(15, -3);
    EXPECT_EQ(image.ReadTableREG(0), 7);
    EXPECT_EQ(image.ReadTableREG(119), 65535);
    EXPECT_TRUE(image.ReadTableBIT(255));
    EXPECT_EQ(image.ReadTableRBIT(15), -3);
}

TEST(SaunaMX, IndicesOutsideTheTablesReadZeroAndIgnoreWrites) {
    TSaunaMX image;
    image.WriteTableREG(120, 5);
    image.WriteTableREG(-1, 5);
    image.WriteTableBIT(256, true);
    image.WriteTableRBIT(16, 5);
    EXPECT_EQ(image.ReadTableREG(120), 0);
    EXPECT_EQ(image.ReadTableREG(-1), 0);
    EXPECT_FALSE(image.ReadTableBIT(256));
    EXPECT_FALSE(image.ReadTableBIT(-1));
    EXPECT_EQ(image.ReadTableRBIT(16), 0);
    EXPECT_EQ(image.ReadTableREG(119), 0);
    EXPECT_FALSE(image.ReadTableBIT(255));
}
