// The Item Properties rows as a tree: which rows show, where expanding puts children,
// what collapsing takes away, and flag switches written through to the records.
#include <gtest/gtest.h>
#include "itempropertytree.h"

namespace {

AttRecord Property(std::wstring name, std::wstring value, std::wstring old, std::wstring units, long flag) {
    AttRecord property;
    property.I = std::move(name);
    property.V = std::move(value);
    property.O = std::move(old);
    property.U = std::move(units);
    property.S = flag;
    return property;
}

ObjRecord Object(std::wstring name, std::wstring cls) {
    ObjRecord object;
    object.N = std::move(name);
    object.C = std::move(cls);
    return object;
}

// P-101 (Pump): Flow, Head; M-101 (Motor): Power, B-1 (Bearing): Load; empty E-1 (Skid).
ObjRecord Pump() {
    ObjRecord pump = Object(L"P-101", L"Pump");
    pump.attributes = {Property(L"Flow", L"10", L"8", L"m3/h", 0), Property(L"Head", L"50", L"45", L"m", 1)};
    ObjRecord motor = Object(L"M-101", L"Motor");
    motor.attributes = {Property(L"Power", L"7.5", L"5.5", L"kW", 0)};
    ObjRecord bearing = Object(L"B-1", L"Bearing");
    bearing.attributes = {Property(L"Load", L"2", L"", L"kN", 0)};
    motor.objects = {bearing};
    pump.objects = {motor, Object(L"E-1", L"Skid")};
    return pump;
}

std::vector<std::wstring> ShownNames(const ItemPropertyTree& tree) {
    std::vector<std::wstring> names;
    for (const ItemPropertyRow* row : tree.Shown()) names.push_back(row->texts[0]);
    return names;
}

} // namespace

TEST(ItemPropertyTree, TopRowsArePropertiesThenCollapsedSubObjects) {
    ObjRecord pump = Pump();
    ItemPropertyTree tree;
    tree.Build(pump);
    ASSERT_EQ((std::vector<std::wstring>{L"Flow", L"Head", L"M-101 (Motor)", L"E-1 (Skid)"}), ShownNames(tree));
    const ItemPropertyRow& flow = *tree.Shown()[0];
    EXPECT_EQ((std::array<std::wstring, 4>{L"Flow", L"10", L"8", L"m3/h"}), flow.texts);
    EXPECT_EQ(0, flow.image);
    EXPECT_EQ(1, tree.Shown()[1]->image);
    EXPECT_EQ(&pump.attributes[0], flow.source);
    const ItemPropertyRow& motor = *tree.Shown()[2];
    EXPECT_EQ((std::array<std::wstring, 4>{L"M-101 (Motor)", L"", L"", L""}), motor.texts);
    EXPECT_EQ(ItemPropertyRow::kObjectImage, motor.image);
    EXPECT_EQ(nullptr, motor.source);
    EXPECT_FALSE(motor.expanded);
    EXPECT_EQ(2u, motor.children.size());  // Power, then B-1
    for (const ItemPropertyRow* row : tree.Shown()) EXPECT_EQ(0, row->level);

    ObjRecord empty;
    tree.Build(empty);
    EXPECT_TRUE(tree.Shown().empty());
}

TEST(ItemPropertyTree, ExpandShowsDirectChildrenRightBelow) {
    ObjRecord pump = Pump();
    ItemPropertyTree tree;
    tree.Build(pump);
    EXPECT_EQ(0u, tree.Expand(0));   // a property has no children
    EXPECT_EQ(0u, tree.Expand(3));   // an object without any
    EXPECT_EQ(0u, tree.Expand(99));  // past the end
    EXPECT_EQ(2u, tree.Expand(2));
    EXPECT_EQ((std::vector<std::wstring>{L"Flow", L"Head", L"M-101 (Motor)", L"Power", L"B-1 (Bearing)", L"E-1 (Skid)"}),
              ShownNames(tree));
    EXPECT_EQ(1, tree.Shown()[3]->level);
    EXPECT_EQ(1, tree.Shown()[4]->level);
    EXPECT_TRUE(tree.Shown()[2]->expanded);
    EXPECT_EQ(0u, tree.Expand(2));  // already expanded
    EXPECT_EQ(1u, tree.Expand(4));
    EXPECT_EQ(L"Load", tree.Shown()[5]->texts[0]);
    EXPECT_EQ(2, tree.Shown()[5]->level);
    EXPECT_EQ(5u, tree.PositionOf(tree.Shown()[5]));
    EXPECT_EQ(ItemPropertyTree::npos, tree.PositionOf(nullptr));
}

TEST(ItemPropertyTree, CollapseTakesExpandedDescendantsAlong) {
    ObjRecord pump = Pump();
    ItemPropertyTree tree;
    tree.Build(pump);
    tree.Expand(2);
    tree.Expand(4);
    ASSERT_EQ(7u, tree.Shown().size());
    EXPECT_EQ(0u, tree.Collapse(0));  // not expanded
    EXPECT_EQ(3u, tree.Collapse(2));
    EXPECT_EQ((std::vector<std::wstring>{L"Flow", L"Head", L"M-101 (Motor)", L"E-1 (Skid)"}), ShownNames(tree));
    EXPECT_FALSE(tree.Shown()[2]->expanded);
    // Expanding again shows only the direct children, collapsed.
    EXPECT_EQ(2u, tree.Expand(2));
    EXPECT_FALSE(tree.Shown()[4]->expanded);
    EXPECT_EQ(6u, tree.Shown().size());
    EXPECT_TRUE(tree.Toggle(2));
    EXPECT_EQ(4u, tree.Shown().size());
    EXPECT_TRUE(tree.Toggle(2));
    EXPECT_EQ(6u, tree.Shown().size());
    EXPECT_FALSE(tree.Toggle(0));
}

TEST(ItemPropertyTree, FlagSwitchWritesThroughToTheRecord) {
    ObjRecord pump = Pump();
    pump.attributes.push_back(Property(L"Odd", L"", L"", L"", 5));
    ItemPropertyTree tree;
    tree.Build(pump);
    EXPECT_TRUE(tree.ToggleFlag(0));
    EXPECT_EQ(1, tree.Shown()[0]->image);
    EXPECT_EQ(1, pump.attributes[0].S);
    EXPECT_TRUE(tree.ToggleFlag(1));
    EXPECT_EQ(0, pump.attributes[1].S);
    EXPECT_FALSE(tree.ToggleFlag(2));  // the Odd flag is neither 0 nor 1
    EXPECT_EQ(5, pump.attributes[2].S);
    EXPECT_FALSE(tree.ToggleFlag(3));  // an object
    EXPECT_EQ(ItemPropertyRow::kObjectImage, tree.Shown()[3]->image);
    // Rows below the top write into their own records.
    tree.Expand(3);
    EXPECT_TRUE(tree.ToggleFlag(4));
    EXPECT_EQ(1, pump.objects[0].attributes[0].S);
}

TEST(ItemPropertyTree, SiblingQuestionsForTheTreeLines) {
    ObjRecord pump = Pump();
    ItemPropertyTree tree;
    tree.Build(pump);
    tree.Expand(2);
    const auto& shown = tree.Shown();
    EXPECT_TRUE(tree.IsFirstSibling(*shown[0]));
    EXPECT_FALSE(tree.IsLastSibling(*shown[2]));
    EXPECT_TRUE(tree.IsLastSibling(*shown[5]));
    EXPECT_TRUE(tree.IsFirstSibling(*shown[3]));
    EXPECT_TRUE(tree.IsLastSibling(*shown[4]));
    EXPECT_EQ(shown[2], shown[4]->parent);
}
