#pragma once
// CClientServices, the creatable class QRCIGEFClientServices: client services of a
// workspace towards the engineering framework. It reads the workspace's framework data,
// answers feature queries and claims objects and streams; publishing, revising and
// browsing belong to the older client services component, which it connects to on
// first use and forwards to.
#include <array>
#include "comidentifiers.h"
#include "diagnostics/traced.h"
#include "frameworkdata.h"
#include "winkit/com_object.h"
#include "winkit/com_ptr.h"
#include "winkit/dispatch_impl.h"
#include "winkit/unique_bstr.h"

inline constexpr const wchar_t* kProductName = L"Morvandel";

class CClientServices final : public winkit::ComObjectRoot,
                              public winkit::DispatchImpl<IQRCIGEFClientServices>,
                              public ISupportErrorInfo {
public:
    WINKIT_IUNKNOWN_IMPL(kInterfaces)
    static HRESULT Create(IUnknown* outer, REFIID iid, void** out);

    // IQRCIGEFClientServices, in the order of its method table.
    STDMETHODIMP ConnectToEF() override;
    STDMETHODIMP Publish(BSTR sOID) override;
    STDMETHODIMP get_ConnectionStatus(long* pVal) override;
    STDMETHODIMP GetEFData(BSTR* Signature, BSTR* Url, BSTR* Plant) override;
    STDMETHODIMP SetEFData(BSTR Signature, BSTR Url, BSTR Plant) override;
    STDMETHODIMP GetPlantData(BSTR* Plant, BSTR* Area, BSTR* Unit) override;
    STDMETHODIMP SetPlantData(BSTR Plant, BSTR Area, BSTR Unit) override;
    STDMETHODIMP get_XMLFileName(BSTR* pVal) override;
    STDMETHODIMP put_XMLFileName(BSTR name) override;
    STDMETHODIMP Retrieve() override;
    STDMETHODIMP FindDocsToPublish() override;
    STDMETHODIMP LaunchFrameworkBrowser() override;
    STDMETHODIMP Initialize(IDispatch* pWorkspace) override;
    STDMETHODIMP Register(IDispatch* pWorkspace) override;
    STDMETHODIMP UnInitialize() override;
    STDMETHODIMP GetProjectList(SAFEARRAY** Projects) override;
    STDMETHODIMP ClaimStream(IDispatch* pWorkspace, VARIANT saOID) override;
    STDMETHODIMP SynchronizeClaims(BSTR ClaimsXML, BSTR* pErrorMessage) override;
    STDMETHODIMP PublishProjectAsBuilt(BSTR sProjectName) override;
    STDMETHODIMP ClaimObject(BSTR strOID) override;
    STDMETHODIMP Revise(BSTR sOID) override;
    STDMETHODIMP SupportsFeature(BSTR Feature, VARIANT_BOOL* Supported) override;

    // ISupportErrorInfo
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

private:
    static const QITAB kInterfaces[];

    // Connects to the adapter on first use. A failure ends the calling method with the
    // connection's HRESULT and document unchanged, so it must come before the method
    // names its scope.
    void RequireAdapter(QRComException& xhr);
    // Ends the method with a called operation's failure: with the error information the
    // call left, below an element of the method's own, or with the code's text alone.
    [[noreturn]] static void RaiseCallFailure(QRComException& xhr, HRESULT hr);
    // Reads the framework data into the fields; returns the pending result of Initialize.
    HRESULT LoadFrameworkData(QRComException& xhr, BSTR document);
    void PassDataToAdapter(IDispatch* workspace);
    // A traced method without a scope name of its own: the adapter's connection, then the work.
    template <class Work>
    HRESULT WithAdapter(Work&& work);
    HRESULT HandOut(const wchar_t* method, const std::array<BSTR*, 3>& outs,
                    const std::array<const winkit::UniqueBstr*, 3>& values);
    static void Store(const std::array<winkit::UniqueBstr*, 3>& fields, const std::array<BSTR, 3>& values);

    winkit::UniqueBstr xmlFileName_;
    FrameworkData data_;
    long connectionStatus_ = 0;  // nothing sets it; hosts read 0
    winkit::ComPtr<IQREFOldClientServices> adapter_;
    winkit::ComPtr<IWorkspace> workspace_;
};

template <class Work>
HRESULT CClientServices::WithAdapter(Work&& work) {
    return Traced(nullptr, 0, [&](QRComException& xhr) {
        RequireAdapter(xhr);
        work(xhr);
    });
}
