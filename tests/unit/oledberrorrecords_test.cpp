// OLE DB error records become one element each.
#include <gtest/gtest.h>
#include <oledb.h>
#include <string>
#include <vector>
#include "diagnostics/qrcomexception.h"
#include "support/errorinfo_helpers.h"
#include "winkit/com_ptr.h"

namespace {

struct Record {
    HRESULT hr;
    IID iid;
    const wchar_t* source;
    const wchar_t* description;
};

// An error information object that also offers OLE DB error records.
class RecordsErrorInfo final : public IErrorInfo, public IErrorRecords {
public:
    explicit RecordsErrorInfo(std::vector<Record> records) : records_(std::move(records)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IErrorInfo) *out = static_cast<IErrorInfo*>(this);
        else if (iid == IID_IErrorRecords) *out = static_cast<IErrorRecords*>(this);
        else { *out = nullptr; return E_NOINTERFACE; }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG n = --refs_;
        if (!n) delete this;
        return n;
    }
    STDMETHODIMP GetGUID(GUID* g) override { *g = GUID_NULL; return S_OK; }
    STDMETHODIMP GetSource(BSTR* s) override { *s = SysAllocString(L"Provider"); return S_OK; }
    STDMETHODIMP GetDescription(BSTR* d) override { *d = SysAllocString(L"top-level description"); return S_OK; }
    STDMETHODIMP GetHelpFile(BSTR* f) override { *f = nullptr; return S_OK; }
    STDMETHODIMP GetHelpContext(DWORD* c) override { *c = 0; return S_OK; }

    STDMETHODIMP AddErrorRecord(ERRORINFO*, DWORD, DISPPARAMS*, IUnknown*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetBasicErrorInfo(ULONG i, ERRORINFO* info) override {
        *info = {};
        info->hrError = records_[i].hr;
        info->iid = records_[i].iid;
        return S_OK;
    }
    STDMETHODIMP GetCustomErrorObject(ULONG, REFIID, IUnknown** out) override { *out = nullptr; return E_NOTIMPL; }
    STDMETHODIMP GetErrorInfo(ULONG i, LCID, IErrorInfo** out) override {
        winkit::ComPtr<ICreateErrorInfo> creator;
        CreateErrorInfo(creator.put());
        if (records_[i].source) creator->SetSource(const_cast<LPOLESTR>(records_[i].source));
        creator->SetDescription(const_cast<LPOLESTR>(records_[i].description));
        return creator->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(out));
    }
    STDMETHODIMP GetErrorParameters(ULONG, DISPPARAMS*) override { return E_NOTIMPL; }
    STDMETHODIMP GetRecordCount(ULONG* count) override {
        *count = static_cast<ULONG>(records_.size());
        return S_OK;
    }

private:
    std::vector<Record> records_;
    ULONG refs_ = 1;
};

} // namespace

TEST(OleDbErrorRecords, EachRecordIsAnElementAndAMissingSourceNamesTheInterface) {
    // {0C733A8C-2A1C-11CE-ADE5-00AA0044773D}
    const IID rowset = {0x0c733a8c, 0x2a1c, 0x11ce, {0xad, 0xe5, 0x00, 0xaa, 0x00, 0x44, 0x77, 0x3d}};
    auto* info = new RecordsErrorInfo({{E_FAIL, GUID_NULL, L"SQL Provider", L"Syntax error"},
                                       {static_cast<HRESULT>(0x80040E14), rowset, nullptr, L"Column \"X\" unknown"}});
    SetErrorInfo(0, static_cast<IErrorInfo*>(info));
    info->Release();

    QRComException xhr;
    xhr.SetResult(static_cast<HRESULT>(0x80040E14));
    EXPECT_EQ(static_cast<HRESULT>(0x80040E14), xhr.Normalize());
    ThreadError error = TakeThreadError();
    EXPECT_EQ(L"<QRError Desc=\"Syntax error\" Src=\"SQL Provider\" HR=\"0x80004005\" />\r\n"
              L"<QRError Desc=\"Column 'X' unknown\" Src=\"OLEDB Interface::{0C733A8C-2A1C-11CE-ADE5-00AA0044773D}\" "
              L"HR=\"0x80040e14\" />",
              error.description);
    EXPECT_EQ(L"Provider", error.source);
}
