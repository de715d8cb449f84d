// The Action's closing count: a task whose run failed is counted even when the framework
// lists it as completed afterwards (its claims were refused and marking it in error
// failed, or its answer could not be read), so that a failure never passes for success.
#include "tasklist_window_fixture.h"

namespace {

const wchar_t* const kOpenTask =
    L"<TaskItemList>\n<Privilege Delete=\"1\" Run=\"1\" Defer=\"1\"/>\n"
    L"<TaskItem ToDo_Index=\"1\" ToDo_Name=\"pump P-101A\" ToDo_Category=\"3\" ToDo_Status=\"0\"/>\n</TaskItemList>\n";
const wchar_t* const kCompletedTask =
    L"<TaskItemList>\n<Privilege Delete=\"1\" Run=\"1\" Defer=\"1\"/>\n"
    L"<TaskItem ToDo_Index=\"1\" ToDo_Name=\"pump P-101A\" ToDo_Category=\"3\" ToDo_Status=\"2\"/>\n</TaskItemList>\n";

class TaskListActionCount : public TaskListWindow {
protected:
    RequestScript script;

    void SetUp() override {
        driver.Answer(IDOK);
        tasks.clear();
        script.outputs[L"GetTaskList"] = kOpenTask;
        workspace->UseScript(script);
    }

    // Runs task 1; the framework then lists it as completed.
    void RunTheTask() {
        Open([&](CTaskListDlg& dialog) {
            Select(dialog, {0});
            script.outputs[L"GetTaskList"] = kCompletedTask;
            workspace->UseScript(script);
            Click(dialog.hwnd(), IDC_TASKLIST_ACTION);
        });
    }
};

} // namespace

TEST_F(TaskListActionCount, AnErrorAnswerCountsThoughTheTaskIsListedCompleted) {
    script.outputs[L"ActionTask"] = L"Error";
    RunTheTask();
    ASSERT_EQ(1u, driver.boxes().size());
    EXPECT_EQ(L"1 task(s) have not completed - Check the To Do list.", driver.boxes()[0].text);
}

TEST_F(TaskListActionCount, AnAnswerThatCannotBeReadCounts) {
    script.getOutputResult = static_cast<HRESULT>(0x800706BE);
    RunTheTask();
    ASSERT_EQ(1u, driver.boxes().size());
    EXPECT_EQ(L"1 task(s) have not completed - Check the To Do list.", driver.boxes()[0].text);
}

TEST_F(TaskListActionCount, ASuccessfulRunOfATaskListedCompletedIsNotCounted) {
    RunTheTask();
    EXPECT_TRUE(driver.boxes().empty());
}
