#include "edit/access_provider_win.h"

#include <oleauto.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <type_traits>
#include <string>
#include <vector>

#include "edit/search.h"
#include "files/code_page.h"
#include "files/system_library_win.h"

namespace quill {
namespace {

using uia::ITextRangeProvider;

// Answered only by this file's ranges, so that a range a client passes back can be recognised
// (it may be another provider's, or a proxy).
constexpr GUID kIidOwnRange = {0x6f1c2a58, 0x3b0e, 0x4d8e, {0x9a, 0x61, 0x2c, 0x7e, 0x15, 0xd4, 0x80, 0x3b}};

// The automation library's string and array functions, bound when a client first asks (its own
// library loads this one anyway) rather than imported, so that no start-up pays for loading it.
template <typename Function>
Function Ole(const char* name) {
    return lumen::SystemFunction<Function>(L"oleaut32.dll", name);
}

BSTR OleAllocString(const OLECHAR* text, UINT length) {
    static const auto f = Ole<decltype(&SysAllocStringLen)>("SysAllocStringLen");
    return f ? f(text, length) : nullptr;
}
UINT OleStringLength(BSTR text) {
    static const auto f = Ole<decltype(&SysStringLen)>("SysStringLen");
    return f ? f(text) : 0;
}
SAFEARRAY* OleCreateVector(VARTYPE type, LONG lower, ULONG count) {
    static const auto f = Ole<decltype(&SafeArrayCreateVector)>("SafeArrayCreateVector");
    return f ? f(type, lower, count) : nullptr;
}
HRESULT OleAccessData(SAFEARRAY* array, void** data) {
    static const auto f = Ole<decltype(&SafeArrayAccessData)>("SafeArrayAccessData");
    return f ? f(array, data) : E_FAIL;
}
HRESULT OleUnaccessData(SAFEARRAY* array) {
    static const auto f = Ole<decltype(&SafeArrayUnaccessData)>("SafeArrayUnaccessData");
    return f ? f(array) : E_FAIL;
}
HRESULT OlePutElement(SAFEARRAY* array, LONG* index, void* value) {
    static const auto f = Ole<decltype(&SafeArrayPutElement)>("SafeArrayPutElement");
    return f ? f(array, index, value) : E_FAIL;
}
HRESULT OleDestroyArray(SAFEARRAY* array) {
    static const auto f = Ole<decltype(&SafeArrayDestroy)>("SafeArrayDestroy");
    return f ? f(array) : E_FAIL;
}
void ClearVariant(VARIANT* v) {
    *v = VARIANT{};  // VT_EMPTY
}

HRESULT StoreBstr(const std::wstring& text, BSTR* out) {
    *out = OleAllocString(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// Converts the bytes straight into the string handed out: a whole 10 MB document is converted once,
// with no intermediate copy of its UTF-16 text.
HRESULT StoreWholeText(Document& doc, TextSpan bytes, BSTR* out) {
    const int64_t length = bytes.end - bytes.start;
    if (length <= 0) return StoreBstr(std::wstring(), out);
    if (length > INT32_MAX) return E_OUTOFMEMORY;
    const char* text = doc.RangePointer(bytes.start, length);
    const int n = static_cast<int>(length);
    const int units = MultiByteToWideChar(CP_UTF8, 0, text, n, nullptr, 0);
    *out = units > 0 ? OleAllocString(nullptr, static_cast<UINT>(units)) : nullptr;
    if (!*out) return E_OUTOFMEMORY;
    MultiByteToWideChar(CP_UTF8, 0, text, n, *out, units);
    return S_OK;
}

void SetBool(VARIANT* v, bool value) {
    v->vt = VT_BOOL;
    v->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void SetInt(VARIANT* v, int32_t value) {
    v->vt = VT_I4;
    v->lVal = value;
}

HRESULT SetString(VARIANT* v, const std::wstring& text) {
    BSTR s = nullptr;
    if (FAILED(StoreBstr(text, &s))) return E_OUTOFMEMORY;
    v->vt = VT_BSTR;
    v->bstrVal = s;
    return S_OK;
}

class Range final : public ITextRangeProvider {
public:
    Range(Provider* provider, TextSpan span)
        : provider_(provider), span_(span), serial_(provider->DocumentSerial()) {
        provider_->AddRef();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, uia::kIidTextRangeProvider) ||
            IsEqualIID(iid, kIidOwnRange)) {
            *out = static_cast<ITextRangeProvider*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE Clone(ITextRangeProvider** result) override {
        if (!result) return E_INVALIDARG;
        *result = nullptr;
        if (!Live()) return uia::kElementNotAvailable;
        return Make(span_, result);
    }

    HRESULT STDMETHODCALLTYPE Compare(ITextRangeProvider* range, BOOL* result) override {
        if (!result || !range) return E_INVALIDARG;
        *result = FALSE;
        Range* other = nullptr;
        const HRESULT hr = Other(range, &other);
        if (FAILED(hr)) return hr;
        const Document& doc = *Live()->GetDocument();
        *result = ClampSpan(doc, span_) == ClampSpan(doc, other->span_);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE CompareEndpoints(int endpoint, ITextRangeProvider* target, int targetEndpoint,
                                               int* result) override {
        if (!result || !target || !IsEndpoint(endpoint) || !IsEndpoint(targetEndpoint)) return E_INVALIDARG;
        *result = 0;
        Range* other = nullptr;
        const HRESULT hr = Other(target, &other);
        if (FAILED(hr)) return hr;
        const Document& doc = *Live()->GetDocument();
        const int64_t a = Endpoint(ClampSpan(doc, span_), endpoint);
        const int64_t b = Endpoint(ClampSpan(doc, other->span_), targetEndpoint);
        *result = a < b ? -1 : a > b ? 1 : 0;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE ExpandToEnclosingUnit(int unit) override {
        if (!IsTextUnit(unit)) return E_INVALIDARG;
        View* view = Live();
        if (!view) return uia::kElementNotAvailable;
        span_ = ExpandToUnit(*view->GetDocument(), unit, span_);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE FindAttribute(int, VARIANT, BOOL, ITextRangeProvider** result) override {
        if (!result) return E_INVALIDARG;
        *result = nullptr;
        return Live() ? S_OK : uia::kElementNotAvailable;
    }

    HRESULT STDMETHODCALLTYPE FindText(BSTR text, BOOL backward, BOOL ignoreCase,
                                       ITextRangeProvider** result) override {
        if (!result) return E_INVALIDARG;
        *result = nullptr;
        View* view = Live();
        if (!view) return uia::kElementNotAvailable;
        const std::string needle =
            lumen::WideToUtf8(std::wstring_view(text ? text : L"", OleStringLength(text)));
        if (needle.empty()) return S_OK;
        Document& doc = *view->GetDocument();
        const TextSpan s = ClampSpan(doc, span_);
        int64_t matchEnd = 0;
        const int64_t found = quill::FindText(doc, backward ? s.end : s.start, backward ? s.start : s.end,
                                              needle.data(), static_cast<int64_t>(needle.size()),
                                              ignoreCase ? 0 : SCFIND_MATCHCASE, &matchEnd);
        if (found < 0) return S_OK;
        return Make({found, matchEnd}, result);
    }

    HRESULT STDMETHODCALLTYPE GetAttributeValue(int attribute, VARIANT* result) override {
        if (!result) return E_INVALIDARG;
        ClearVariant(result);
        View* view = Live();
        if (!view) return uia::kElementNotAvailable;
        const Style& style = view->GetStyle(kStyleDefault);
        switch (attribute) {
            case uia::kBackgroundColorAttribute:
                SetInt(result, static_cast<int32_t>(style.back));
                return S_OK;
            case uia::kForegroundColorAttribute:
                SetInt(result, static_cast<int32_t>(style.fore));
                return S_OK;
            case uia::kFontNameAttribute:
                return SetString(result, style.face);
            case uia::kFontSizeAttribute:
                result->vt = VT_R8;
                result->dblVal = style.size / 100.0;
                return S_OK;
            case uia::kIsReadOnlyAttribute:
                SetBool(result, view->GetDocument()->IsReadOnly());
                return S_OK;
            default: {
                IUnknown* notSupported = nullptr;
                if (FAILED(provider_->library()->notSupported(&notSupported)) || !notSupported) return S_OK;
                notSupported->AddRef();  // the variant's own reference, released by VariantClear
                result->vt = VT_UNKNOWN;
                result->punkVal = notSupported;
                return S_OK;
            }
        }
    }

    HRESULT STDMETHODCALLTYPE GetBoundingRectangles(SAFEARRAY** result) override {
        if (!result) return E_INVALIDARG;
        *result = nullptr;
        View* view = Live();
        if (!view) return uia::kElementNotAvailable;
        const std::vector<double> rects = VisibleRectangles(*view);
        SAFEARRAY* array = OleCreateVector(VT_R8, 0, static_cast<ULONG>(rects.size()));
        if (!array) return E_OUTOFMEMORY;
        double* data = nullptr;
        if (FAILED(OleAccessData(array, reinterpret_cast<void**>(&data)))) {
            OleDestroyArray(array);
            return E_OUTOFMEMORY;
        }
        std::copy(rects.begin(), rects.end(), data);
        OleUnaccessData(array);
        *result = array;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetEnclosingElement(IRawElementProviderSimple** result) override {
        if (!result) return E_INVALIDARG;
        *result = nullptr;
        if (!Live()) return uia::kElementNotAvailable;
        provider_->AddRef();
        *result = provider_;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetText(int maxLength, BSTR* result) override {
        if (!result) return E_INVALIDARG;
        *result = nullptr;
        View* view = Live();
        if (!view) return uia::kElementNotAvailable;
        Document& doc = *view->GetDocument();
        if (maxLength >= 0) return StoreBstr(SpanText(doc, span_, maxLength), result);
        return StoreWholeText(doc, SpanTextBytes(doc, span_, -1), result);
    }

    HRESULT STDMETHODCALLTYPE Move(int unit, int count, int* result) override {
        if (!result || !IsTextUnit(unit)) return E_INVALIDARG;
        *result = 0;
        View* view = Live();
        if (!view) return uia::kElementNotAvailable;
        *result = MoveSpan(*view->GetDocument(), unit, &span_, count);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE MoveEndpointByUnit(int endpoint, int unit, int count, int* result) override {
        if (!result || !IsTextUnit(unit) || !IsEndpoint(endpoint)) return E_INVALIDARG;
        *result = 0;
        View* view = Live();
        if (!view) return uia::kElementNotAvailable;
        *result = MoveSpanEndpoint(*view->GetDocument(), unit, &span_, endpoint == uia::kEndpointEnd, count);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE MoveEndpointByRange(int endpoint, ITextRangeProvider* target,
                                                  int targetEndpoint) override {
        if (!target || !IsEndpoint(endpoint) || !IsEndpoint(targetEndpoint)) return E_INVALIDARG;
        Range* other = nullptr;
        const HRESULT hr = Other(target, &other);
        if (FAILED(hr)) return hr;
        const Document& doc = *Live()->GetDocument();
        TextSpan s = ClampSpan(doc, span_);
        SetSpanEndpoint(&s, endpoint == uia::kEndpointEnd,
                        Endpoint(ClampSpan(doc, other->span_), targetEndpoint));
        span_ = s;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Select() override {
        View* view = Live();
        if (!view) return uia::kElementNotAvailable;
        view->CompleteComposition();
        const TextSpan s = ClampSpan(*view->GetDocument(), span_);
        view->SetSelection(s.start, s.end);
        view->ScrollRange(s.start, s.end);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE AddToSelection() override { return uia::kInvalidOperation; }
    HRESULT STDMETHODCALLTYPE RemoveFromSelection() override { return uia::kInvalidOperation; }

    HRESULT STDMETHODCALLTYPE ScrollIntoView(BOOL alignToTop) override {
        View* view = Live();
        if (!view) return uia::kElementNotAvailable;
        const TextSpan s = ClampSpan(*view->GetDocument(), span_);
        if (alignToTop) {
            view->ScrollToRow(view->DisplayRowOfPosition(s.start));
        } else {
            view->ScrollCaretIntoView(s.end, false);
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetChildren(SAFEARRAY** result) override {
        if (!result) return E_INVALIDARG;
        *result = nullptr;
        if (!Live()) return uia::kElementNotAvailable;
        *result = OleCreateVector(VT_UNKNOWN, 0, 0);
        return *result ? S_OK : E_OUTOFMEMORY;
    }

private:
    ~Range() { provider_->Release(); }

    static bool IsEndpoint(int endpoint) {
        return endpoint == uia::kEndpointStart || endpoint == uia::kEndpointEnd;
    }
    static int64_t Endpoint(TextSpan s, int endpoint) {
        return endpoint == uia::kEndpointEnd ? s.end : s.start;
    }

    // The view while the range's document is still the one shown, else null.
    View* Live() const {
        View* view = provider_->view();
        return view && provider_->DocumentSerial() == serial_ ? view : nullptr;
    }

    HRESULT Make(TextSpan span, ITextRangeProvider** result) {
        auto* range = new (std::nothrow) Range(provider_, span);
        if (!range) return E_OUTOFMEMORY;
        *result = range;
        return S_OK;
    }

    // A live range of the same provider and document as this one (borrowed from `range`).
    HRESULT Other(ITextRangeProvider* range, Range** other) {
        if (!Live()) return uia::kElementNotAvailable;
        void* own = nullptr;
        if (FAILED(range->QueryInterface(kIidOwnRange, &own)) || !own) return E_INVALIDARG;
        auto* r = static_cast<Range*>(static_cast<ITextRangeProvider*>(own));
        r->Release();  // still held by the caller
        if (r->provider_ != provider_) return E_INVALIDARG;
        if (!r->Live()) return uia::kElementNotAvailable;
        *other = r;
        return S_OK;
    }

    // Left, top, width, height in screen pixels for each visible display row the range touches.
    std::vector<double> VisibleRectangles(View& view) {
        Document& doc = *view.GetDocument();
        const TextSpan s = ClampSpan(doc, span_);
        const int64_t lineHeight = std::max(1, view.LineHeight());
        const int64_t top = view.TopRow();
        const int64_t bottom = top + (view.ClientHeight() + lineHeight - 1) / lineHeight - 1;
        const int64_t first = std::max(view.DisplayRowOfPosition(s.start), top);
        const int64_t last = std::min(view.DisplayRowOfPosition(s.end), bottom);
        POINT origin{0, 0};
        ClientToScreen(provider_->hwnd(), &origin);
        const int32_t textLeft = view.TextLeft(), right = std::max(textLeft, view.ClientWidth());
        std::vector<double> out;
        for (int64_t row = first; row <= last; ++row) {
            int64_t line = 0;
            int32_t rowInLine = 0;
            const LineLayout& l = view.LayoutOfRow(row, &line, &rowInLine);
            const int64_t lineStart = doc.LineStart(line);
            const uint32_t rs = l.RowStart(rowInLine), re = l.RowEnd(rowInLine);
            // A range that only reaches the start of a row does not show on it.
            if (s.start < s.end && s.end <= lineStart + l.offsets[rs]) continue;
            auto unitAt = [&](int64_t p) {
                const uint32_t u = p <= lineStart ? 0u
                                   : p >= lineStart + l.lineLength
                                       ? static_cast<uint32_t>(l.Units())
                                       : l.UnitOfOffset(static_cast<uint32_t>(p - lineStart));
                return std::clamp(u, rs, re);
            };
            const int32_t x0 = textLeft - view.XOffset() - l.xs[rs];
            const int32_t left = std::clamp(x0 + l.xs[unitAt(s.start)], textLeft, right);
            const int32_t rightX = std::clamp(x0 + l.xs[unitAt(s.end)], textLeft, right);
            out.insert(out.end(), {double(origin.x + left), double(origin.y + (row - top) * lineHeight),
                                   double(std::max(0, rightX - left)), double(lineHeight)});
        }
        return out;
    }

    std::atomic<ULONG> refs_{1};
    Provider* provider_;
    TextSpan span_;
    const uint32_t serial_;
};

}  // namespace

// ---- the library ----------------------------------------------------------------------------------

UiaLibrary* LoadUiaLibrary() {
    static UiaLibrary library;
    static const bool available = [] {
        HMODULE module = LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!module) return false;
        auto find = [module](auto* slot, const char* name) {
            *slot = reinterpret_cast<std::remove_reference_t<decltype(*slot)>>(
                reinterpret_cast<void*>(GetProcAddress(module, name)));
            return *slot != nullptr;
        };
        find(&library.disconnect, "UiaDisconnectProvider");
        return find(&library.returnProvider, "UiaReturnRawElementProvider") &&
               find(&library.hostFromHwnd, "UiaHostProviderFromHwnd") &&
               find(&library.raiseEvent, "UiaRaiseAutomationEvent") &&
               find(&library.clientsListening, "UiaClientsAreListening") &&
               find(&library.notSupported, "UiaGetReservedNotSupportedValue");
    }();
    return available ? &library : nullptr;
}

// ---- Provider -------------------------------------------------------------------------------------

Provider::Provider(View* view, HWND hwnd, UiaLibrary* library)
    : view_(view), hwnd_(hwnd), library_(library) {}

HRESULT Provider::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, uia::kIidRawElementProviderSimple)) {
        *out = static_cast<IRawElementProviderSimple*>(this);
    } else if (IsEqualIID(iid, uia::kIidTextProvider)) {
        *out = static_cast<uia::ITextProvider*>(this);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG Provider::AddRef() {
    return refs_.fetch_add(1, std::memory_order_relaxed) + 1;
}

ULONG Provider::Release() {
    const ULONG left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
}

HRESULT Provider::get_ProviderOptions(ProviderOptions* result) {
    if (!result) return E_INVALIDARG;
    *result = static_cast<ProviderOptions>(uia::kProviderOptions);
    return view_ ? S_OK : uia::kElementNotAvailable;
}

HRESULT Provider::GetPatternProvider(PATTERNID pattern, IUnknown** result) {
    if (!result) return E_INVALIDARG;
    *result = nullptr;
    if (!view_) return uia::kElementNotAvailable;
    if (pattern == uia::kTextPatternId) {
        AddRef();
        *result = static_cast<uia::ITextProvider*>(this);
    }
    return S_OK;
}

HRESULT Provider::GetPropertyValue(PROPERTYID property, VARIANT* result) {
    if (!result) return E_INVALIDARG;
    ClearVariant(result);
    if (!view_) return uia::kElementNotAvailable;
    switch (property) {
        case uia::kControlTypeProperty:
            SetInt(result, uia::kDocumentControlType);
            return S_OK;
        case uia::kHasKeyboardFocusProperty:
            SetBool(result, GetFocus() == hwnd_);
            return S_OK;
        case uia::kIsKeyboardFocusableProperty:
        case uia::kIsTextPatternAvailableProperty:
            SetBool(result, true);
            return S_OK;
        case uia::kIsEnabledProperty:
            SetBool(result, IsWindowEnabled(hwnd_) != FALSE);
            return S_OK;
        case uia::kIsPasswordProperty:
            SetBool(result, false);
            return S_OK;
        case uia::kClassNameProperty:
            return SetString(result, L"QuillEdit");
        case uia::kProviderDescriptionProperty:
            return SetString(result, L"QuillEdit text provider");
        default:
            return S_OK;  // left empty: the host provider answers
    }
}

HRESULT Provider::get_HostRawElementProvider(IRawElementProviderSimple** result) {
    if (!result) return E_INVALIDARG;
    *result = nullptr;
    if (!view_) return uia::kElementNotAvailable;
    return library_->hostFromHwnd(hwnd_, result);
}

HRESULT Provider::MakeRange(TextSpan span, ITextRangeProvider** result) {
    auto* range = new (std::nothrow) Range(this, span);
    if (!range) return E_OUTOFMEMORY;
    *result = range;
    return S_OK;
}

HRESULT Provider::RangeArray(TextSpan span, SAFEARRAY** result) {
    ITextRangeProvider* range = nullptr;
    if (FAILED(MakeRange(span, &range))) return E_OUTOFMEMORY;
    SAFEARRAY* array = OleCreateVector(VT_UNKNOWN, 0, 1);
    LONG index = 0;
    if (!array || FAILED(OlePutElement(array, &index, range))) {
        if (array) OleDestroyArray(array);
        range->Release();
        return E_OUTOFMEMORY;
    }
    range->Release();  // the array holds it now
    *result = array;
    return S_OK;
}

HRESULT Provider::GetSelection(SAFEARRAY** result) {
    if (!result) return E_INVALIDARG;
    *result = nullptr;
    if (!view_) return uia::kElementNotAvailable;
    return RangeArray({view_->SelectionStart(), view_->SelectionEnd()}, result);
}

HRESULT Provider::GetVisibleRanges(SAFEARRAY** result) {
    if (!result) return E_INVALIDARG;
    *result = nullptr;
    if (!view_) return uia::kElementNotAvailable;
    const int64_t start = view_->PositionFromPoint(view_->TextLeft(), 0);
    const int64_t end = view_->PositionFromPoint(std::max(0, view_->ClientWidth() - 1),
                                                 std::max(0, view_->ClientHeight() - 1));
    return RangeArray({start, std::max(start, end)}, result);
}

HRESULT Provider::RangeFromChild(IRawElementProviderSimple*, ITextRangeProvider** result) {
    if (result) *result = nullptr;
    return E_INVALIDARG;
}

HRESULT Provider::RangeFromPoint(uia::UiaPoint point, ITextRangeProvider** result) {
    if (!result) return E_INVALIDARG;
    *result = nullptr;
    if (!view_) return uia::kElementNotAvailable;
    if (!std::isfinite(point.x) || !std::isfinite(point.y)) return E_INVALIDARG;
    POINT p{static_cast<LONG>(std::lround(std::clamp(point.x, -1e9, 1e9))),
            static_cast<LONG>(std::lround(std::clamp(point.y, -1e9, 1e9)))};
    ScreenToClient(hwnd_, &p);
    const int64_t position = view_->PositionFromPoint(p.x, p.y);
    return MakeRange({position, position}, result);
}

HRESULT Provider::get_DocumentRange(ITextRangeProvider** result) {
    if (!result) return E_INVALIDARG;
    *result = nullptr;
    if (!view_) return uia::kElementNotAvailable;
    return MakeRange({0, view_->GetDocument()->Length()}, result);
}

HRESULT Provider::get_SupportedTextSelection(int* result) {
    if (!result) return E_INVALIDARG;
    *result = uia::kSupportedTextSelectionSingle;
    return view_ ? S_OK : uia::kElementNotAvailable;
}

void Provider::Raise(int event) {
    if (library_->clientsListening()) library_->raiseEvent(this, event);
}

void Provider::TextChanged() {
    Raise(uia::kTextChangedEvent);
}

void Provider::SelectionChanged() {
    Raise(uia::kTextSelectionChangedEvent);
}

void Provider::ViewGone() {
    view_ = nullptr;
    if (library_->disconnect) library_->disconnect(this);
    Release();
}

// ---- the window's side ----------------------------------------------------------------------------

Provider* ProviderOf(View& view, HWND hwnd) {
    if (auto* existing = static_cast<Provider*>(view.GetAccessibilityListener())) return existing;
    UiaLibrary* library = LoadUiaLibrary();
    if (!library) return nullptr;
    auto* provider = new (std::nothrow) Provider(&view, hwnd, library);
    if (provider) view.SetAccessibilityListener(provider);
    return provider;
}

bool AnswerGetObject(View& view, HWND hwnd, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (static_cast<LONG>(lParam) != uia::kRootObjectId) return false;
    Provider* provider = ProviderOf(view, hwnd);
    if (!provider) return false;
    // A client in another process (every screen reader) reaches the provider through COM, which the
    // window's thread must have joined; a thread that already has keeps its apartment. Bound here, so
    // that a start-up without a client never loads the library.
    static thread_local const bool joined = [] {
        static const auto initialize =
            lumen::SystemFunction<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
        return initialize && SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
    }();
    (void)joined;
    *result = provider->library()->returnProvider(hwnd, wParam, lParam, provider);
    return *result != 0;
}

}  // namespace quill
