#include "RandomDraw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

TEST(RandomDrawTest, FollowsTheCLibrarysRandFromAnySeed)
{
    // 0 acts as 1; seeds above 2^31 too must come out as the library's.
    for (unsigned int seed : {1u, 7u, 0u, 4000000000u})
    {
        SCOPED_TRACE(seed);
        seedRandomDraw(seed);
        std::srand(seed);
        int draws[5000];
        for (int& draw : draws)
            draw = randomDraw();
        std::srand(seed);
        for (int i = 0; i < 5000; ++i)
            ASSERT_EQ(draws[i], std::rand() >> 16) << "draw " << i;
    }
}

TEST(RandomDrawTest, AFreshProcessDrawsFromSeedOneWhateverElseCallsRand)
{
    // A fresh process of its own: no earlier test has drawn in it. The
    // library's rand is called out of turn first and between the draws.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::srand(99);
            int draws[3000];
            for (int& draw : draws)
            {
                std::rand();
                std::rand();
                draw = randomDraw();
            }
            std::srand(1);
            for (int draw : draws)
                if (draw != std::rand() >> 16)
                    std::exit(1);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(RandomDrawTest, DrawsSpanFifteenBitsAndRepeatFromTheUnseededStart)
{
    seedRandomDraw(1); // where an unseeded run starts
    int first[2000];
    double sum = 0.0;
    for (int& draw : first)
    {
        draw = randomDraw();
        ASSERT_TRUE(draw >= 0 && draw <= RANDOM_DRAW_MAX) << draw;
        sum += draw;
    }
    EXPECT_LT(*std::min_element(first, first + 2000), 200);
    EXPECT_GT(*std::max_element(first, first + 2000), RANDOM_DRAW_MAX - 200);
    EXPECT_NEAR(sum / 2000.0, RANDOM_DRAW_MAX / 2.0, 1000.0);
    seedRandomDraw(1);
    for (int draw : first)
        ASSERT_EQ(randomDraw(), draw);
}

