#include "case/ElementList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

TEST(ElementListTest, DeleteKeepsOrderAndTheTableHoldsTwenty) {
    ElementList list;
    for (int i = 1; i <= ElementList::kCapacity; ++i) {
        auto element = std::make_unique<Element>();
        element->SetText(std::to_string(i));
        ASSERT_TRUE(list.Add(std::move(element)));
    }
    EXPECT_FALSE(list.Add(std::make_unique<Element>()));
    EXPECT_EQ(list.GetCount(), 20);

    list.Delete(0);
    list.Delete(20);
    ASSERT_EQ(list.GetCount(), 19);
    EXPECT_EQ(list.GetItem(0)->GetText(), "2");
    EXPECT_EQ(list.GetItem(18)->GetText(), "20");
    EXPECT_EQ(list.GetItem(19), nullptr);
    EXPECT_EQ(list.GetItem(-1), nullptr);
    EXPECT_TRUE(list.Add(std::make_unique<Element>()));
}
