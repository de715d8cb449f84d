// The method scope, its trace lines and the OLE DB error records it reads.
#include <gtest/gtest.h>
#include <oledb.h>
#include <functional>
#include <new>
#include <optional>
#include <stdexcept>
#include <vector>
#include "diagnostics/errorinfo.h"
#include "diagnostics/hresulttext.h"
#include "diagnostics/qrcomexception.h"
#include "diagnostics/qrerrorelement.h"
#include "support/allocation_failure.h"
#include "support/fake_com.h"
#include "support/errorinfo_helpers.h"
#include "support/trace_capture.h"
#include "winkit/unique_bstr.h"

// MinGW's oledb.h gives IErrorRecords no __uuidof.
__CRT_UUID_DECL(IErrorRecords, 0x0c733a67, 0x2a1c, 0x11ce, 0xad, 0xe5, 0x00, 0xaa, 0x00, 0x44, 0x77, 0x3d)

namespace {

using Body = std::function<void(QRComException&)>;

// A named operation that raises its failure to its caller, as a called routine does.
void FailingOperation(const wchar_t* name, HRESULT hr, const wchar_t* message) {
    QRComException xhr;
    xhr.Enter(name, 0);
    xhr.Throw(QR_HERE, hr, message);
}

// A COM method: its scope, one try block and the boundary's handlers; an internal
// operation has the handlers that pass other exceptions on.
HRESULT Method(const wchar_t* name, const wchar_t* activity, const Body& body, bool internal = false) {
    QRComException xhr;
    xhr.Enter(name, internal ? 0 : 1);
    if (activity) xhr.SetActivity(activity);
    if (internal) {
        try { body(xhr); } QR_CATCH(xhr)
    } else {
        try { body(xhr); } QR_CATCH_COM(xhr)
    }
    return xhr.Result();
}

// A called component fails and leaves `description`; the scope takes its result unless
// that is S_OK.
Body AfterCall(HRESULT hr, const std::wstring& description, const Body& then) {
    return [=](QRComException& xhr) {
        PlantThreadError(L"Other.Component", description.c_str());
        if (hr != S_OK) xhr.SetResult(hr);
        then(xhr);
    };
}

// One QRError element; `more` stands between Desc and HR.
std::wstring Element(const std::wstring& desc, const wchar_t* hr, const std::wstring& more = L"") {
    return L"<QRError Desc=\"" + desc + L"\" " + more + L"HR=\"" + hr + L"\" />";
}

struct Record { HRESULT hr; IID iid; const wchar_t* source; const wchar_t* description; };

// An error information object that also offers OLE DB error records.
class RecordsErrorInfo : public testcom::FakeComObject<IErrorInfo, IErrorRecords> {
public:
    explicit RecordsErrorInfo(std::vector<Record> records) : records_(std::move(records)) {}

    STDMETHODIMP GetSource(BSTR* s) override { return *s = SysAllocString(L"Provider"), S_OK; }
    STDMETHODIMP GetDescription(BSTR* d) override { return *d = SysAllocString(L"top-level description"), S_OK; }
    STDMETHODIMP GetBasicErrorInfo(ULONG i, ERRORINFO* info) override {
        return *info = {records_[i].hr, 0, GUID_NULL, records_[i].iid, 0}, S_OK;
    }
    STDMETHODIMP GetErrorInfo(ULONG i, LCID, IErrorInfo** out) override {
        return *out = MakeErrorInfo({records_[i].source, records_[i].description}).release(), S_OK;
    }
    STDMETHODIMP GetRecordCount(ULONG* count) override { return *count = static_cast<ULONG>(records_.size()), S_OK; }
#define NOT_ASKED(Method, ...) STDMETHODIMP Method(__VA_ARGS__) override { return E_NOTIMPL; }
    NOT_ASKED(GetGUID, GUID*) NOT_ASKED(GetHelpFile, BSTR*) NOT_ASKED(GetHelpContext, DWORD*)
    NOT_ASKED(AddErrorRecord, ERRORINFO*, DWORD, DISPPARAMS*, IUnknown*, DWORD)
    NOT_ASKED(GetCustomErrorObject, ULONG, REFIID, IUnknown**) NOT_ASKED(GetErrorParameters, ULONG, DISPPARAMS*)
#undef NOT_ASKED

private:
    std::vector<Record> records_;
};

} // namespace

// Each row runs its body in a COM method's scope of the given name and activity.
TEST(QRComException, DocumentsOfEveryOperation) {
    const std::wstring invalid = HResultMessage(E_INVALIDARG), deep = Element(L"deep", L"E_FAIL");
    const std::wstring server = Element(L"server side", L"E_FAIL"), failed = Element(L"component failed", L"E_FAIL");
    const std::wstring other = L"Src=\"Other.Component\" ";
    struct Case { const wchar_t *method, *activity; Body body; HRESULT expected; std::wstring source, description; };
    const Case cases[] = {
        // Without a message the code's text, wrapped with the activity when there is one.
        {L"A::B", nullptr, [](auto& x) { x.Throw(E_INVALIDARG); }, E_INVALIDARG, L"A::B", Element(invalid, L"E_INVALIDARG")},
        {L"A::B", L"Parsing", [](auto& x) { x.Throw(E_INVALIDARG); }, E_INVALIDARG, L"A::B",
         Element(L"Error while Parsing (" + invalid + L")", L"E_INVALIDARG", L"Activity=\"Parsing\" ")},
        // Attribute values turn quotes into apostrophes and keep everything else.
        {L"A::B", nullptr, [](auto& x) { x.Throw(QR_HERE, E_FAIL, L"say \"%ls\" & <go>\nnow", L"hi"); }, E_FAIL, L"A::B",
         Element(L"say 'hi' & <go>\nnow", L"E_FAIL")},
        {L"A::B", nullptr, [](auto& x) { x.SetError(E_ACCESSDENIED, L"Denied %d", 3); }, E_ACCESSDENIED, L"A::B",
         Element(L"Denied 3", L"E_ACCESSDENIED")},
        // A named scope adds its element in front of the called operations'; an unnamed
        // one takes the failure over without an element of its own.
        {L"A::B", L"Loading", [](auto&) { FailingOperation(L"Inner::Op", E_ACCESSDENIED, L"no"); }, E_ACCESSDENIED,
         L"A::B", Element(L"no", L"E_ACCESSDENIED", L"Activity=\"Loading\" ") + L"\r\n" + Element(L"no", L"E_ACCESSDENIED")},
        {L"A::B", nullptr,
         [](auto& x) {
             auto inner = [](auto&) { FailingOperation(L"Inner::Op", E_FAIL, L"deep"); };
             x.SetResult(Method(L"Middle::Op", L"Reading", inner, true));
             if (FAILED(x.result)) x.Rethrow();
         },
         E_FAIL, L"A::B", deep + L"\r\n" + Element(L"deep", L"E_FAIL", L"Activity=\"Reading\" ") + L"\r\n" + deep},
        {nullptr, nullptr, [](auto&) { FailingOperation(L"Inner::Op", E_FAIL, L"only me"); }, E_FAIL, L"Inner::Op",
         Element(L"only me", L"E_FAIL")},
        {L"QRCTaskList::Show", nullptr, [](auto& x) { x.CheckPointer(nullptr); }, E_POINTER, L"QRCTaskList::Show",
         Element(L"Invalid pointer passed to method QRCTaskList::Show", L"E_POINTER", L"Src=\"QRCTaskList::Show\" ")},
        // A plain text left by a called component is kept as an element of its own, also
        // when the first failure the scope records is a plain Throw.
        {L"A::B", nullptr, AfterCall(E_ACCESSDENIED, L"The component refused", [](auto& x) { x.Rethrow(L"Calling"); }),
         E_ACCESSDENIED, L"A::B",
         Element(L"Calling", L"E_ACCESSDENIED") + L"\r\n" + Element(L"The component refused", L"E_ACCESSDENIED", other)},
        {L"A::B", nullptr, AfterCall(S_OK, L"Plain text from elsewhere", [](auto& x) { x.Throw(E_FAIL, L"Mine"); }), E_FAIL,
         L"A::B", Element(L"Mine", L"E_FAIL") + L"\r\n" + Element(L"Plain text from elsewhere", L"E_FAIL", other)},
        // Rethrow and AddError without a message repeat the called document's Desc.
        {L"A::B", nullptr, AfterCall(E_FAIL, server, [](auto& x) { x.Rethrow(); }), E_FAIL, L"A::B",
         server + L"\r\n" + server},
        {L"A::B", L"Saving", AfterCall(E_FAIL, server, [](auto& x) { x.AddError(); }), E_FAIL, L"A::B",
         Element(L"server side", L"E_FAIL", L"Activity=\"Saving\" ") + L"\r\n" + server},
        // A _com_error becomes an ordinary failure, with the component's error information.
        {L"A::B", nullptr, [&](auto&) { throw _com_error(E_FAIL, MakeErrorInfo({L"Comp", failed.c_str()}).release()); },
         E_FAIL, L"A::B", failed + L"\r\n" + failed + L"\r\n" + failed},
        // No other exception leaves a COM method.
        {L"A::B", nullptr, [](auto&) { throw std::bad_alloc(); }, E_OUTOFMEMORY, L"A::B",
         Element(L"Out of memory", L"E_OUTOFMEMORY")},
        {L"A::B", nullptr, [](auto&) { throw std::runtime_error("broken"); }, E_UNEXPECTED, L"A::B",
         Element(L"Unexpected exception: broken", L"E_UNEXPECTED")},
    };
    for (const Case& c : cases) {
        ClearThreadError();
        EXPECT_EQ(c.expected, Method(c.method, c.activity, c.body)) << c.description;
        ThreadError error = TakeThreadError();
        EXPECT_EQ(c.source, error.source) << c.description;
        EXPECT_EQ(c.description, error.description);
    }
    EXPECT_THROW(Method(L"Internal::Op", nullptr, [](auto&) { throw std::logic_error("passes"); }, true), std::logic_error);
}

// Running out of memory while the handlers record the error: the method still returns,
// with E_OUTOFMEMORY and no document.
TEST(QRComException, OutOfMemoryWhileRecordingStaysInsideTheMethod) {
    // Armed while the failure leaves the try block, before the handler records it.
    struct ArmOnUnwind {
        std::optional<AllocationFailure>& failure;
        ~ArmOnUnwind() { failure.emplace(); }
    };
    const std::function<void()> raises[] = {[] { FailingOperation(L"Inner::Op", E_FAIL, L"refused"); },
                                            [] { _com_issue_error(E_ACCESSDENIED); },
                                            [] { throw std::runtime_error("broken"); }};
    for (const auto& raise : raises) {
        ClearThreadError();
        std::optional<AllocationFailure> failure;
        const HRESULT hr = Method(L"A::B", L"Saving", [&](auto&) {
            ArmOnUnwind arm{failure};
            raise();
        });
        const int refused = failure ? failure->Refused() : 0;
        failure.reset();  // before anything the checks allocate
        EXPECT_EQ(E_OUTOFMEMORY, hr);
        EXPECT_GT(refused, 0);
        EXPECT_FALSE(TakeThreadError().present);
    }
}

TEST(QRComException, CodeNamesAndTexts) {
    const std::wstring invalid = HResultMessage(E_INVALIDARG);
    EXPECT_EQ(L"E_NOTIMPL|Unknown error 0xA0071234|Unknown error 0x71234",
              HResultName(E_NOTIMPL) + L"|" + HResultMessage(HRESULT(0xA0071234)) + L"|" + HResultMessage(0x71234));
    EXPECT_TRUE(!invalid.empty() && invalid.find_last_of(L"\r\n") == std::wstring::npos) << invalid;
    const std::pair<const wchar_t*, const wchar_t*> documents[] = {
        {L"<QRError Desc=\"one\" HR=\"E_FAIL\" />\r\n<QRError Desc=\"two\" HR=\"E_FAIL\" />", L"one"},
        {L"<qrerror HR=\"E_FAIL\" desc=\"later\" />", L"later"}, {L"not a document", L"not a document"},
        {L"<QRError HR=\"E_FAIL\" />", L""}, {L"<QRError Desc=\"unterminated", L""}};
    for (const auto& [document, desc] : documents) EXPECT_EQ(desc, FirstDesc(document)) << document;
}

TEST(QRComException, IssueErrorExCarriesTheObjectsErrorInformationOnlyForItsInterface) {
    struct SupportsErrors : testcom::FakeComObject<ISupportErrorInfo> {
        STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override { return iid == IID_IDispatch ? S_OK : S_FALSE; }
    };
    testcom::Fake<SupportsErrors> object;
    std::wstring carried;
    for (const IID* iid : {&IID_IDispatch, &IID_IUnknown}) {
        PlantThreadError(L"Obj", L"from the object");
        try {
            _com_issue_errorex(E_ACCESSDENIED, object.get(), *iid);
        } catch (_com_error& e) {
            winkit::ComPtr<IErrorInfo> info = winkit::ComPtr<IErrorInfo>::Attach(e.ErrorInfo());
            winkit::UniqueBstr description;
            if (info) info->GetDescription(description.put());
            carried += HResultName(e.Error()) + L" " + (info ? description.str() : L"<none>") + L"; ";
        }
        ClearThreadError();
    }
    EXPECT_EQ(L"E_ACCESSDENIED from the object; E_ACCESSDENIED <none>; ", carried);
    EXPECT_EQ(1u, object->RefCount());
}

TEST(TraceSink, LinesOfScopeOperations) {
    TraceCapture capture(1);
    {
        // Entry and activity lines of levels up to the threshold are dropped.
        QRComException level0, level1, level2;
        level0.Enter(L"Zero::Op", 0);
        level1.Enter(L"One::Op", 1);
        level1.SetActivity(L"Idle");
        level2.Enter(L"Two::Op", 2);
        level2.SetActivity(L"Working");
    }
    QRComException xhr;
    xhr.Enter(L"QRCTaskList::Show", 1);
    try {
        xhr.Throw(SourceLocation{L"file.cpp", 10}, E_FAIL, L"boom");
    } catch (QRComException& e) {
        xhr.Catch(SourceLocation{L"file.cpp", 20}, e);
    }
    ClearThreadError();
    EXPECT_EQ(L"&QRCE& >>>> Enter Two::Op()\n&QRCE& ....      Working\n"
              L"file.cpp(10) : !!!! QRComException Error !!!!\n&QRCE& !!!! <QRError Desc=\"boom\" HR=\"E_FAIL\" />\n"
              L"file.cpp(20) : ~~~~ Caught QRComException ~~~~\n",
              capture.text());
}

TEST(OleDbErrorRecords, EachRecordIsAnElementAndAMissingSourceNamesTheInterface) {
    // {0C733A8C-2A1C-11CE-ADE5-00AA0044773D}
    const IID rowset = {0x0c733a8c, 0x2a1c, 0x11ce, {0xad, 0xe5, 0x00, 0xaa, 0x00, 0x44, 0x77, 0x3d}};
    testcom::Fake<RecordsErrorInfo> info(std::vector<Record>{
        {E_FAIL, GUID_NULL, L"SQL Provider", L"Syntax error"},
        {static_cast<HRESULT>(0x80040E14), rowset, nullptr, L"Column \"X\" unknown"}});
    SetErrorInfo(0, static_cast<IErrorInfo*>(info.get()));

    QRComException xhr;
    xhr.SetResult(static_cast<HRESULT>(0x80040E14));
    EXPECT_EQ(static_cast<HRESULT>(0x80040E14), xhr.Normalize());
    ThreadError error = TakeThreadError();
    EXPECT_EQ(L"<QRError Desc=\"Syntax error\" Src=\"SQL Provider\" HR=\"0x80004005\" />\r\n"
              L"<QRError Desc=\"Column 'X' unknown\" Src=\"OLEDB Interface::{0C733A8C-2A1C-11CE-ADE5-00AA0044773D}\" "
              L"HR=\"0x80040e14\" />",
              error.description);
    EXPECT_EQ(L"Provider", error.source);
    xhr = QRComException();
    EXPECT_EQ(1u, info->RefCount());
}
