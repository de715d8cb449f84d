// The trace: for each sequence of scope operations the exact lines written.
#include <gtest/gtest.h>
#include <functional>
#include "diagnostics/qrcomexception.h"
#include "support/errorinfo_helpers.h"
#include "support/trace_capture.h"

TEST(TraceSink, LinesOfScopeOperations) {
    struct Case { int threshold; std::function<void()> operations; const wchar_t* lines; } cases[] = {
        // Entry and activity lines of levels up to the threshold are dropped.
        {1, [] {
             QRComException level0, level1, level2;
             level0.Enter(L"Zero::Op", 0);
             level1.Enter(L"One::Op", 1);
             level1.SetActivity(L"Idle");
             level2.Enter(L"Two::Op", 2);
             level2.SetActivity(L"Working");
         },
         L"&QRCE& >>>> Enter Two::Op()\n&QRCE& ....      Working\n"},
        {2, [] {
             TraceSink::Instance().Write(2, L'>', L"Equal::Op");
             TraceSink::Instance().Write(3, L'>', L"Above::Op");
         },
         L"&QRCE& >>>> Enter Above::Op()\n"},
        // A failure's element and the places it was raised and caught.
        {1, [] {
             QRComException xhr;
             xhr.Enter(L"QRCTaskList::Show", 1);
             try {
                 xhr.Throw(SourceLocation{L"file.cpp", 10}, E_FAIL, L"boom");
             } catch (QRComException& e) {
                 xhr.Catch(SourceLocation{L"file.cpp", 20}, e);
             }
             ClearThreadError();
         },
         L"file.cpp(10) : !!!! QRComException Error !!!!\n&QRCE& !!!! <QRError Desc=\"boom\" HR=\"E_FAIL\" />\n"
         L"file.cpp(20) : ~~~~ Caught QRComException ~~~~\n"},
        // Anything else is traced and passed on.
        {1, [] {
             auto raise = [] {
                 QRComException xhr;
                 try {
                     throw 7;
                 } catch (...) {
                     xhr.CatchAll(SourceLocation{L"h.cpp", 5});
                 }
             };
             EXPECT_THROW(raise(), int);
         },
         L"h.cpp(5) : !!!! Unhandled Exception !!!!\n"},
    };
    for (const Case& c : cases) {
        TraceCapture capture(c.threshold);
        c.operations();
        EXPECT_EQ(c.lines, capture.text());
    }
}
