// Hostile documents at every entry point that reads one: none may crash or hang, the
// malformed and the declared are refused, and the canary file they name is never read.
#include <gtest/gtest.h>
#include <algorithm>
#include "assignmentsdocument.h"
#include "clientservices.h"
#include "diagnostics/qrcomexception.h"
#include "frameworkdata.h"
#include "reliability_text.h"
#include "support/errorinfo_helpers.h"
#include "support/fake_workspace.h"
#include "support/watchdog.h"
#include "taskitemcollection.h"
#include "taskoperations.h"
#include "winkit/unique_bstr.h"

using winkit::UniqueBstr;

namespace {

// A local file that no parser may ever read: the documents name it in external entities,
// external DTDs and XInclude references. Its last-access time is set far into the past,
// so that any read moves it (Linux's relatime updates an access time older than the last
// change), which ReadsAreNoticed confirms on this machine first.
class CanaryFile {
public:
    CanaryFile() {
        wchar_t folder[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        path_ = std::wstring(folder) + L"qrc_canary_" + std::to_wstring(GetCurrentProcessId()) + L".txt";
        HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, "canary", 6, &written, nullptr);
            CloseHandle(file);
        }
        SetAccessTimeLongAgo();
    }
    ~CanaryFile() { DeleteFileW(path_.c_str()); }
    CanaryFile(const CanaryFile&) = delete;
    CanaryFile& operator=(const CanaryFile&) = delete;

    // file:///C:/... with forward slashes.
    std::wstring Url() const {
        std::wstring url = L"file:///" + path_;
        std::replace(url.begin(), url.end(), L'\\', L'/');
        return url;
    }
    // Whether anything read the file since it was made (or since ReadsAreNoticed).
    bool WasRead() const {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (!GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &data)) return true;
        const FILETIME& accessed = data.ftLastAccessTime;
        return ((static_cast<unsigned long long>(accessed.dwHighDateTime) << 32) | accessed.dwLowDateTime) != kLongAgo;
    }
    // Reads the file once, checks that the read moved the access time, and sets it back.
    bool ReadsAreNoticed() {
        bool unreadBefore = !WasRead();
        HANDLE file = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        char buffer[64];
        DWORD read = 0;
        if (file != INVALID_HANDLE_VALUE) {
            ReadFile(file, buffer, sizeof buffer, &read, nullptr);
            CloseHandle(file);
        }
        bool noticed = unreadBefore && read > 0 && WasRead();
        SetAccessTimeLongAgo();
        return noticed && !WasRead();
    }

private:
    static constexpr unsigned long long kLongAgo = 126227808000000000ull;  // 1 January 2001, as a FILETIME

    void SetAccessTimeLongAgo() const {
        HANDLE file = CreateFileW(path_.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        FILETIME longAgo = {static_cast<DWORD>(kLongAgo), static_cast<DWORD>(kLongAgo >> 32)};
        SetFileTime(file, nullptr, &longAgo, nullptr);
        CloseHandle(file);
    }

    std::wstring path_;
};

std::wstring Repeated(const std::wstring& text, int times) {
    std::wstring out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

// An entry point: its root element, its document with `value` in an attribute and
// `content` inside an element, what the library made of a document in a few words, and
// what that is for its well-formed document (value "v") and for one it refuses.
struct Channel {
    const wchar_t* name;
    const wchar_t* root;
    std::function<std::wstring(const std::wstring& value, const std::wstring& content)> body;
    std::function<std::wstring(const std::wstring& document)> read;
    const wchar_t* readOutcome;
    const wchar_t* refusedOutcome;
};

struct Document {
    std::wstring name, text;
};

std::wstring TasksRead(const std::wstring& document) {
    TaskItemCollection tasks;
    ClearThreadError();
    HRESULT hr = tasks.Load(UniqueBstr::Copy(document).get());
    ThreadError error = TakeThreadError();
    std::wstring text = FAILED(hr) ? L"refused" : L"read";
    if (FAILED(hr) && error.description.rfind(L"<QRError ", 0) != 0) text += L" without a QRError";
    for (const TaskItem& task : tasks.Items()) text += L" " + std::to_wstring(task.ToDo_Index) + L":" + task.ToDo_Name;
    return text;
}

std::wstring AssignmentsRead(const std::wstring& document) {
    std::vector<ObjRecord> records = ReadAssignments(document);
    if (records.empty()) return L"refused";
    return L"read " + (records[0].attributes.empty() ? L"" : records[0].attributes[0].I);
}

std::wstring FrameworkDataRead(const std::wstring& document) {
    winkit::ComPtr<IXMLDOMDocument2> dom;
    if (FAILED(CreateFrameworkDataDocument(dom))) return L"no DOM";
    FrameworkData data;
    data.signature = UniqueBstr::Copy(L"before");
    HRESULT hr = ReadFrameworkData(dom.get(), UniqueBstr::Copy(document).get(), data);
    return (hr == S_OK ? L"read " : hr == S_FALSE ? L"refused " : HResultHex(hr) + L" ") + data.signature.str();
}

// A run of task 1 whose framework answer is the claims document, then ClaimObject with
// it: granted, refused (the task marked in error), or invalid (a failure with a QRError).
std::wstring ClaimsRead(const std::wstring& document) {
    testcom::Fake<FakeWorkspace> workspace;
    RequestScript script;
    workspace->UseScript(script);
    script.outputs[L"ActionTask"] = script.outputs[L"SynchronizeObjectClaim"] = document;
    TaskItemCollection tasks;
    std::wstring text;
    try {
        RunOutcome result = TaskOperations(workspace.get(), tasks).RunTaskItem(1);
        text = result.completed()                          ? L"granted"
               : result.kind == RunOutcome::kEndedInError ? L"claim refused"
                                                          : L"run " + HResultHex(result.failure);
    } catch (QRComException& e) {
        text = FAILED(e.result) ? L"refused" : L"thrown " + HResultHex(e.result);
    }
    winkit::ComPtr<IQRCIGEFClientServices> services;
    CClientServices::Create(nullptr, IID_IQRCIGEFClientServices, services.put_void());
    services->Initialize(static_cast<IDispatch*>(workspace.get()));
    ClearThreadError();
    HRESULT hr = services->ClaimObject(UniqueBstr::Copy(L"1001").get());
    ThreadError error = TakeThreadError();
    if (SUCCEEDED(hr)) return text + L" / claimed";
    return text + (error.description.rfind(L"<QRError", 0) == 0 ? L" / refused" : L" / refused without a QRError");
}

const std::vector<Channel>& Channels() {
    static const std::vector<Channel> channels = {
        {L"GetTaskList", L"TaskItemList",
         [](const std::wstring& value, const std::wstring& content) {
             return L"<TaskItemList><TaskItem ToDo_Index=\"1\" ToDo_Name=\"" + value + L"\" ToDo_Category=\"5\">" + content +
                    L"</TaskItem></TaskItemList>";
         },
         TasksRead, L"read 1:v", L"refused"},
        {L"GetTaskAssignments", L"O",
         [](const std::wstring& value, const std::wstring& content) {
             return L"<O X=\"1\" U=\"\" I=\"\" N=\"XV-1\" C=\"Valve\"><A I=\"" + value +
                    L"\" V=\"1\" O=\"0\" U=\"\" S=\"0\" C=\"0\">" + content + L"</A></O>";
         },
         AssignmentsRead, L"read v", L"refused"},
        {L"GetEFData", L"EFData",
         [](const std::wstring& value, const std::wstring& content) {
             return L"<EFData EFSIGNATURE=\"" + value + L"\" EFURL=\"u2\">" + content + L"</EFData>";
         },
         FrameworkDataRead, L"read v", L"refused before"},
        {L"claims", L"Claims",
         [](const std::wstring& value, const std::wstring& content) {
             return L"<Claims><Claim OID=\"1001\" Name=\"" + value + L"\" Locked=\"0\">" + content + L"</Claim></Claims>";
         },
         ClaimsRead, L"granted / claimed", L"refused / refused"},
    };
    return channels;
}

std::vector<Document> Malformed(const Channel& c) {
    std::wstring whole = c.body(L"v", L"");
    return {
        {L"white space only", L" \r\n\t "},
        {L"text only", L"tasks"},
        {L"cut in the middle", whole.substr(0, whole.size() / 2)},
        {L"bare ampersand", c.body(L"a & b", L"")},
        {L"control character", c.body(L"a\x0001", L"")},
        {L"NUL inside the text", whole.substr(0, 10) + L'\0' + whole.substr(10)},
    };
}

// Document type declarations in all their forms, each behind the prolog forms a reader
// must look past; the external ones name the canary file.
std::vector<Document> Declarations(const Channel& c, const std::wstring& url) {
    const std::wstring root = c.root;
    std::wstring laughs = L"<?xml version=\"1.0\"?>\n<!DOCTYPE " + root + L" [\n <!ENTITY lol0 \"lol\">\n";
    for (int level = 1; level <= 10; ++level)
        laughs += L" <!ENTITY lol" + std::to_wstring(level) + L" \"" + Repeated(L"&lol" + std::to_wstring(level - 1) + L";", 10) + L"\">\n";
    std::wstring external = L"<!DOCTYPE " + root + L" [<!ENTITY x SYSTEM \"" + url + L"\">]>";
    return {
        {L"internal entity", L"<!DOCTYPE " + root + L" [<!ENTITY e \"expanded\">]>" + c.body(L"&e;", L"&e;")},
        {L"billion laughs", laughs + L"]>\n" + c.body(L"&lol10;", L"&lol10;")},
        {L"quadratic blowup", L"<!DOCTYPE " + root + L" [<!ENTITY big \"" + std::wstring(50000, L'q') + L"\">]>" +
                                  c.body(Repeated(L"&big;", 5000), L"&big;")},
        {L"external entity in content", external + c.body(L"v", L"&x;")},
        {L"external entity in an attribute", external + c.body(L"&x;", L"")},
        {L"external parameter entity", L"<!DOCTYPE " + root + L" [<!ENTITY % p SYSTEM \"" + url + L"\"> %p;]>" + c.body(L"v", L"")},
        {L"public identifier", L"<!DOCTYPE " + root + L" PUBLIC \"-//QR//Hostile//EN\" \"" + url + L"\">" + c.body(L"v", L"")},
        {L"behind a byte order mark, declaration, comment and instruction",
         L"\xFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<!-- <!DOCTYPE> -->\n<?x y?>\n<!DOCTYPE " + root +
             L" SYSTEM \"" + url + L"\">" + c.body(L"v", L"")},
        {L"lower-case doctype", L"<!doctype " + root + L" SYSTEM \"" + url + L"\">" + c.body(L"v", L"")},
        {L"after the root element", L"<" + root + L"/><!DOCTYPE " + root + L" [<!ENTITY a \"b\">]>"},
    };
}

// Documents that name the canary file without a declaration: it may be named, never fetched.
std::vector<Document> References(const Channel& c, const std::wstring& url) {
    return {
        {L"XInclude", c.body(L"v", L"<xi:include xmlns:xi=\"http://www.w3.org/2001/XInclude\" href=\"" + url + L"\" parse=\"text\"/>")},
        {L"stylesheet instruction", L"<?xml-stylesheet type=\"text/xsl\" href=\"" + url + L"\"?>" + c.body(L"v", L"")},
        {L"schema location", c.body(L"v", L"<s xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                                          L"xsi:noNamespaceSchemaLocation=\"" + url + L"\"/>")},
        {L"undeclared entity", c.body(L"&undeclared;", L"&undeclared;")},
    };
}

// Reads the document under a watchdog that names it should the reader hang.
std::wstring Read(const Channel& channel, const std::wstring& documentName, const std::wstring& document) {
    Watchdog watchdog(Narrow(std::wstring(channel.name) + L": " + documentName));
    return channel.read(document);
}

} // namespace

TEST(HostileDocuments, EveryEntryPointRefusesMalformedDocumentsAndDeclarationsAndNeverReadsTheCanary) {
    CanaryFile canary;
    ASSERT_TRUE(canary.ReadsAreNoticed()) << "this file system does not show reads; the check would mean nothing";
    for (const Channel& channel : Channels()) {
        SCOPED_TRACE(Narrow(channel.name));
        EXPECT_EQ(Narrow(channel.readOutcome), Narrow(Read(channel, L"well-formed", channel.body(L"v", L""))));
        std::vector<Document> refused = Malformed(channel);
        for (const Document& d : Declarations(channel, canary.Url())) refused.push_back(d);
        for (const Document& d : refused)
            EXPECT_EQ(Narrow(channel.refusedOutcome), Narrow(Read(channel, d.name, d.text))) << Narrow(d.name);
        for (const Document& d : References(channel, canary.Url())) Read(channel, d.name, d.text);
    }
    EXPECT_FALSE(canary.WasRead());
}
