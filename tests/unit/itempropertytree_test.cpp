// The Item Properties rows as a tree.
#include <gtest/gtest.h>
#include "itempropertytree.h"

namespace {

ObjRecord Object(const wchar_t* name, const wchar_t* cls, std::vector<AttRecord> attributes = {},
                 std::vector<ObjRecord> objects = {}) {
    ObjRecord object;
    object.N = name;
    object.C = cls;
    object.attributes = std::move(attributes);
    object.objects = std::move(objects);
    return object;
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
    ObjRecord pump = Object(L"P-101", L"Pump",
                            {{L"Flow", L"10", L"8", L"m3/h", 0}, {L"Head", L"50", L"45", L"m", 1}, {L"Odd", L"", L"", L"", 5}},
                            {Object(L"M-101", L"Motor", {{L"Power", L"7.5", L"5.5", L"kW", 0}},
                                    {Object(L"B-1", L"Bearing", {{L"Load", L"2", L"", L"kN", 0}})}),
                             Object(L"E-1", L"Skid")});
    ItemPropertyTree tree;
    tree.Build(pump);
    EXPECT_EQ(L"Flow0 Head1 Odd5 M-101 (Motor)2+ E-1 (Skid)2", Picture(tree));
    EXPECT_EQ((std::array<std::wstring, 4>{L"Flow", L"10", L"8", L"m3/h"}), tree.Shown()[0]->texts);

    // Each step: Expand, Collapse, Toggle or Flag switch of a row, its answer, the rows shown after it.
    const struct { char step; size_t row, answer; const wchar_t* shown; } steps[] = {
        {'E', 0, 0, L"Flow0 Head1 Odd5 M-101 (Motor)2+ E-1 (Skid)2"},  // a property
        {'E', 3, 2, L"Flow0 Head1 Odd5 M-101 (Motor)2- .Power0 .B-1 (Bearing)2+ E-1 (Skid)2"},
        {'E', 3, 0, L"Flow0 Head1 Odd5 M-101 (Motor)2- .Power0 .B-1 (Bearing)2+ E-1 (Skid)2"},  // already expanded
        {'E', 5, 1, L"Flow0 Head1 Odd5 M-101 (Motor)2- .Power0 .B-1 (Bearing)2- ..Load0 E-1 (Skid)2"},
        {'F', 6, 1, L"Flow0 Head1 Odd5 M-101 (Motor)2- .Power0 .B-1 (Bearing)2- ..Load1 E-1 (Skid)2"},
        {'C', 3, 3, L"Flow0 Head1 Odd5 M-101 (Motor)2+ E-1 (Skid)2"},  // expanded descendants go along
        {'E', 3, 2, L"Flow0 Head1 Odd5 M-101 (Motor)2- .Power0 .B-1 (Bearing)2+ E-1 (Skid)2"},
        {'T', 3, 1, L"Flow0 Head1 Odd5 M-101 (Motor)2+ E-1 (Skid)2"},
        {'T', 3, 1, L"Flow0 Head1 Odd5 M-101 (Motor)2- .Power0 .B-1 (Bearing)2+ E-1 (Skid)2"},
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
    const ObjRecord& motor = pump.objects[0];
    EXPECT_EQ((std::vector<long>{1, 0, 5, 1, 1}), (std::vector<long>{pump.attributes[0].S, pump.attributes[1].S, pump.attributes[2].S,
                                                                     motor.attributes[0].S, motor.objects[0].attributes[0].S}));

    // First and last siblings, as the tree lines are drawn from them.
    const auto& shown = tree.Shown();
    EXPECT_TRUE(tree.IsFirstSibling(*shown[0]) && tree.IsFirstSibling(*shown[4]));
    EXPECT_TRUE(tree.IsLastSibling(*shown[5]) && tree.IsLastSibling(*shown[6]));
    EXPECT_FALSE(tree.IsLastSibling(*shown[3]) || tree.IsFirstSibling(*shown[5]));

    ObjRecord empty;
    tree.Build(empty);
    EXPECT_EQ(L"", Picture(tree));
}
