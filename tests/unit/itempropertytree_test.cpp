// The Item Properties rows as a tree: a sequence of expand, collapse and flag switches,
// each with what it answers and the shown rows after it; flags written to the records.
#include <gtest/gtest.h>
#include "itempropertytree.h"

namespace {

AttRecord Property(const wchar_t* name, const wchar_t* value, const wchar_t* old, const wchar_t* units, long flag) {
    AttRecord property;
    property.I = name;
    property.V = value;
    property.O = old;
    property.U = units;
    property.S = flag;
    return property;
}

ObjRecord Object(const wchar_t* name, const wchar_t* cls) {
    ObjRecord object;
    object.N = name;
    object.C = cls;
    return object;
}

// P-101 (Pump): Flow, Head, Odd; M-101 (Motor): Power, B-1 (Bearing): Load; empty E-1 (Skid).
ObjRecord Pump() {
    ObjRecord pump = Object(L"P-101", L"Pump");
    pump.attributes = {Property(L"Flow", L"10", L"8", L"m3/h", 0), Property(L"Head", L"50", L"45", L"m", 1),
                       Property(L"Odd", L"", L"", L"", 5)};
    ObjRecord motor = Object(L"M-101", L"Motor");
    motor.attributes = {Property(L"Power", L"7.5", L"5.5", L"kW", 0)};
    ObjRecord bearing = Object(L"B-1", L"Bearing");
    bearing.attributes = {Property(L"Load", L"2", L"", L"kN", 0)};
    motor.objects = {bearing};
    pump.objects = {motor, Object(L"E-1", L"Skid")};
    return pump;
}

// Each shown row: a dot per level, its name, its picture, "+"/"-" for a collapsed or
// expanded object with children.
std::wstring Picture(const ItemPropertyTree& tree) {
    std::wstring text;
    for (const ItemPropertyRow* row : tree.Shown()) {
        if (!text.empty()) text += L" ";
        text += std::wstring(row->level, L'.') + row->texts[0] + std::to_wstring(row->image);
        if (row->HasChildren()) text += row->expanded ? L"-" : L"+";
    }
    return text;
}

} // namespace

TEST(ItemPropertyTree, RowsAfterEachStep) {
    ObjRecord pump = Pump();
    ItemPropertyTree tree;
    tree.Build(pump);
    EXPECT_EQ(L"Flow0 Head1 Odd5 M-101 (Motor)2+ E-1 (Skid)2", Picture(tree));
    const ItemPropertyRow& flow = *tree.Shown()[0];
    EXPECT_EQ((std::array<std::wstring, 4>{L"Flow", L"10", L"8", L"m3/h"}), flow.texts);
    EXPECT_EQ((std::array<std::wstring, 4>{L"M-101 (Motor)", L"", L"", L""}), tree.Shown()[3]->texts);

    const struct {
        char step;  // Expand, Collapse, Toggle, Flag switch
        size_t row;
        size_t answer;
        const wchar_t* shown;
    } steps[] = {
        {'E', 0, 0, L"Flow0 Head1 Odd5 M-101 (Motor)2+ E-1 (Skid)2"},  // a property
        {'E', 4, 0, L"Flow0 Head1 Odd5 M-101 (Motor)2+ E-1 (Skid)2"},  // an object without children
        {'E', 99, 0, L"Flow0 Head1 Odd5 M-101 (Motor)2+ E-1 (Skid)2"},
        {'E', 3, 2, L"Flow0 Head1 Odd5 M-101 (Motor)2- .Power0 .B-1 (Bearing)2+ E-1 (Skid)2"},
        {'E', 3, 0, L"Flow0 Head1 Odd5 M-101 (Motor)2- .Power0 .B-1 (Bearing)2+ E-1 (Skid)2"},  // already expanded
        {'E', 5, 1, L"Flow0 Head1 Odd5 M-101 (Motor)2- .Power0 .B-1 (Bearing)2- ..Load0 E-1 (Skid)2"},
        {'F', 6, 1, L"Flow0 Head1 Odd5 M-101 (Motor)2- .Power0 .B-1 (Bearing)2- ..Load1 E-1 (Skid)2"},
        {'C', 0, 0, L"Flow0 Head1 Odd5 M-101 (Motor)2- .Power0 .B-1 (Bearing)2- ..Load1 E-1 (Skid)2"},
        {'C', 3, 3, L"Flow0 Head1 Odd5 M-101 (Motor)2+ E-1 (Skid)2"},  // expanded descendants go along
        {'E', 3, 2, L"Flow0 Head1 Odd5 M-101 (Motor)2- .Power0 .B-1 (Bearing)2+ E-1 (Skid)2"},
        {'T', 3, 1, L"Flow0 Head1 Odd5 M-101 (Motor)2+ E-1 (Skid)2"},
        {'T', 3, 1, L"Flow0 Head1 Odd5 M-101 (Motor)2- .Power0 .B-1 (Bearing)2+ E-1 (Skid)2"},
        {'T', 0, 0, L"Flow0 Head1 Odd5 M-101 (Motor)2- .Power0 .B-1 (Bearing)2+ E-1 (Skid)2"},
        {'F', 0, 1, L"Flow1 Head1 Odd5 M-101 (Motor)2- .Power0 .B-1 (Bearing)2+ E-1 (Skid)2"},
        {'F', 1, 1, L"Flow1 Head0 Odd5 M-101 (Motor)2- .Power0 .B-1 (Bearing)2+ E-1 (Skid)2"},
        {'F', 2, 0, L"Flow1 Head0 Odd5 M-101 (Motor)2- .Power0 .B-1 (Bearing)2+ E-1 (Skid)2"},  // neither 0 nor 1
        {'F', 3, 0, L"Flow1 Head0 Odd5 M-101 (Motor)2- .Power0 .B-1 (Bearing)2+ E-1 (Skid)2"},  // an object
        {'F', 4, 1, L"Flow1 Head0 Odd5 M-101 (Motor)2- .Power1 .B-1 (Bearing)2+ E-1 (Skid)2"},
    };
    for (const auto& s : steps) {
        size_t answer = s.step == 'E'   ? tree.Expand(s.row)
                        : s.step == 'C' ? tree.Collapse(s.row)
                        : s.step == 'T' ? tree.Toggle(s.row)
                                        : tree.ToggleFlag(s.row);
        EXPECT_EQ(s.answer, answer) << s.step << s.row;
        EXPECT_EQ(s.shown, Picture(tree)) << s.step << s.row;
    }
    // The switched flags are in the records.
    EXPECT_EQ(1, pump.attributes[0].S);
    EXPECT_EQ(0, pump.attributes[1].S);
    EXPECT_EQ(5, pump.attributes[2].S);
    EXPECT_EQ(1, pump.objects[0].attributes[0].S);
    EXPECT_EQ(1, pump.objects[0].objects[0].attributes[0].S);

    // Positions, parents and siblings, as the tree lines are drawn from them.
    const auto& shown = tree.Shown();
    EXPECT_EQ(&pump.attributes[0], shown[0]->source);
    EXPECT_EQ(nullptr, shown[3]->source);
    EXPECT_EQ(shown[3], shown[5]->parent);
    EXPECT_EQ(5u, tree.PositionOf(shown[5]));
    EXPECT_EQ(ItemPropertyTree::npos, tree.PositionOf(nullptr));
    EXPECT_TRUE(tree.IsFirstSibling(*shown[0]) && tree.IsFirstSibling(*shown[4]));
    EXPECT_TRUE(tree.IsLastSibling(*shown[5]) && tree.IsLastSibling(*shown[6]));
    EXPECT_FALSE(tree.IsLastSibling(*shown[3]) || tree.IsFirstSibling(*shown[5]));

    ObjRecord empty;
    tree.Build(empty);
    EXPECT_EQ(L"", Picture(tree));
}
