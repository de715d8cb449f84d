// The trace: tag, kinds, threshold and location lines.
#include <gtest/gtest.h>
#include "diagnostics/qrcomexception.h"
#include "support/errorinfo_helpers.h"
#include "support/trace_capture.h"

TEST(TraceSink, ThresholdDropsEntryLinesOfLevelsUpToIt) {
    TraceCapture capture;  // threshold 1
    QRComException level0, level1, level2;
    level0.Enter(L"Zero::Op", 0);
    level1.Enter(L"One::Op", 1);
    level2.Enter(L"Two::Op", 2);
    level2.SetActivity(L"Working");
    EXPECT_EQ(L"&QRCE& >>>> Enter Two::Op()\n&QRCE& ....      Working\n", capture.text());
}

TEST(TraceSink, LevelEqualToTheThresholdIsNotWritten) {
    TraceCapture capture(2);
    TraceSink::Instance().Write(2, L'>', L"Equal::Op");
    TraceSink::Instance().Write(3, L'>', L"Above::Op");
    EXPECT_EQ(L"&QRCE& >>>> Enter Above::Op()\n", capture.text());
}

TEST(TraceSink, ErrorElementsAndLocationLinesReachTheOutput) {
    TraceCapture capture;
    QRComException xhr;
    xhr.Enter(L"QRCTaskList::Show", 1);
    SourceLocation throwAt{L"file.cpp", 10};
    SourceLocation caughtAt{L"file.cpp", 20};
    try {
        xhr.Throw(throwAt, E_FAIL, L"boom");
    } catch (QRComException& e) {
        xhr.Catch(caughtAt, e);
    }
    EXPECT_EQ(L"file.cpp(10) : !!!! QRComException Error !!!!\n"
              L"&QRCE& !!!! <QRError Desc=\"boom\" HR=\"E_FAIL\" />\n"
              L"file.cpp(20) : ~~~~ Caught QRComException ~~~~\n",
              capture.text());
    ClearThreadError();
}

TEST(TraceSink, CatchAllWritesTheUnhandledLineAndRethrows) {
    TraceCapture capture;
    QRComException xhr;
    bool rethrown = false;
    try {
        try {
            throw 7;
        } catch (...) {
            xhr.CatchAll(SourceLocation{L"h.cpp", 5});
        }
    } catch (int) {
        rethrown = true;
    }
    EXPECT_TRUE(rethrown);
    EXPECT_EQ(L"h.cpp(5) : !!!! Unhandled Exception !!!!\n", capture.text());
}

TEST(TraceSink, WithoutOutputTextIsDroppedAndTagIsBounded) {
    TraceSink& sink = TraceSink::Instance();
    TraceOutput* old = sink.Attach(nullptr);
    sink.Write(9, L'!', L"nobody hears this");
    sink.SetTag(L"0123456789ABCDEFGHIJ");
    EXPECT_EQ(std::wstring(L"0123456789ABCDE"), sink.Tag());
    sink.SetTag(L"&QRCE&");
    sink.Attach(old);
}
