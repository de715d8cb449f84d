// TaskItemCollection::Load over the TaskItemList parser: every attribute to its field,
// privileges kept across loads, document order, failures.
#include <gmock/gmock.h>
#include <algorithm>
#include "taskitemcollection.h"
#include "taskitemlistparser.h"
#include "xml_test_support.h"

namespace {

class TaskItemListTest : public testing::Test {
protected:
    void SetUp() override { SetErrorInfo(0, nullptr); }
    HRESULT Load(std::wstring_view text) { return tasks.Load(Bstr(text).get()); }
    TaskItemCollection tasks;
};

struct TextAttribute {
    const wchar_t* name;
    std::wstring TaskItem::*field;
};

const TextAttribute kTextAttributes[] = {
    {L"ToDo_Name", &TaskItem::ToDo_Name},
    {L"ToDo_Description", &TaskItem::ToDo_Description},
    {L"ToDo_Notes", &TaskItem::ToDo_Notes},
    {L"ToDo_Class", &TaskItem::ToDo_Class},
    {L"ToDo_ItemName", &TaskItem::ToDo_ItemName},
    {L"ToDo_CreatedDate", &TaskItem::ToDo_CreatedDate},
    {L"ToDo_CreatedBy", &TaskItem::ToDo_CreatedBy},
    {L"ToDo_ModifiedDate", &TaskItem::ToDo_ModifiedDate},
    {L"ToDo_ModifiedBy", &TaskItem::ToDo_ModifiedBy},
    {L"ToDo_RunDate", &TaskItem::ToDo_RunDate},
    {L"ToDo_RunBy", &TaskItem::ToDo_RunBy},
    {L"ToDo_DeletedDate", &TaskItem::ToDo_DeletedDate},
    {L"ToDo_DeletedBy", &TaskItem::ToDo_DeletedBy},
    {L"ToDo_EngineeringTool", &TaskItem::ToDo_EngineeringTool},
    {L"ToDo_SrcDocName", &TaskItem::ToDo_SrcDocName},
    {L"ToDo_SrcDocType", &TaskItem::ToDo_SrcDocType},
};

} // namespace

TEST_F(TaskItemListTest, EveryAttributeReachesItsOwnField) {
    // Each text attribute carries its own name as value, in reverse table order, so
    // that a swapped mapping or an order dependence shows.
    std::wstring element = L"<TaskItem";
    for (auto it = std::rbegin(kTextAttributes); it != std::rend(kTextAttributes); ++it)
        element += std::wstring(L" ") + it->name + L"=\"value of " + it->name + L" &amp; more\"";
    element += L" ToDo_DeletedFlag=\"1\" ToDo_Status=\"4\" ToDo_Category=\"6\" ToDo_Index=\"17\" Unknown=\"x\"/>";
    ASSERT_EQ(S_OK, Load(L"<TaskItemList>" + element + L"</TaskItemList>"));
    ASSERT_EQ(1u, tasks.Count());
    const TaskItem& task = tasks.Item(0);
    for (const TextAttribute& attribute : kTextAttributes)
        EXPECT_EQ(std::wstring(L"value of ") + attribute.name + L" & more", task.*attribute.field) << attribute.name;
    EXPECT_EQ(17, task.ToDo_Index);
    EXPECT_EQ(6, task.ToDo_Category);
    EXPECT_EQ(4, task.ToDo_Status);
    EXPECT_EQ(1, task.ToDo_DeletedFlag);
    EXPECT_EQ(L"Deferred", StatusWord(task.ToDo_Status));
    EXPECT_EQ(L"Delete", CategoryWord(task.ToDo_Category));
}

TEST_F(TaskItemListTest, TaskWithoutAttributesIsAnOpenCreateTaskWithEmptyTexts) {
    ASSERT_EQ(S_OK, Load(L"<TaskItemList>\n<TaskItem ToDo_Name=\"full\" ToDo_Index=\"4\" ToDo_Status=\"3\"/>\n"
                         L"<TaskItem/>\n<TaskItem ToDo_Status=\"\" ToDo_Category=\"x\"/>\n</TaskItemList>"));
    ASSERT_EQ(3u, tasks.Count());
    for (size_t i : {size_t{1}, size_t{2}}) {
        const TaskItem& task = tasks.Item(i);
        EXPECT_EQ(0, task.ToDo_Index);
        EXPECT_EQ(0, task.ToDo_Status);
        EXPECT_EQ(0, task.ToDo_Category);
        EXPECT_EQ(0, task.ToDo_DeletedFlag);
        EXPECT_EQ(L"Open", StatusWord(task.ToDo_Status));
        EXPECT_EQ(L"Create", CategoryWord(task.ToDo_Category));
        for (const TextAttribute& attribute : kTextAttributes) EXPECT_EQ(L"", task.*attribute.field);
    }
}

TEST_F(TaskItemListTest, StatusTextsAndCodesOutsideTheTables) {
    ASSERT_EQ(S_OK, Load(L"<TaskItemList><TaskItem ToDo_Status=\"2\"/><TaskItem ToDo_Status=\"7\" "
                         L"ToDo_Category=\"-3\"/></TaskItemList>"));
    ASSERT_EQ(2u, tasks.Count());
    EXPECT_EQ(L"Completed", StatusWord(tasks.Item(0).ToDo_Status));
    EXPECT_EQ(L"7", StatusWord(tasks.Item(1).ToDo_Status));
    EXPECT_EQ(L"-3", CategoryWord(tasks.Item(1).ToDo_Category));
}

TEST_F(TaskItemListTest, RecordsKeepDocumentOrderWhateverTheirIndexes) {
    ASSERT_EQ(S_OK, Load(L"<TaskItemList><TaskItem ToDo_Index=\"2\" ToDo_Name=\"b\"/>"
                         L"<Privilege Run=\"1\"/><TaskItem ToDo_Index=\"2\" ToDo_Name=\"c\"/>"
                         L"<TaskItem ToDo_Index=\"1\" ToDo_Name=\"a\"/></TaskItemList>"));
    ASSERT_EQ(3u, tasks.Count());
    EXPECT_EQ(L"b", tasks.Item(0).ToDo_Name);
    EXPECT_EQ(L"c", tasks.Item(1).ToDo_Name);
    EXPECT_EQ(L"a", tasks.Item(2).ToDo_Name);
    EXPECT_EQ(2, tasks.Item(1).ToDo_Index);
}

TEST_F(TaskItemListTest, PrivilegesAreKeptAcrossLoadsUnlessNamed) {
    struct Step {
        const wchar_t* privileges;  // the Privilege elements of the document
        bool deleteAllowed, run, defer;
    } steps[] = {
        {L"<Privilege Delete=\"1\" Run=\"yes\" Defer=\"TRUE\"/>", true, true, true},
        {L"<Privilege Run=\"false\"/>", true, false, true},
        {L"", true, false, true},
        {L"<Privilege Run=\"true\"/>", true, true, true},
        {L"<Privilege Delete=\"off\"/><Privilege Defer=\"f\"/><Privilege Delete=\"t\"/>", true, true, false},
        {L"<Privilege Defer=\"maybe\"/>", true, true, false},
    };
    for (const Step& step : steps) {
        ASSERT_EQ(S_OK, Load(std::wstring(L"<TaskItemList><TaskItem/>") + step.privileges + L"</TaskItemList>"));
        EXPECT_EQ(step.deleteAllowed, tasks.Delete) << step.privileges;
        EXPECT_EQ(step.run, tasks.Run) << step.privileges;
        EXPECT_EQ(step.defer, tasks.Defer) << step.privileges;
        EXPECT_EQ(1u, tasks.Count());
    }
    // A failed load keeps the privileges too.
    EXPECT_EQ(E_FAIL, Load(L"<TaskItemList><Privilege Delete=\"0\"/><TaskItem></TaskItemList>"));
    TakeThreadError();
    EXPECT_FALSE(tasks.Delete);
    EXPECT_TRUE(tasks.Run);
}

TEST_F(TaskItemListTest, DocumentWithoutTasksEmptiesTheList) {
    ASSERT_EQ(S_OK, Load(L"<TaskItemList><TaskItem/><TaskItem/></TaskItemList>"));
    ASSERT_EQ(2u, tasks.Count());
    ASSERT_EQ(S_OK, Load(L"<TaskItemList><Privilege Run=\"1\"/></TaskItemList>"));
    EXPECT_EQ(0u, tasks.Count());
    ASSERT_EQ(S_OK, Load(L"<?xml version=\"1.0\"?>\n<!-- nothing -->\n<TaskItemList/>"));
    EXPECT_EQ(0u, tasks.Count());
}

TEST_F(TaskItemListTest, FailedLoadKeepsTheTasksCompletedBeforeIt) {
    ASSERT_EQ(S_OK, Load(L"<TaskItemList><TaskItem/><TaskItem/><TaskItem/></TaskItemList>"));
    EXPECT_EQ(E_FAIL, Load(L"<TaskItemList>\n<TaskItem ToDo_Name=\"one\"/>\n<TaskItem ToDo_Name=\"two\">\n"
                           L"<TaskItem ToDo_Name=\"three\"/>\n</TaskItemList>"));
    ThreadError error = TakeThreadError();
    EXPECT_THAT(error.description, testing::StartsWith(L"<QRError Desc=\"MSXML Fatal error: "));
    // "two" never ended; "three" stood inside it, where a task has no handler for tasks.
    ASSERT_EQ(1u, tasks.Count());
    EXPECT_EQ(L"one", tasks.Item(0).ToDo_Name);

    EXPECT_TRUE(FAILED(Load(L"")));
    TakeThreadError();
    EXPECT_EQ(0u, tasks.Count());
}

TEST_F(TaskItemListTest, RootMustBeTheTaskItemList) {
    EXPECT_EQ(E_INVALIDARG, Load(L"<TaskItem ToDo_Name=\"x\"/>"));
    ThreadError error = TakeThreadError();
    EXPECT_EQ(L"SAXSchemaParser::startElement()", error.source);
    EXPECT_THAT(error.description, testing::HasSubstr(L"Activity=\"Parsing element TaskItem(Ln "));
    EXPECT_EQ(0u, tasks.Count());
    // An undeclared root is skipped with everything inside it.
    EXPECT_EQ(S_OK, Load(L"<Tasks><TaskItemList><TaskItem/></TaskItemList></Tasks>"));
    EXPECT_EQ(0u, tasks.Count());
}

TEST_F(TaskItemListTest, UndeclaredChildrenAndTextAreSkipped) {
    ASSERT_EQ(S_OK, Load(L"<TaskItemList version=\"2\">text<Extra><TaskItem ToDo_Name=\"hidden\"/></Extra>"
                         L"<TaskItem ToDo_Name=\"shown\"><Note>n</Note>inner</TaskItem></TaskItemList>"));
    ASSERT_EQ(1u, tasks.Count());
    EXPECT_EQ(L"shown", tasks.Item(0).ToDo_Name);
}

TEST_F(TaskItemListTest, OneLineDocument) {
    std::wstring document = L"<TaskItemList>";
    for (int i = 1; i <= 200; ++i)
        document += L"<TaskItem ToDo_Index=\"" + std::to_wstring(i) + L"\" ToDo_Name=\"T" + std::to_wstring(i) + L"\"/>";
    document += L"</TaskItemList>";
    ASSERT_EQ(S_OK, Load(document));
    ASSERT_EQ(200u, tasks.Count());
    for (size_t i = 0; i < tasks.Count(); ++i) {
        EXPECT_EQ(static_cast<int>(i + 1), tasks.Item(i).ToDo_Index);
        EXPECT_EQ(&tasks.Item(i), tasks.FindByKey(static_cast<int>(i + 1)));
    }
}

TEST_F(TaskItemListTest, ReloadingReplacesEveryFieldOfEveryRecord) {
    // The records of a load are reused by the next one: nothing of the old may show.
    std::wstring full = L"<TaskItemList>";
    for (int i = 1; i <= 5; ++i) {
        full += L"<TaskItem ToDo_Index=\"" + std::to_wstring(i) + L"\" ToDo_Status=\"3\" ToDo_Category=\"2\" "
                L"ToDo_DeletedFlag=\"1\"";
        for (const TextAttribute& attribute : kTextAttributes)
            full += std::wstring(L" ") + attribute.name + L"=\"old " + std::to_wstring(i) + L"\"";
        full += L"/>";
    }
    full += L"</TaskItemList>";
    ASSERT_EQ(S_OK, Load(full));
    ASSERT_EQ(5u, tasks.Count());

    ASSERT_EQ(S_OK, Load(L"<TaskItemList><TaskItem ToDo_Name=\"new\"/><TaskItem ToDo_Index=\"9\"/></TaskItemList>"));
    ASSERT_EQ(2u, tasks.Count());
    EXPECT_EQ(L"new", tasks.Item(0).ToDo_Name);
    EXPECT_EQ(9, tasks.Item(1).ToDo_Index);
    for (const TaskItem& task : tasks.Items()) {
        EXPECT_EQ(0, task.ToDo_Status);
        EXPECT_EQ(0, task.ToDo_Category);
        EXPECT_EQ(0, task.ToDo_DeletedFlag);
        for (const TextAttribute& attribute : kTextAttributes)
            if (std::wstring(attribute.name) != L"ToDo_Name") {
                EXPECT_EQ(L"", task.*attribute.field) << attribute.name;
            }
    }
    EXPECT_EQ(0, tasks.Item(0).ToDo_Index);

    // A failing reload keeps only its own finished tasks.
    ASSERT_EQ(S_OK, Load(full));
    EXPECT_EQ(E_FAIL, Load(L"<TaskItemList><TaskItem ToDo_Name=\"kept\"/><TaskItem ToDo_Name=\"open\">"));
    TakeThreadError();
    ASSERT_EQ(1u, tasks.Count());
    EXPECT_EQ(L"kept", tasks.Item(0).ToDo_Name);
    EXPECT_EQ(L"", tasks.Item(0).ToDo_Notes);
    EXPECT_EQ(0, tasks.Item(0).ToDo_Index);
}

TEST(TaskItemListWhiteSpace, WhiteSpaceBeforeTheRootElementIsAccepted) {
    TaskItemCollection tasks;
    winkit::UniqueBstr text = winkit::UniqueBstr::Copy(L"\n  \r\n\t<TaskItemList>\n<TaskItem ToDo_Index=\"1\" ToDo_Name=\"a\"/>\n</TaskItemList>");
    EXPECT_EQ(S_OK, tasks.Load(text.get()));
    ASSERT_EQ(1u, tasks.Count());
    EXPECT_EQ(L"a", tasks.Item(0).ToDo_Name);
    // Only white space is still no document.
    winkit::UniqueBstr blank = winkit::UniqueBstr::Copy(L" \n ");
    EXPECT_TRUE(FAILED(tasks.Load(blank.get())));
    EXPECT_EQ(0u, tasks.Count());
}
