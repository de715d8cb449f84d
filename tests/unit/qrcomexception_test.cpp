// The method scope: results, error documents left on the thread, nesting, handlers.
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>
#include "diagnostics/hresulttext.h"
#include "diagnostics/qrcomexception.h"
#include "diagnostics/qrerrorelement.h"
#include "support/errorinfo_helpers.h"
#include "winkit/com_ptr.h"

namespace {

// A named operation that raises its failure to its caller, as a called routine does.
void FailingOperation(const wchar_t* name, HRESULT hr, const wchar_t* message) {
    QRComException xhr;
    xhr.Enter(name, 0);
    xhr.Throw(QR_HERE, hr, message);
}

// A traced internal operation that returns its result.
HRESULT MiddleOperation() {
    QRComException xhr;
    xhr.Enter(L"Middle::Op", 0);
    xhr.SetActivity(L"Reading");
    try {
        FailingOperation(L"Inner::Op", E_FAIL, L"deep");
    }
    QR_CATCH(xhr)
    return xhr.Result();
}

HRESULT MethodCalling(const wchar_t* name, const wchar_t* activity, void (*body)()) {
    QRComException xhr;
    xhr.Enter(name, 1);
    if (activity) xhr.SetActivity(activity);
    try {
        body();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

class QRComExceptionTest : public testing::Test {
protected:
    void SetUp() override { ClearThreadError(); }
    void TearDown() override { ClearThreadError(); }
};

} // namespace

TEST_F(QRComExceptionTest, MethodWithoutFailureLeavesThreadErrorInformationAlone) {
    PlantThreadError(L"Earlier", L"left by an earlier call");
    QRComException xhr;
    xhr.Enter(L"QRCTaskList::Initialize", 1);
    try {
    }
    QR_CATCH_COM(xhr)
    EXPECT_EQ(S_OK, xhr.Result());
    ThreadError error = TakeThreadError();
    ASSERT_TRUE(error.present);
    EXPECT_EQ(L"left by an earlier call", error.description);
}

TEST_F(QRComExceptionTest, ThrowWithMessageLeavesOneElementAndTheMethodAsSource) {
    QRComException xhr;
    xhr.Enter(L"QRCTaskList::Show", 1);
    try {
        xhr.Throw(QR_HERE, E_FAIL, L"TaskList interface not initialized");
    }
    QR_CATCH_COM(xhr)
    EXPECT_EQ(E_FAIL, xhr.Result());
    ThreadError error = TakeThreadError();
    EXPECT_EQ(L"QRCTaskList::Show", error.source);
    EXPECT_EQ(L"<QRError Desc=\"TaskList interface not initialized\" HR=\"E_FAIL\" />", error.description);
}

TEST_F(QRComExceptionTest, MessageComesFromTheCodeWithoutActivityAndWrappedWithIt) {
    {
        QRComException xhr;
        xhr.Enter(L"A::B", 1);
        try { xhr.Throw(E_INVALIDARG); }
        QR_CATCH_COM(xhr)
        EXPECT_EQ(E_INVALIDARG, xhr.Result());
        EXPECT_EQ(L"<QRError Desc=\"" + HResultMessage(E_INVALIDARG) + L"\" HR=\"E_INVALIDARG\" />",
                  TakeThreadError().description);
    }
    {
        QRComException xhr;
        xhr.Enter(L"A::B", 1);
        xhr.SetActivity(L"Parsing element");
        try { xhr.Throw(E_INVALIDARG); }
        QR_CATCH_COM(xhr)
        EXPECT_EQ(L"<QRError Desc=\"Error while Parsing element (" + HResultMessage(E_INVALIDARG) +
                      L")\" Activity=\"Parsing element\" HR=\"E_INVALIDARG\" />",
                  TakeThreadError().description);
    }
    EXPECT_FALSE(HResultMessage(E_INVALIDARG).empty());
    EXPECT_NE(L'\n', HResultMessage(E_INVALIDARG).back());
    EXPECT_NE(L'\r', HResultMessage(E_INVALIDARG).back());
}

TEST_F(QRComExceptionTest, AttributeValuesTurnQuotesIntoApostrophesAndKeepEverythingElse) {
    QRComException xhr;
    xhr.Enter(L"A::B", 1);
    try { xhr.Throw(E_FAIL, L"say \"%ls\" & <go>\nnow", L"hi"); }
    QR_CATCH_COM(xhr)
    EXPECT_EQ(L"<QRError Desc=\"say 'hi' & <go>\nnow\" HR=\"E_FAIL\" />", TakeThreadError().description);
}

TEST_F(QRComExceptionTest, CodesWithoutNameAreLowerCaseHexadecimal) {
    QRComException xhr;
    xhr.Enter(L"A::B", 1);
    try { xhr.Throw(static_cast<HRESULT>(0x800401A1), L"x"); }
    QR_CATCH_COM(xhr)
    EXPECT_EQ(L"<QRError Desc=\"x\" HR=\"0x800401a1\" />", TakeThreadError().description);
    EXPECT_EQ(L"0x8000000a", HResultName(static_cast<HRESULT>(0x8000000A)));
    EXPECT_EQ(L"E_NOTIMPL", HResultName(E_NOTIMPL));
    EXPECT_EQ(L"E_NOINTERFACE", HResultName(E_NOINTERFACE));
    EXPECT_EQ(L"E_POINTER", HResultName(E_POINTER));
    EXPECT_EQ(L"E_UNEXPECTED", HResultName(E_UNEXPECTED));
    EXPECT_EQ(L"E_ACCESSDENIED", HResultName(E_ACCESSDENIED));
    EXPECT_EQ(L"E_OUTOFMEMORY", HResultName(E_OUTOFMEMORY));
}

TEST_F(QRComExceptionTest, UnknownCodesGetUpperCaseHexInTheirMessage) {
    EXPECT_EQ(L"Unknown error 0xA0071234", HResultMessage(static_cast<HRESULT>(0xA0071234)));
}

TEST_F(QRComExceptionTest, NamedOuterScopeAddsItsElementInFrontOfTheCalledOperations) {
    HRESULT hr = MethodCalling(L"QRCTaskList::Show", L"Loading tasks",
                               [] { FailingOperation(L"Inner::Op", E_ACCESSDENIED, L"inner said no"); });
    EXPECT_EQ(E_ACCESSDENIED, hr);
    ThreadError error = TakeThreadError();
    EXPECT_EQ(L"QRCTaskList::Show", error.source);
    EXPECT_EQ(L"<QRError Desc=\"inner said no\" Activity=\"Loading tasks\" HR=\"E_ACCESSDENIED\" />\r\n"
              L"<QRError Desc=\"inner said no\" HR=\"E_ACCESSDENIED\" />",
              error.description);
}

TEST_F(QRComExceptionTest, ThreeLevelsGiveThreeElementsNewestFirst) {
    QRComException xhr;
    xhr.Enter(L"Top::Method", 1);
    try {
        xhr.SetResult(MiddleOperation());
        if (FAILED(xhr.result)) xhr.Rethrow();
    }
    QR_CATCH_COM(xhr)
    EXPECT_EQ(E_FAIL, xhr.Result());
    EXPECT_EQ(L"<QRError Desc=\"deep\" HR=\"E_FAIL\" />\r\n"
              L"<QRError Desc=\"deep\" Activity=\"Reading\" HR=\"E_FAIL\" />\r\n"
              L"<QRError Desc=\"deep\" HR=\"E_FAIL\" />",
              TakeThreadError().description);
}

TEST_F(QRComExceptionTest, UnnamedScopeTakesOverWithoutAnElementOfItsOwn) {
    QRComException xhr;
    try {
        FailingOperation(L"Inner::Op", E_FAIL, L"only me");
    }
    QR_CATCH(xhr)
    EXPECT_EQ(E_FAIL, xhr.Result());
    ThreadError error = TakeThreadError();
    EXPECT_EQ(L"<QRError Desc=\"only me\" HR=\"E_FAIL\" />", error.description);
    EXPECT_EQ(L"Inner::Op", error.source);
}

TEST_F(QRComExceptionTest, CheckPointerMessages) {
    {
        QRComException xhr;
        xhr.Enter(L"QRCTaskList::Show", 1);
        try { xhr.CheckPointer(nullptr); }
        QR_CATCH_COM(xhr)
        EXPECT_EQ(E_POINTER, xhr.Result());
        ThreadError error = TakeThreadError();
        EXPECT_EQ(L"<QRError Desc=\"Invalid pointer passed to method QRCTaskList::Show\" Src=\"QRCTaskList::Show\" "
                  L"HR=\"E_POINTER\" />",
                  error.description);
        EXPECT_EQ(L"QRCTaskList::Show", error.source);
    }
    {
        QRComException xhr;
        xhr.Enter(L"QRCTaskList::Show", 1);
        try { xhr.CheckPointer(nullptr, L""); }
        QR_CATCH_COM(xhr)
        EXPECT_EQ(L"<QRError Src=\"QRCTaskList::Show\" HR=\"E_POINTER\" />", TakeThreadError().description);
    }
    {
        // An earlier document is not carried below a pointer error.
        PlantThreadError(L"Old", L"<QRError Desc=\"old\" HR=\"E_FAIL\" />");
        QRComException xhr;
        xhr.Enter(L"X::Y", 1);
        xhr.SetActivity(L"Checking");
        int value = 0;
        try {
            xhr.CheckPointer(&value);
            xhr.CheckPointer(nullptr, L"Argument %d is null", 2);
        }
        QR_CATCH_COM(xhr)
        EXPECT_EQ(L"<QRError Desc=\"Argument 2 is null\" Src=\"X::Y\" Activity=\"Checking\" HR=\"E_POINTER\" />",
                  TakeThreadError().description);
    }
}

TEST_F(QRComExceptionTest, PlainTextLeftByACalledComponentIsKeptAsAnElementOfItsOwn) {
    QRComException xhr;
    xhr.Enter(L"Client::Call", 1);
    try {
        PlantThreadError(L"Other.Component", L"The other component refused the call");
        xhr.SetResult(E_ACCESSDENIED);
        xhr.Rethrow(L"Calling the other component");
    }
    QR_CATCH_COM(xhr)
    EXPECT_EQ(E_ACCESSDENIED, xhr.Result());
    EXPECT_EQ(L"<QRError Desc=\"Calling the other component\" HR=\"E_ACCESSDENIED\" />\r\n"
              L"<QRError Desc=\"The other component refused the call\" Src=\"Other.Component\" HR=\"E_ACCESSDENIED\" />",
              TakeThreadError().description);

    // Also when the first failure the scope records is a plain Throw.
    QRComException first;
    first.Enter(L"Client::Call", 1);
    try {
        PlantThreadError(L"Other.Component", L"Plain text from elsewhere");
        first.Throw(E_FAIL, L"Mine");
    }
    QR_CATCH_COM(first)
    EXPECT_EQ(L"<QRError Desc=\"Mine\" HR=\"E_FAIL\" />\r\n"
              L"<QRError Desc=\"Plain text from elsewhere\" Src=\"Other.Component\" HR=\"E_FAIL\" />",
              TakeThreadError().description);
}

TEST_F(QRComExceptionTest, ShortPlainTextIsCarriedUnchanged) {
    QRComException xhr;
    xhr.Enter(L"Client::Call", 1);
    try {
        PlantThreadError(L"Other", L"tiny");
        xhr.SetResult(E_FAIL);
        xhr.Rethrow(L"Wrapping");
    }
    QR_CATCH_COM(xhr)
    EXPECT_EQ(L"<QRError Desc=\"Wrapping\" HR=\"E_FAIL\" />\r\ntiny", TakeThreadError().description);
}

TEST_F(QRComExceptionTest, RethrowWithoutMessageRepeatsTheCalledDocumentsDesc) {
    QRComException xhr;
    xhr.Enter(L"Client::Call", 1);
    try {
        PlantThreadError(L"Server", L"<QRError Desc=\"server side\" HR=\"E_FAIL\" />");
        xhr.SetResult(E_FAIL);
        xhr.Rethrow();
    }
    QR_CATCH_COM(xhr)
    EXPECT_EQ(L"<QRError Desc=\"server side\" HR=\"E_FAIL\" />\r\n<QRError Desc=\"server side\" HR=\"E_FAIL\" />",
              TakeThreadError().description);
}

TEST_F(QRComExceptionTest, ComErrorBecomesAnOrdinaryFailure) {
    HRESULT hr = MethodCalling(L"Settings::Load", nullptr, [] { _com_issue_error(static_cast<HRESULT>(0x80040154)); });
    EXPECT_EQ(static_cast<HRESULT>(0x80040154), hr);
    std::wstring text = HResultMessage(static_cast<HRESULT>(0x80040154));
    EXPECT_EQ(L"<QRError Desc=\"" + text + L"\" HR=\"0x80040154\" />\r\n<QRError Desc=\"" + text + L"\" HR=\"0x80040154\" />",
              TakeThreadError().description);
}

TEST_F(QRComExceptionTest, ComErrorCarriesTheComponentsErrorInformation) {
    HRESULT hr = MethodCalling(L"Outer::M", nullptr, [] {
        winkit::ComPtr<ICreateErrorInfo> creator;
        CreateErrorInfo(creator.put());
        creator->SetSource(const_cast<LPOLESTR>(L"Comp"));
        creator->SetDescription(const_cast<LPOLESTR>(L"<QRError Desc=\"component failed\" HR=\"E_FAIL\" />"));
        winkit::ComPtr<IErrorInfo> info;
        creator.As(&info);
        throw _com_error(E_FAIL, info.release());
    });
    EXPECT_EQ(E_FAIL, hr);
    EXPECT_EQ(L"<QRError Desc=\"component failed\" HR=\"E_FAIL\" />\r\n"
              L"<QRError Desc=\"component failed\" HR=\"E_FAIL\" />\r\n"
              L"<QRError Desc=\"component failed\" HR=\"E_FAIL\" />",
              TakeThreadError().description);
}

TEST_F(QRComExceptionTest, OtherExceptionsNeverLeaveACOMMethod) {
    EXPECT_EQ(E_OUTOFMEMORY, MethodCalling(L"A::Alloc", nullptr, [] { throw std::bad_alloc(); }));
    EXPECT_EQ(L"<QRError Desc=\"Out of memory\" HR=\"E_OUTOFMEMORY\" />", TakeThreadError().description);
    EXPECT_EQ(E_UNEXPECTED, MethodCalling(L"A::Logic", nullptr, [] { throw std::runtime_error("broken"); }));
    EXPECT_EQ(L"<QRError Desc=\"Unexpected exception: broken\" HR=\"E_UNEXPECTED\" />", TakeThreadError().description);
    EXPECT_EQ(E_UNEXPECTED, MethodCalling(L"A::Int", nullptr, [] { throw 42; }));
    EXPECT_EQ(L"<QRError Desc=\"Unexpected exception\" HR=\"E_UNEXPECTED\" />", TakeThreadError().description);
}

TEST_F(QRComExceptionTest, InternalOperationsPassOtherExceptionsOn) {
    auto internal = [] {
        QRComException xhr;
        xhr.Enter(L"Internal::Op", 0);
        try {
            throw std::logic_error("passes");
        }
        QR_CATCH(xhr)
    };
    EXPECT_THROW(internal(), std::logic_error);
}

TEST_F(QRComExceptionTest, CopiesShareTheErrorInformationObject) {
    QRComException xhr;
    xhr.Enter(L"A::B", 1);
    xhr.SetError(E_FAIL, L"kept");
    QRComException copy(xhr);
    EXPECT_EQ(xhr.errorInfo, copy.errorInfo);
    EXPECT_EQ(E_FAIL, copy.result);
    EXPECT_STREQ(L"A::B", copy.methodName);
    QRComException assigned;
    assigned = copy;
    EXPECT_EQ(xhr.errorInfo, assigned.errorInfo);
    ClearThreadError();
}

TEST_F(QRComExceptionTest, SetResultTakesTheThreadsErrorInformationOnlyForFailures) {
    QRComException xhr;
    PlantThreadError(L"S", L"D");
    xhr.SetResult(S_FALSE);
    EXPECT_EQ(nullptr, xhr.errorInfo);
    EXPECT_TRUE(TakeThreadError().present);
    PlantThreadError(L"S", L"D");
    xhr.SetResult(E_FAIL);
    EXPECT_NE(nullptr, xhr.errorInfo);
    EXPECT_FALSE(TakeThreadError().present);  // taking it cleared it
}

TEST_F(QRComExceptionTest, NormalizeConvertsAPlainDescription) {
    QRComException xhr;
    PlantThreadError(L"Foreign.Source", L"plain words from outside");
    xhr.SetResult(E_FAIL);
    EXPECT_EQ(E_FAIL, xhr.Normalize());
    ThreadError error = TakeThreadError();
    EXPECT_EQ(L"<QRError Desc=\"plain words from outside\" Src=\"Foreign.Source\" HR=\"E_FAIL\" />", error.description);
    EXPECT_EQ(L"Foreign.Source", error.source);
}

TEST_F(QRComExceptionTest, FirstDescReadsOnlyTheFirstElement) {
    EXPECT_EQ(L"one", FirstDesc(L"<QRError Desc=\"one\" HR=\"E_FAIL\" />\r\n<QRError Desc=\"two\" HR=\"E_FAIL\" />"));
    EXPECT_EQ(L"later", FirstDesc(L"<qrerror HR=\"E_FAIL\" desc=\"later\" />"));
    EXPECT_EQ(L"", FirstDesc(L"<QRError HR=\"E_FAIL\" />"));
    EXPECT_EQ(L"not a document", FirstDesc(L"not a document"));
    EXPECT_EQ(L"", FirstDesc(L"<QRError Desc=\"unterminated"));
}

namespace {
// An object that says it supports error information for one interface only.
class SupportsErrors final : public ISupportErrorInfo {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_ISupportErrorInfo) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override { return iid == IID_IDispatch ? S_OK : S_FALSE; }
};
} // namespace

TEST_F(QRComExceptionTest, IssueErrorExCarriesTheObjectsErrorInformationOnlyForItsInterface) {
    SupportsErrors object;
    PlantThreadError(L"Obj", L"from the object");
    try {
        _com_issue_errorex(E_ACCESSDENIED, &object, IID_IDispatch);
        FAIL() << "must throw";
    } catch (_com_error& e) {
        EXPECT_EQ(E_ACCESSDENIED, e.Error());
        winkit::ComPtr<IErrorInfo> info = winkit::ComPtr<IErrorInfo>::Attach(e.ErrorInfo());
        ASSERT_TRUE(info);
        BSTR description = nullptr;
        info->GetDescription(&description);
        EXPECT_STREQ(L"from the object", description);
        SysFreeString(description);
    }
    PlantThreadError(L"Obj", L"not for this interface");
    try {
        _com_issue_errorex(E_FAIL, &object, IID_IUnknown);
    } catch (_com_error& e) {
        EXPECT_EQ(nullptr, winkit::ComPtr<IErrorInfo>::Attach(e.ErrorInfo()).get());
    }
    ClearThreadError();
}
