// The editor's UI Automation provider against a real QuillEdit window, in three layers: the core
// library's node API for the WM_GETOBJECT wiring and the element's properties (from a second
// thread and from a second process, as a client would); direct COM calls on the provider for the Text
// pattern, ranges and selection; fakes for the two looked-up event functions. The range arithmetic itself is
// tested natively (text_units_test.cpp). Wine has no UI Automation client (CUIAutomation), so no test
// goes through one.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "edit/access_provider_win.h"
#include "edit/view_window_support.h"

namespace quill {
namespace {

using test::EditorWindow;
using test::Pump;
using uia::ITextProvider;
using uia::ITextRangeProvider;

// Runs `body` on a multithreaded-apartment thread while this (the window's) thread pumps messages:
// a client on the window's own thread would wait for itself.
void OnClientThread(const std::function<void()>& body) {
    bool done = false;
    std::thread client([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        body();
        CoUninitialize();
        done = true;
    });
    for (int i = 0; i < 2000 && !done; ++i) {
        Pump();
        Sleep(5);
    }
    client.join();
}

std::wstring Text(ITextRangeProvider* range, int max = -1) {
    BSTR text = nullptr;
    if (FAILED(range->GetText(max, &text))) return L"<failed>";
    std::wstring out(text, SysStringLen(text));
    SysFreeString(text);
    return out;
}

// The one range in an array from GetSelection or GetVisibleRanges (a reference of its own).
ITextRangeProvider* OnlyRange(SAFEARRAY* array) {
    LONG low = 0, high = -1;
    SafeArrayGetLBound(array, 1, &low);
    SafeArrayGetUBound(array, 1, &high);
    IUnknown* element = nullptr;
    LONG index = 0;
    ITextRangeProvider* range = nullptr;
    if (high - low == 0 && SUCCEEDED(SafeArrayGetElement(array, &index, &element)) && element) {
        element->QueryInterface(uia::kIidTextRangeProvider, reinterpret_cast<void**>(&range));
        element->Release();
    }
    SafeArrayDestroy(array);
    return range;
}

struct Fixture {
    EditorWindow w{400, 200};
    Provider* provider = nullptr;
    ITextProvider* text = nullptr;

    Fixture() {
        provider = ProviderOf(w.view(), w.hwnd());
        if (provider) provider->QueryInterface(uia::kIidTextProvider, reinterpret_cast<void**>(&text));
    }
    ~Fixture() {
        if (text) text->Release();
    }
    ITextRangeProvider* Document() {
        ITextRangeProvider* r = nullptr;
        text->get_DocumentRange(&r);
        return r;
    }
};

// ---- the node API: wiring and properties, as a client on another thread sees them --------------

using NodeFromHandleFn = HRESULT(WINAPI*)(HWND, void**);
using NodePropertyFn = HRESULT(WINAPI*)(void*, PROPERTYID, VARIANT*);
using NodeReleaseFn = BOOL(WINAPI*)(void*);

// What a node-API client reads of the window's element: "<control type> <class name>", or why not.
std::wstring ReadElement(HWND hwnd) {
    HMODULE core = LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!core) return L"no core library";
    auto fromHandle = reinterpret_cast<NodeFromHandleFn>(
        reinterpret_cast<void*>(GetProcAddress(core, "UiaNodeFromHandle")));
    auto property = reinterpret_cast<NodePropertyFn>(
        reinterpret_cast<void*>(GetProcAddress(core, "UiaGetPropertyValue")));
    auto release =
        reinterpret_cast<NodeReleaseFn>(reinterpret_cast<void*>(GetProcAddress(core, "UiaNodeRelease")));
    if (!fromHandle || !property || !release) return L"no node functions";
    void* node = nullptr;
    const HRESULT found = fromHandle(hwnd, &node);
    if (FAILED(found) || !node) return L"no node: " + std::to_wstring(found);
    VARIANT controlType, className;
    VariantInit(&controlType);
    VariantInit(&className);
    property(node, uia::kControlTypeProperty, &controlType);
    property(node, uia::kClassNameProperty, &className);
    release(node);
    std::wstring out = controlType.vt == VT_I4 ? std::to_wstring(controlType.lVal) : L"?";
    out += L" ";
    out += className.vt == VT_BSTR ? std::wstring(className.bstrVal, SysStringLen(className.bstrVal)) : L"?";
    VariantClear(&controlType);
    VariantClear(&className);
    return out;
}

// Runs the client case below in a second process of this program while this thread pumps messages
// (the provider answers on the window's thread); returns what it read.
std::wstring ReadFromAnotherProcess(HWND hwnd) {
    wchar_t self[MAX_PATH], temp[MAX_PATH + 1], out[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    GetTempPathW(MAX_PATH + 1, temp);
    GetTempFileNameW(temp, L"uia", 0, out);
    SetEnvironmentVariableW(L"LUMENPAD_UIA_TARGET",
                            std::to_wstring(reinterpret_cast<uintptr_t>(hwnd)).c_str());
    SetEnvironmentVariableW(L"LUMENPAD_UIA_OUT", out);
    std::wstring command =
        L"\"" + std::wstring(self) +
        L"\" --gtest_filter=AccessProvider.DISABLED_ClientProcess --gtest_also_run_disabled_tests";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                        &startup, &process);
    SetEnvironmentVariableW(L"LUMENPAD_UIA_TARGET", nullptr);
    SetEnvironmentVariableW(L"LUMENPAD_UIA_OUT", nullptr);
    if (!started) return L"not started";
    for (int i = 0; i < 3000 && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT; ++i) {
        Pump();
        Sleep(5);
    }
    TerminateProcess(process.hProcess, 1);  // if it is still waiting
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::wstring text;
    if (FILE* f = _wfopen(out, L"rb")) {
        wchar_t buffer[128] = {};
        text.assign(buffer, std::fread(buffer, sizeof(wchar_t), 127, f));
        std::fclose(f);
    }
    DeleteFileW(out);
    return text;
}

// The client half of the test above, in its own process: only with the window and the output named.
TEST(AccessProvider, DISABLED_ClientProcess) {
    const char* target = std::getenv("LUMENPAD_UIA_TARGET");
    const char* out = std::getenv("LUMENPAD_UIA_OUT");
    if (!target || !out) GTEST_SKIP() << "run by WindowAnswersTheRootObjectIdOnly";
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const std::wstring read = ReadElement(reinterpret_cast<HWND>(std::strtoull(target, nullptr, 10)));
    CoUninitialize();
    if (FILE* f = std::fopen(out, "wb")) {
        std::fwrite(read.data(), sizeof(wchar_t), read.size(), f);
        std::fclose(f);
    }
}

TEST(AccessProvider, WindowAnswersTheRootObjectIdOnly) {
    EditorWindow w(400, 200);
    ASSERT_TRUE(w.ok());
    SendMessageW(w.hwnd(), WM_GETOBJECT, 0, OBJID_CLIENT);
    EXPECT_EQ(w.view().GetAccessibilityListener(), nullptr) << "no provider for other object ids";

    const std::wstring expected = std::to_wstring(uia::kDocumentControlType) + L" QuillEdit";
    std::wstring fromThread;
    OnClientThread([&] { fromThread = ReadElement(w.hwnd()); });
    EXPECT_EQ(fromThread, expected) << "a client on another thread";
    EXPECT_NE(w.view().GetAccessibilityListener(), nullptr) << "made on the first root request";
    EXPECT_EQ(ReadFromAnotherProcess(w.hwnd()), expected) << "a client in another process";
}

// ---- direct calls: the element, the Text pattern, ranges and selection --------------------------

TEST(AccessProvider, ElementPropertiesAndPatterns) {
    Fixture f;
    ASSERT_TRUE(f.provider && f.text);
    SetFocus(f.w.hwnd());
    ProviderOptions options{};
    EXPECT_EQ(f.provider->get_ProviderOptions(&options), S_OK);
    EXPECT_EQ(options, 34);
    const struct {
        PROPERTYID id;
        VARTYPE vt;
        int value;  // VT_I4 and VT_BOOL (-1 true)
        const wchar_t* text;
    } rows[] = {
        {uia::kControlTypeProperty, VT_I4, 50030, nullptr},
        {uia::kHasKeyboardFocusProperty, VT_BOOL, GetFocus() == f.w.hwnd() ? -1 : 0, nullptr},
        {uia::kIsKeyboardFocusableProperty, VT_BOOL, -1, nullptr},
        {uia::kIsEnabledProperty, VT_BOOL, -1, nullptr},
        {uia::kClassNameProperty, VT_BSTR, 0, L"QuillEdit"},
        {uia::kIsPasswordProperty, VT_BOOL, 0, nullptr},
        {uia::kIsTextPatternAvailableProperty, VT_BOOL, -1, nullptr},
        {uia::kProviderDescriptionProperty, VT_BSTR, 0, L"QuillEdit text provider"},
        {30005 /* Name: the host's */, VT_EMPTY, 0, nullptr},
    };
    for (const auto& row : rows) {
        VARIANT v;
        ASSERT_EQ(f.provider->GetPropertyValue(row.id, &v), S_OK);
        EXPECT_EQ(v.vt, row.vt) << row.id;
        if (row.vt == VT_I4) {
            EXPECT_EQ(v.lVal, row.value) << row.id;
        } else if (row.vt == VT_BOOL) {
            EXPECT_EQ(v.boolVal, row.value) << row.id;
        } else if (row.vt == VT_BSTR) {
            EXPECT_STREQ(v.bstrVal, row.text) << row.id;
        }
        VariantClear(&v);
    }
    IUnknown* pattern = nullptr;
    EXPECT_EQ(f.provider->GetPatternProvider(10018 /* Value */, &pattern), S_OK);
    EXPECT_EQ(pattern, nullptr);
    ASSERT_EQ(f.provider->GetPatternProvider(uia::kTextPatternId, &pattern), S_OK);
    EXPECT_EQ(static_cast<void*>(pattern), static_cast<void*>(f.text));
    pattern->Release();
    IUnknown* other = nullptr;
    EXPECT_EQ(f.provider->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&other)), E_NOINTERFACE);
    int selection = 0;
    EXPECT_EQ(f.text->get_SupportedTextSelection(&selection), S_OK);
    EXPECT_EQ(selection, 1);
}

TEST(AccessProvider, RangesReadMoveFindAndSelect) {
    Fixture f;
    ASSERT_TRUE(f.text);
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "줄 " + std::to_string(i) + " Apple 사과\r\n";
    f.w.SetText(text);
    ITextRangeProvider* doc = f.Document();
    ASSERT_NE(doc, nullptr);

    // Move by line from the document: one line, then FindText inside it.
    int moved = 0;
    ITextRangeProvider* line = nullptr;
    ASSERT_EQ(doc->Clone(&line), S_OK);
    ASSERT_EQ(line->Move(kUnitLine, 2, &moved), S_OK);
    EXPECT_EQ(moved, 2);
    EXPECT_EQ(Text(line), L"줄 2 Apple 사과\r\n");
    ITextRangeProvider* found = nullptr;
    BSTR apple = SysAllocString(L"apple");
    EXPECT_EQ(line->FindText(apple, FALSE, FALSE, &found), S_OK);
    EXPECT_EQ(found, nullptr) << "match case";
    ASSERT_EQ(line->FindText(apple, TRUE, TRUE, &found), S_OK);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(Text(found), L"Apple");
    SysFreeString(apple);
    BSTR longer = SysAllocString(L"줄 2 Apple 사과\r\n줄");
    ITextRangeProvider* none = nullptr;
    EXPECT_EQ(line->FindText(longer, FALSE, TRUE, &none), S_OK);
    EXPECT_EQ(none, nullptr) << "longer than the range";
    EXPECT_EQ(line->FindText(nullptr, FALSE, TRUE, &none), S_OK);
    EXPECT_EQ(none, nullptr) << "empty text";
    SysFreeString(longer);

    // Endpoints against another range.
    int order = 0;
    EXPECT_EQ(found->CompareEndpoints(uia::kEndpointStart, line, uia::kEndpointStart, &order), S_OK);
    EXPECT_EQ(order, 1);
    EXPECT_EQ(found->MoveEndpointByRange(uia::kEndpointEnd, line, uia::kEndpointEnd), S_OK);
    EXPECT_EQ(Text(found), L"Apple 사과\r\n");
    BOOL same = FALSE;

    // Select makes it the editor's selection, and GetSelection hands it back.
    ASSERT_EQ(found->Select(), S_OK);
    View& v = f.w.view();
    const int64_t lineStart = f.w.doc().LineStart(2);
    EXPECT_EQ(v.Anchor(), lineStart + 6);
    EXPECT_EQ(v.Caret(), f.w.doc().LineStart(3));
    SAFEARRAY* array = nullptr;
    ASSERT_EQ(f.text->GetSelection(&array), S_OK);
    ITextRangeProvider* selected = OnlyRange(array);
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(selected->Compare(found, &same), S_OK);
    EXPECT_TRUE(same);

    // Scrolling: the start's line at the top, then the end into view.
    ITextRangeProvider* later = nullptr;
    ASSERT_EQ(doc->Clone(&later), S_OK);
    ASSERT_EQ(later->Move(kUnitLine, 60, &moved), S_OK);
    ASSERT_EQ(later->ScrollIntoView(TRUE), S_OK);
    EXPECT_EQ(v.FirstVisibleLine(), 60);
    ASSERT_EQ(line->ScrollIntoView(FALSE), S_OK);
    EXPECT_LE(v.FirstVisibleLine(), 3);

    // Rectangles: only the visible rows of the whole document, inside the window on the screen.
    RECT client{};
    GetClientRect(f.w.hwnd(), &client);
    MapWindowPoints(f.w.hwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    array = nullptr;
    ASSERT_EQ(doc->GetBoundingRectangles(&array), S_OK);
    LONG high = -1;
    SafeArrayGetUBound(array, 1, &high);
    const int rows = (200 + v.LineHeight() - 1) / v.LineHeight();
    EXPECT_EQ(high + 1, rows * 4);
    double* r = nullptr;
    ASSERT_EQ(SafeArrayAccessData(array, reinterpret_cast<void**>(&r)), S_OK);
    for (LONG i = 0; i + 3 <= high; i += 4) {
        EXPECT_GE(r[i], client.left);
        EXPECT_LE(r[i] + r[i + 2], client.right);
        EXPECT_EQ(r[i + 1], client.top + (i / 4) * v.LineHeight());
        EXPECT_GT(r[i + 2], 0);
    }
    SafeArrayUnaccessData(array);
    SafeArrayDestroy(array);

    // The visible range and a point on line 1 (the top row is line 0 again).
    array = nullptr;
    ASSERT_EQ(f.text->GetVisibleRanges(&array), S_OK);
    ITextRangeProvider* visible = OnlyRange(array);
    ASSERT_NE(visible, nullptr);
    EXPECT_EQ(Text(visible, 4), L"줄 0 ");
    EXPECT_EQ(Text(visible, 0), L"");
    ITextRangeProvider* point = nullptr;
    ASSERT_EQ(f.text->RangeFromPoint(
                  {double(client.left + v.TextLeft() + 1), double(client.top + v.LineHeight() + 1)}, &point),
              S_OK);
    ASSERT_EQ(point->ExpandToEnclosingUnit(kUnitLine), S_OK);
    EXPECT_EQ(Text(point), L"줄 1 Apple 사과\r\n");

    // Attributes of the default style.
    VARIANT value;
    ASSERT_EQ(doc->GetAttributeValue(uia::kFontSizeAttribute, &value), S_OK);
    EXPECT_EQ(value.vt, VT_R8);
    EXPECT_EQ(value.dblVal, v.GetStyle(kStyleDefault).size / 100.0);
    f.w.doc().SetReadOnly(true);
    ASSERT_EQ(doc->GetAttributeValue(uia::kIsReadOnlyAttribute, &value), S_OK);
    EXPECT_EQ(value.boolVal, VARIANT_TRUE);
    f.w.doc().SetReadOnly(false);
    ASSERT_EQ(doc->GetAttributeValue(40024 /* underline style */, &value), S_OK);
    EXPECT_EQ(value.vt, VT_UNKNOWN) << "the library's not-supported value";
    VariantClear(&value);

    for (ITextRangeProvider* range : {doc, line, found, selected, later, visible, point})
        range->Release();
}

// Every method with null output pointers, bad units and endpoints, and foreign ranges.
TEST(AccessProvider, BadArgumentsFailCleanly) {
    Fixture f;
    ASSERT_TRUE(f.text);
    f.w.SetText("abc");
    ITextRangeProvider* r = f.Document();
    int n = 0;
    BOOL same = FALSE;
    const uia::UiaPoint origin{0, 0};
    const std::vector<std::pair<const char*, std::function<HRESULT()>>> calls = {
        {"options", [&] { return f.provider->get_ProviderOptions(nullptr); }},
        {"pattern", [&] { return f.provider->GetPatternProvider(uia::kTextPatternId, nullptr); }},
        {"property", [&] { return f.provider->GetPropertyValue(uia::kControlTypeProperty, nullptr); }},
        {"host", [&] { return f.provider->get_HostRawElementProvider(nullptr); }},
        {"selection", [&] { return f.text->GetSelection(nullptr); }},
        {"visible", [&] { return f.text->GetVisibleRanges(nullptr); }},
        {"child", [&] { return f.text->RangeFromChild(f.provider, nullptr); }},
        {"point", [&] { return f.text->RangeFromPoint(origin, nullptr); }},
        {"document", [&] { return f.text->get_DocumentRange(nullptr); }},
        {"supported", [&] { return f.text->get_SupportedTextSelection(nullptr); }},
        {"clone", [&] { return r->Clone(nullptr); }},
        {"compare", [&] { return r->Compare(r, nullptr); }},
        {"compare null range", [&] { return r->Compare(nullptr, &same); }},
        {"endpoints", [&] { return r->CompareEndpoints(0, r, 1, nullptr); }},
        {"endpoint 2", [&] { return r->CompareEndpoints(2, r, 1, &n); }},
        {"expand unit 7", [&] { return r->ExpandToEnclosingUnit(7); }},
        {"expand unit -1", [&] { return r->ExpandToEnclosingUnit(-1); }},
        {"find attribute", [&] { return r->FindAttribute(40001, VARIANT{}, FALSE, nullptr); }},
        {"find text", [&] { return r->FindText(nullptr, FALSE, FALSE, nullptr); }},
        {"attribute", [&] { return r->GetAttributeValue(40001, nullptr); }},
        {"rectangles", [&] { return r->GetBoundingRectangles(nullptr); }},
        {"enclosing", [&] { return r->GetEnclosingElement(nullptr); }},
        {"text", [&] { return r->GetText(-1, nullptr); }},
        {"move", [&] { return r->Move(kUnitWord, 1, nullptr); }},
        {"move unit 99", [&] { return r->Move(99, 1, &n); }},
        {"move endpoint", [&] { return r->MoveEndpointByUnit(0, kUnitWord, 1, nullptr); }},
        {"move endpoint 5", [&] { return r->MoveEndpointByUnit(5, kUnitWord, 1, &n); }},
        {"by range", [&] { return r->MoveEndpointByRange(0, nullptr, 0); }},
        {"children", [&] { return r->GetChildren(nullptr); }},
    };
    for (const auto& [what, call] : calls)
        EXPECT_EQ(call(), E_INVALIDARG) << what;
    EXPECT_EQ(r->AddToSelection(), uia::kInvalidOperation);
    EXPECT_EQ(r->RemoveFromSelection(), uia::kInvalidOperation);

    // A range of another provider is refused.
    Fixture g;
    ITextRangeProvider* foreign = g.Document();
    EXPECT_EQ(r->CompareEndpoints(0, foreign, 0, &n), E_INVALIDARG);
    foreign->Release();
    r->Release();
}

// Ranges held across shrinking text, a document swap and the window's destruction.
TEST(AccessProvider, HeldRangesAfterEditsSwapsAndDestruction) {
    Fixture f;
    ASSERT_TRUE(f.text);
    f.w.SetText("한글 텍스트 abc");
    ITextRangeProvider* held = f.Document();
    f.w.doc().DeleteChars(3, f.w.doc().Length() - 3);
    EXPECT_EQ(Text(held), L"한") << "clamped to what is left";
    int moved = 0;
    EXPECT_EQ(held->Move(kUnitCharacter, INT_MAX, &moved), S_OK);

    // Another document: the old range fails, new ranges read the new text.
    Document* other = new Document();
    other->InsertString(0, "new", 3);
    f.w.view().SetDocument(other);
    BSTR text = nullptr;
    SAFEARRAY* rectangles = nullptr;
    ITextRangeProvider* range = nullptr;
    VARIANT value;
    std::vector<std::function<HRESULT()>> calls = {
        [&] { return held->GetText(-1, &text); },
        [&] { return held->Move(kUnitWord, 1, &moved); },
        [&] { return held->ExpandToEnclosingUnit(kUnitLine); },
        [&] { return held->Select(); },
        [&] { return held->ScrollIntoView(TRUE); },
        [&] { return held->GetBoundingRectangles(&rectangles); },
        [&] { return held->Clone(&range); },
    };
    for (size_t i = 0; i < calls.size(); ++i)
        EXPECT_EQ(calls[i](), uia::kElementNotAvailable) << "call " << i << " after the swap";
    ITextRangeProvider* fresh = f.Document();
    EXPECT_EQ(Text(fresh), L"new");
    int order = 0;
    EXPECT_EQ(fresh->CompareEndpoints(0, held, 0, &order), uia::kElementNotAvailable);

    // The window goes: provider and ranges fail and are released without touching the view.
    f.text->AddRef();
    ITextProvider* provider = f.text;
    DestroyWindow(GetParent(f.w.hwnd()));
    calls.push_back([&] { return fresh->Move(kUnitCharacter, 1, &moved); });
    calls.push_back([&] { return provider->get_DocumentRange(&range); });
    calls.push_back([&] { return f.provider->GetPropertyValue(uia::kControlTypeProperty, &value); });
    for (size_t i = 0; i < calls.size(); ++i)
        EXPECT_EQ(calls[i](), uia::kElementNotAvailable) << "call " << i << " after destruction";
    held->Release();
    fresh->Release();
    EXPECT_EQ(provider->Release(), 1u) << "the fixture's reference is the last";
}

// Clients may release ranges from any thread: counts stay exact while the window's thread edits.
TEST(AccessProvider, ReleaseFromAnotherThreadWhileEditing) {
    Fixture f;
    ASSERT_TRUE(f.text);
    std::vector<ITextRangeProvider*> ranges;
    for (int i = 0; i < 4000; ++i)
        ranges.push_back(f.Document());
    std::thread releaser([&] {
        for (ITextRangeProvider* r : ranges)
            r->Release();
    });
    for (int i = 0; i < 2000; ++i)
        f.w.view().TypeText("가");
    releaser.join();
    f.provider->AddRef();
    EXPECT_EQ(f.provider->Release(), 2u) << "the view's and the fixture's references only";
}

// ---- events through fakes of the two looked-up functions ----------------------------------------

struct EventLog {
    static inline bool listening = false;
    static inline int asked = 0;
    static inline std::vector<int> raised;
    static BOOL WINAPI Listening() {
        ++asked;
        return listening;
    }
    static HRESULT WINAPI Raise(IRawElementProviderSimple*, int id) {
        raised.push_back(id);
        return S_OK;
    }
};

TEST(AccessProvider, EventsOnlyWhileAClientListens) {
    Fixture f;
    ASSERT_TRUE(f.provider);
    UiaLibrary* library = f.provider->library();
    const UiaLibrary saved = *library;
    library->clientsListening = &EventLog::Listening;
    library->raiseEvent = &EventLog::Raise;
    View& v = f.w.view();
    EventLog::listening = false;
    v.TypeText("ab");
    EXPECT_GT(EventLog::asked, 0);
    EXPECT_TRUE(EventLog::raised.empty());
    EventLog::listening = true;
    v.TypeText("c");
    EXPECT_EQ(EventLog::raised, (std::vector<int>{20015, 20014})) << "text, then the caret that moved";
    EventLog::raised.clear();
    v.SetSelection(0, 2);
    v.SetSelection(0, 2);
    EXPECT_EQ(EventLog::raised, (std::vector<int>{20014})) << "once per change";
    EventLog::raised.clear();
    v.ScrollToRow(0);
    EXPECT_TRUE(EventLog::raised.empty()) << "scrolling changes neither";
    *library = saved;
}

}  // namespace
}  // namespace quill
