#pragma once
// A service request that records every call as a line of text, in order, so tests
// compare whole call sequences with a table. Results and outputs are set per method.
#include <map>
#include <memory>
#include <string>
#include <vector>
#include "comidentifiers.h"

struct RequestLog {
    std::vector<std::wstring> calls;  // shared by every request a workspace made
};

class RecordingRequest final : public IServiceRequest {
public:
    explicit RecordingRequest(std::shared_ptr<RequestLog> log) : log_(std::move(log)) {}

    // What Execute returns and what GetOutput hands out while a method is set.
    std::map<std::wstring, HRESULT> executeResults;
    std::map<std::wstring, HRESULT> setMethodResults;  // by the method being set
    std::map<std::wstring, std::wstring> outputs;
    HRESULT getOutputResult = S_OK;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP SetComponent(BSTR progId) override;
    STDMETHODIMP SetMethod(BSTR method) override;
    STDMETHODIMP SetInput(BSTR text) override;
    STDMETHODIMP GetOutput(BSTR* text) override;
    STDMETHODIMP SetFlags(LONG flags) override;
    STDMETHODIMP Execute(LONG reserved) override;
    STDMETHODIMP BeginInput() override;
    STDMETHODIMP BeginElement(BSTR name) override;
    STDMETHODIMP AddField(BSTR name, VARIANT value) override;
    STDMETHODIMP EndElement(BSTR name) override;

    // "I4 7", "BSTR text", "R8 46361.5", "VT 8195"...
    static std::wstring Describe(const VARIANT& value);

private:
    void Log(const std::wstring& line) { log_->calls.push_back(line); }
    std::shared_ptr<RequestLog> log_;
    std::wstring method_;
    ULONG refs_ = 1;
};

// Configures each request a FakeWorkspace makes.
struct RequestScript {
    std::shared_ptr<RequestLog> log = std::make_shared<RequestLog>();
    std::map<std::wstring, HRESULT> executeResults;
    std::map<std::wstring, HRESULT> setMethodResults;
    std::map<std::wstring, std::wstring> outputs;
    HRESULT getOutputResult = S_OK;
    HRESULT createResult = S_OK;
    int requestsMade = 0;
    int liveRequests = 0;
};
