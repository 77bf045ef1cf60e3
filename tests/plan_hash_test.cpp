// plan_hash_test.cpp -- the name table: ids, buckets, chains and its limit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plan/hash_table.h"

TEST(HashTable, HandsOutIdsInOrderOfFirstAddingAndKeepsItsOwnCopies)
{
    HashTable table(100);
    EXPECT_EQ(table.find_id("Red"), 0);
    EXPECT_EQ(table.id_of("Red"), 1);
    EXPECT_EQ(table.id_of("Green"), 2);
    EXPECT_EQ(table.id_of("Red"), 1);
    EXPECT_EQ(table.find_id("green"), 0);  // case matters
    EXPECT_EQ(table.find_id("Gree"), 0);   // a prefix is another name
    EXPECT_EQ(table.count, 2);             // find_id never adds

    // The entry of id k sits at k - 1 and holds the table's own copy.
    char name[] = "Yellow";
    EXPECT_EQ(table.id_of(name), 3);
    std::strcpy(name, "Purple");
    EXPECT_STREQ(table.entries[2]->name, "Yellow");
    EXPECT_EQ(table.find_id("Yellow"), 3);
    EXPECT_EQ(table.find_id("Purple"), 0);
}

TEST(HashTable, NamesInOneBucketChainNewestFirst)
{
    HashTable table(100);
    EXPECT_EQ(table.hash_of("Blue"), 25u);  // h = 2277125
    EXPECT_EQ(table.hash_of("Orange"), 25u);
    const int blue = table.id_of("Blue");
    const int orange = table.id_of("Orange");
    ASSERT_NE(table.buckets[25], nullptr);
    EXPECT_EQ(table.buckets[25]->id, orange);
    ASSERT_NE(table.buckets[25]->next, nullptr);
    EXPECT_EQ(table.buckets[25]->next->id, blue);
    EXPECT_EQ(table.buckets[25]->next->next, nullptr);
    EXPECT_EQ(table.find_id("Blue"), blue);
}

TEST(HashTable, BytesAboveSevenBitsCountAsNegative)
{
    HashTable table(100);
    EXPECT_EQ(table.hash_of("\xff"), 95u);  // h = 4294967295
    // 0x80 then 'A': (-128) * 32 + 65 wraps to 4294963265.
    HashTable thousand(1000);
    EXPECT_EQ(thousand.hash_of("\x80" "A"), 265u);
    EXPECT_EQ(table.hash_of(""), 0u);
    EXPECT_EQ(table.id_of(""), 1);
    EXPECT_EQ(table.id_of("\xff"), 2);
    EXPECT_EQ(table.find_id("\xff"), 2);
}

TEST(HashTable, AcceptsSizeNamesAndEndsTheProgramAtTheNext)
{
    HashTable table(100);
    for (int i = 1; i <= 100; ++i)
        ASSERT_EQ(table.id_of(("name" + std::to_string(i)).c_str()), i);
    for (int i = 1; i <= 100; ++i)
        ASSERT_EQ(table.find_id(("name" + std::to_string(i)).c_str()), i);
    EXPECT_EQ(table.id_of("name100"), 100);  // known names still answer
    EXPECT_EXIT(table.id_of("name101"), testing::ExitedWithCode(255),
                "^Number of vertices exceeds size of 100 in HashTable::id_of !\nExiting\\.\\.\\.\\.\n$");

    // A size below one is taken as one.
    HashTable single(0);
    EXPECT_EQ(single.size, 1);
    EXPECT_EQ(single.id_of("only"), 1);
    EXPECT_EXIT(single.id_of("second"), testing::ExitedWithCode(255),
                "^Number of vertices exceeds size of 1 in HashTable::id_of !\nExiting\\.\\.\\.\\.\n$");
}
