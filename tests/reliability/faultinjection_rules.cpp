#include "faultinjection.h"

namespace faultinjection {
namespace {

const wchar_t* const kUnableToInstance = L"Unable to instance Zev Odovidedava Zedevodiv component";
const wchar_t* const kUnableToInitialize = L"Unable to initialize Zev Odovidedava Zedevodiv component";
const wchar_t* const kClaimFailed = L"Claim in ZAR failed";
const wchar_t* const kNotAWorkspace = L"The object given to Initialize is not a workspace";
const wchar_t* const kNoTools = L"Unable to connect to QRClientTools::Globals";
const wchar_t* const kNoIdentifier = L"Unable to find version specific identifier for QREFOldAdapter380.ClientServices";
const wchar_t* const kNoSelection = L"Unable to connect to QRCGenericSvcs::QRCSelectKBDlg";

constexpr HRESULT kInjected = kInjectedFailure;
constexpr bool kCarried = true;  // the component's error information is in the document

} // namespace

const std::vector<Rule>& ToDoListRules() {
    static const std::vector<Rule> rules = {
        // Initialize keeps only a workspace.
        {L"Initialize | IWorkspace::QueryInterface(IWorkspace)", Fails(E_INVALIDARG)},

        // Running a task whose answer is a claims document: the library's client services
        // object is made, initialized and synchronizes the claims; a failure reaches Show.
        {L"*Action | CoCreateInstance(QRCIGEFClientServices)", Fails(kInjected, {kUnableToInstance})},
        {L"*Action | IWorkspace::QueryInterface(*)", Fails(S_OK, {kUnableToInitialize, kNotAWorkspace})},
        {L"*Action | CoCreateInstance(QRClientTools.Globals)", Fails(kInjected, {kUnableToInitialize, kNoTools})},
        {L"*Action | IGlobals::GetVersionSpecificIdentifier",
         Fails(kInjected, {kUnableToInitialize, kNoIdentifier}, kCarried)},
        {L"*Action | CoCreateInstance(QREFOldAdapter380.ClientServices)", Fails(kInjected, {kUnableToInitialize})},
        {L"*Action | IWorkspace::CreateServiceRequest [GetEFData]", Fails(kInjected, {kUnableToInitialize}, kCarried)},
        {L"*Action | IServiceRequest::Execute [GetEFData]", Fails(kInjected, {kUnableToInitialize}, kCarried)},
        {L"*Action | IServiceRequest::GetOutput [GetEFData]", Fails(kInjected, {kUnableToInitialize}, kCarried)},
        {L"*Action | IServiceRequest::* [GetEFData]", SameOrFails({kUnableToInitialize})},
        {L"*Action | IQREFOldClientServices::SynchronizeClaims", Fails(kInjected, {kClaimFailed}, kCarried)},
        // SetRestore, SetPlantData, SetFrameworkData, SetProductName, Initialize: never examined.
        {L"*Action | IQREFOldClientServices::*", Same()},

        // The view settings, read when the list opens and written when it closes and after
        // Configure View: a failing store call ends the dialog and Show returns it.
        {L"* | CoCreateInstance(QRClientTools.*)", Fails(kInjected)},
        {L"* | IGlobals::GetSettingsRoot", Fails(kInjected, {}, kCarried)},
        {L"* | ISettingsNode::*", Fails(kInjected, {}, kCarried)},

        // The framework's requests: the fetch keeps (or, without output, empties) the list, the
        // commands stop or go on silently; the Action counts a task that did not run.
        {L"* | IWorkspace::CreateServiceRequest*", Same()},
        {L"* | IServiceRequest::*", Same()},
        // The acting user falls back to the system's name, the report's workspace cell stays empty.
        {L"* | IWorkspace::GetUserName", Same()},
        {L"* | IWorkspace::GetWorkspaceName", Same()},

        // The report: only an application that cannot be reached is told to the user.
        {L"Report | CoCreateInstance(Excel.Application)", Message(L"It could not be started.")},
        {L"Report | Excel Application::*(Workbooks)", Message(L"It did not give access to its workbooks.")},
        // A failed write (or lookup of its member) loses that value alone.
        {L"Report | Excel *::*(Visible)", SameLosingOneWrite()},
        {L"Report | Excel *::*(UserControl)", SameLosingOneWrite()},
        {L"Report | Excel *::*(Value)", SameLosingOneWrite()},
        {L"Report | Excel *::*(ColumnWidth)", SameLosingOneWrite()},
        {L"Report | Excel *::*(Bold)", SameLosingOneWrite()},
        // A failed object: what would be written through it is not.
        {L"Report | Excel *", Same()},
    };
    return rules;
}

const std::vector<Rule>& ClientServicesRules() {
    static const std::vector<Rule> rules = {
        {L"Initialize | IWorkspace::QueryInterface(IWorkspace)", Fails(E_INVALIDARG, {kNotAWorkspace})},

        // The adapter connection, made by whichever method comes first.
        {L"* | CoCreateInstance(QRClientTools.Globals)", Fails(kInjected, {kNoTools})},
        {L"* | IGlobals::GetVersionSpecificIdentifier", Fails(kInjected, {kNoIdentifier}, kCarried)},
        {L"* | CoCreateInstance(QREFOldAdapter380.ClientServices)", Fails(kInjected)},

        // Claiming streams: a failed selection stops the method, a failed claim of one
        // identifier does not.
        {L"ClaimStream | CoCreateInstance(QRCSelectKBDlg)", Fails(kInjected, {kNoSelection})},
        {L"ClaimStream | IRunnableObject::Run", Fails(kInjected, {kNoSelection})},
        {L"ClaimStream | QRCSelectKBDlg::QueryInterface(DQRCSelectKBDlg)", Fails(kInjected, {kNoSelection})},
        {L"ClaimStream | DQRCSelectKBDlg::Invoke(RunCommand)", Fails(kInjected, {}, kCarried)},
        {L"ClaimStream | *", SameGoingOn(L"ClaimStream | DQRCSelectKBDlg::Invoke(RunCommand)")},

        // Text calls of the framework: their failure is the method's, with its error information.
        {L"* | IWorkspace::CreateServiceRequest [*]", Fails(kInjected, {}, kCarried)},
        {L"* | IServiceRequest::Execute [*]", Fails(kInjected, {}, kCarried)},
        {L"* | IServiceRequest::GetOutput [*]", Fails(kInjected, {}, kCarried)},
        {L"* | IServiceRequest::*", SameOrFails()},

        {L"ClaimObject | IQREFOldClientServices::SynchronizeClaims", Fails(kInjected, {}, kCarried)},
        // The forwarded SynchronizeClaims: the adapter's result and error information are the caller's.
        {L"SynchronizeClaims | IQREFOldClientServices::SynchronizeClaims", PassedThrough()},

        // Everything else the adapter does is never examined.
        {L"* | IQREFOldClientServices::*", Same()},
    };
    return rules;
}

} // namespace faultinjection
