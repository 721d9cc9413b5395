#include "runtime/StringArray.h"

#include "runtime/GlobalState.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

TEST(StringArray, OwnsCopiesOfItsTexts) {
    StringArray array;
    std::string source = "first";
    EXPECT_EQ(array.Add(source), 0u);
    EXPECT_EQ(array.Add("second"), 1u);
    source = "changed";
    EXPECT_EQ(array[0], "first");

    StringArray copy(array);
    StringArray assigned;
    assigned.Add("dropped");
    assigned = array;
    array.RemoveAll();
    EXPECT_TRUE(array.IsEmpty());
    for (const StringArray* other : {&copy, &assigned}) {
        ASSERT_EQ(other->GetSize(), 2u);
        EXPECT_EQ(other->GetAt(0), "first");
        EXPECT_EQ(other->GetAt(1), "second");
    }
    EXPECT_THROW(copy.GetAt(2), std::out_of_range);
}

TEST(GlobalState, StartsCleared) {
    const GlobalState& state = TheGlobalState();
    EXPECT_TRUE(state.m_EmptyText.empty());
    EXPECT_FALSE(state.m_ShuttingDown);
    EXPECT_EQ(state.m_OsClass, 0);
    EXPECT_EQ(state.m_IntegrityOptions[6], 0);
}

} // namespace
} // namespace vq
