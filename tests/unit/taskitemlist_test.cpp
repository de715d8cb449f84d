// TaskItemCollection::Load over the TaskItemList parser.
#include <gtest/gtest.h>
#include "taskitemcollection.h"
#include "xml_test_support.h"

namespace {

struct TextAttribute { const wchar_t* name; std::wstring TaskItem::*field; };

#define TEXT_FIELD(name) {L## #name, &TaskItem::name}
const TextAttribute kTextAttributes[] = {
    TEXT_FIELD(ToDo_Name),       TEXT_FIELD(ToDo_Description), TEXT_FIELD(ToDo_Notes),           TEXT_FIELD(ToDo_Class),
    TEXT_FIELD(ToDo_ItemName),   TEXT_FIELD(ToDo_CreatedDate), TEXT_FIELD(ToDo_CreatedBy),       TEXT_FIELD(ToDo_RunBy),
    TEXT_FIELD(ToDo_ModifiedBy), TEXT_FIELD(ToDo_RunDate),     TEXT_FIELD(ToDo_ModifiedDate),    TEXT_FIELD(ToDo_SrcDocName),
    TEXT_FIELD(ToDo_DeletedBy),  TEXT_FIELD(ToDo_DeletedDate), TEXT_FIELD(ToDo_EngineeringTool), TEXT_FIELD(ToDo_SrcDocType),
};

class TaskItemListTest : public testing::Test {
protected:
    void SetUp() override { ClearThreadError(); }
    HRESULT Load(std::wstring_view text) { return tasks.Load(Bstr(text).get()); }

    // The privileges, then for each task in list order the four numbers and each text that
    // is not empty.
    std::wstring Contents() const {
        std::wstring text = std::wstring(tasks.Delete ? L"D" : L"-") + (tasks.Run ? L"R" : L"-") +
                            (tasks.Defer ? L"F" : L"-");
        for (const TaskItem& task : tasks.Items()) {
            text += L" [" + std::to_wstring(task.ToDo_Index) + L"/" + std::to_wstring(task.ToDo_Status) + L"/" +
                    std::to_wstring(task.ToDo_Category) + L"/" + std::to_wstring(task.ToDo_DeletedFlag);
            for (const TextAttribute& attribute : kTextAttributes)
                if (!(task.*attribute.field).empty()) text += L" " + (attribute.name + (L"=" + task.*attribute.field));
            text += L"]";
        }
        return text;
    }

    TaskItemCollection tasks;
};

} // namespace

// One collection through a sequence of loads: privileges keep their values unless a
// document names them; a failed load keeps the tasks whose elements ended before it.
TEST_F(TaskItemListTest, LoadSequence) {
    // Each text attribute carries its own name as value, in reverse table order, so that a
    // swapped mapping or an order dependence shows.
    std::wstring full = L"<TaskItemList>", fullContents = L"DRF";
    for (int i = 1; i <= 3; ++i) {
        const std::wstring index = std::to_wstring(i);
        full += L"<TaskItem";
        for (auto it = std::rbegin(kTextAttributes); it != std::rend(kTextAttributes); ++it)
            full += std::wstring(L" ") + it->name + L"=\"" + index + L" " + it->name + L" &amp; more\"";
        full += L" ToDo_DeletedFlag=\"1\" ToDo_Status=\"4\" ToDo_Category=\"6\" ToDo_Index=\"" + index +
                L"\" Unknown=\"x\"/>";
        fullContents += L" [" + index + L"/4/6/1";
        for (const TextAttribute& attribute : kTextAttributes)
            fullContents += std::wstring(L" ") + attribute.name + L"=" + index + L" " + attribute.name + L" & more";
        fullContents += L"]";
    }
    full += L"<Privilege Delete=\"1\" Run=\"yes\" Defer=\"TRUE\"/></TaskItemList>";
    struct Step { std::wstring document; HRESULT expected; std::wstring contents; } steps[] = {
        {L"<TaskItemList><TaskItem ToDo_Name=\"x\"/></TaskItemList>", S_OK, L"--- [0/0/0/0 ToDo_Name=x]"},
        {full, S_OK, fullContents},
        {L"<TaskItemList>\n<TaskItem ToDo_Name=\"new\"/>\n<TaskItem ToDo_Index=\"9\" ToDo_Status=\"\" "
         L"ToDo_Category=\"x\"/>\n<Privilege Run=\"false\"/></TaskItemList>",
         S_OK, L"D-F [0/0/0/0 ToDo_Name=new] [9/0/0/0]"},
        {L"<TaskItemList><TaskItem ToDo_Index=\"2\" ToDo_Name=\"b\"/><Privilege Run=\"1\"/><TaskItem ToDo_Index=\"2\" "
         L"ToDo_Name=\"c\"/><TaskItem ToDo_Index=\"1\" ToDo_Name=\"a\"/></TaskItemList>",
         S_OK, L"DRF [2/0/0/0 ToDo_Name=b] [2/0/0/0 ToDo_Name=c] [1/0/0/0 ToDo_Name=a]"},
        {L"<TaskItemList><Privilege Delete=\"off\"/><Privilege Defer=\"f\"/><Privilege Delete=\"t\"/></TaskItemList>", S_OK,
         L"DR-"},
        {full, S_OK, fullContents},
        // "two" never ended; "three" stood inside it, where a task has no handler for tasks.
        {L"<TaskItemList>\n<Privilege Delete=\"0\"/><TaskItem ToDo_Name=\"one\"/>\n<TaskItem ToDo_Name=\"two\">\n"
         L"<TaskItem ToDo_Name=\"three\"/>\n</TaskItemList>",
         E_FAIL, L"-RF [0/0/0/0 ToDo_Name=one]"},
        // Undeclared elements are skipped with everything inside them.
        {L"<TaskItemList version=\"2\">text<Extra><TaskItem ToDo_Name=\"hidden\"/></Extra>"
         L"<TaskItem ToDo_Name=\"shown\"><Note>n</Note>inner</TaskItem></TaskItemList>",
         S_OK, L"-RF [0/0/0/0 ToDo_Name=shown]"},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(step.expected, Load(step.document)) << step.document;
        EXPECT_EQ(step.contents, Contents()) << step.document;
        EXPECT_EQ(FAILED(step.expected), TakeThreadError().present) << step.document;
    }
}

TEST_F(TaskItemListTest, KeysAreFoundWhereverTheyStand) {
    ASSERT_EQ(S_OK, Load(L"<TaskItemList><TaskItem ToDo_Index=\"5\"/><TaskItem ToDo_Index=\"5\"/>"
                         L"<TaskItem ToDo_Index=\"1\"/></TaskItemList>"));
    EXPECT_EQ(&tasks.Item(0), tasks.FindByKey(5));  // the first of two
    EXPECT_EQ(&tasks.Item(2), tasks.FindByKey(1));
    EXPECT_EQ(nullptr, tasks.FindByKey(2));
}
