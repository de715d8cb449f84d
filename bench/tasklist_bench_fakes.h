#pragma once
// Stand-ins for the benchmarks of the To Do list: a workspace whose every request
// answers with one text, and an empty settings store registered for this process.
#include <string>
#include "comidentifiers.h"

class AnsweringWorkspace final : public IWorkspace {
public:
    explicit AnsweringWorkspace(std::wstring answer) : answer_(std::move(answer)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetUserName(BSTR* name) override;
    STDMETHODIMP GetWorkspacePath(BSTR* path) override;
    STDMETHODIMP GetWorkspaceName(BSTR* name) override;
    STDMETHODIMP CreateServiceRequest(IServiceRequest** request) override;

private:
    std::wstring answer_;
};

// While it lives, the client tools' Globals and settings nodes are an empty store that
// accepts every write.
class EmptySettingsStore {
public:
    EmptySettingsStore();
    ~EmptySettingsStore();
    EmptySettingsStore(const EmptySettingsStore&) = delete;
    EmptySettingsStore& operator=(const EmptySettingsStore&) = delete;

private:
    DWORD globals_ = 0;
    DWORD node_ = 0;
};
