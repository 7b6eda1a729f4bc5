#include "scene/VkElementList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::unique_ptr<VkElement> NamedElement(const std::string& text) {
    auto element = std::make_unique<VkElement>();
    element->SetText(text);
    return element;
}

} // namespace

TEST(VkElementListTest, NewElementIsRedWithNoTextOrAngles) {
    VkElement element;
    double r = 0, g = 0, b = 0;
    element.GetColor(r, g, b);
    EXPECT_EQ(r, 1.0);
    EXPECT_EQ(g, 0.0);
    EXPECT_EQ(b, 0.0);
    EXPECT_TRUE(element.GetText().empty());
    EXPECT_EQ(element.GetYaw(), 0.0);
    EXPECT_EQ(element.GetPitch(), 0.0);
    EXPECT_EQ(element.GetRoll(), 0.0);
}

TEST(VkElementListTest, DeleteKeepsOrderAndRenumbers) {
    VkElementList list;
    for (const char* text : {"one", "two", "three"}) {
        ASSERT_TRUE(list.Add(NamedElement(text)));
    }
    list.Delete(0);
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetItem(0)->GetText(), "two");
    EXPECT_EQ(list.GetItem(1)->GetText(), "three");
    EXPECT_EQ(list.GetItem(2), nullptr);

    list.Delete(5);
    list.Delete(-1);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetItem(-1), nullptr);

    list.Clear();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetItem(0), nullptr);
}

TEST(VkElementListTest, TwentyFirstElementIsRefused) {
    VkElementList list;
    for (int i = 0; i < VkElementList::kCapacity; ++i) {
        ASSERT_TRUE(list.Add(NamedElement(std::to_string(i + 1))));
    }
    EXPECT_FALSE(list.Add(NamedElement("21")));
    EXPECT_EQ(list.GetCount(), 20);
    EXPECT_EQ(list.GetItem(19)->GetText(), "20");
    EXPECT_FALSE(list.Add(nullptr));
}
