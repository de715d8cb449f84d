// OLE DB error records become one element each.
#include <gtest/gtest.h>
#include <oledb.h>
#include <string>
#include <vector>
#include "diagnostics/errorinfo.h"
#include "diagnostics/qrcomexception.h"
#include "support/fake_com.h"

namespace {

struct Record { HRESULT hr; IID iid; const wchar_t* source; const wchar_t* description; };

// An error information object that also offers OLE DB error records.
class RecordsErrorInfo : public testcom::FakeComObject<IErrorInfo>, public IErrorRecords {
public:
    explicit RecordsErrorInfo(std::vector<Record> records) : records_(std::move(records)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return FakeComObject::QueryInterface(iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return FakeComObject::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return FakeComObject::Release(); }
    STDMETHODIMP GetGUID(GUID* g) override { return *g = GUID_NULL, S_OK; }
    STDMETHODIMP GetSource(BSTR* s) override { return *s = SysAllocString(L"Provider"), S_OK; }
    STDMETHODIMP GetDescription(BSTR* d) override { return *d = SysAllocString(L"top-level description"), S_OK; }
    STDMETHODIMP GetHelpFile(BSTR* f) override { return *f = nullptr, S_OK; }
    STDMETHODIMP GetHelpContext(DWORD* c) override { return *c = 0, S_OK; }
    STDMETHODIMP AddErrorRecord(ERRORINFO*, DWORD, DISPPARAMS*, IUnknown*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetBasicErrorInfo(ULONG i, ERRORINFO* info) override {
        return *info = {records_[i].hr, 0, GUID_NULL, records_[i].iid, 0}, S_OK;
    }
    STDMETHODIMP GetCustomErrorObject(ULONG, REFIID, IUnknown** out) override { return *out = nullptr, E_NOTIMPL; }
    STDMETHODIMP GetErrorInfo(ULONG i, LCID, IErrorInfo** out) override {
        return *out = MakeErrorInfo({records_[i].source, records_[i].description}).release(), S_OK;
    }
    STDMETHODIMP GetErrorParameters(ULONG, DISPPARAMS*) override { return E_NOTIMPL; }
    STDMETHODIMP GetRecordCount(ULONG* count) override { return *count = static_cast<ULONG>(records_.size()), S_OK; }

    void* QueryOther(REFIID iid) override { return iid == IID_IErrorRecords ? static_cast<IErrorRecords*>(this) : nullptr; }

private:
    std::vector<Record> records_;
};

} // namespace

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
