// The editor's UI Automation provider: `Provider`, the document element with the Text pattern, and
// `Range`, a text range of it. Both are COM objects whose reference counts may change on any thread;
// every other call arrives on the window's thread (the provider asks for COM threading).
//
// Lifetime: the view holds one reference to its provider, made on the first UI Automation request.
// When the view is destroyed the provider forgets it, and the provider and every range kept by a
// client then fail with UIA_E_ELEMENTNOTAVAILABLE; they never touch the view or its documents again.
//
// Document swaps (tabs): a range belongs to the document shown when it was made. Once the view shows
// another document, the range fails with UIA_E_ELEMENTNOTAVAILABLE, also after the old document
// comes back, rather than read or select positions in a text they were never meant for. The provider
// itself stays valid and hands out ranges of the new document.
//
// Range positions are byte positions in the UTF-8 document; the arithmetic is in text_units.h.
#pragma once

#include <windows.h>

#include <atomic>

#include "edit/text_units.h"
#include "edit/uia_win.h"
#include "edit/view.h"

namespace quill {

// The entry points of uiautomationcore.dll, loaded from the system folder on the first request and
// kept for the process. Events go through `raiseEvent` and `clientsListening`, which tests replace.
struct UiaLibrary {
    uia::ReturnRawElementProviderFn returnProvider = nullptr;
    uia::HostProviderFromHwndFn hostFromHwnd = nullptr;
    uia::RaiseAutomationEventFn raiseEvent = nullptr;
    uia::ClientsAreListeningFn clientsListening = nullptr;
    uia::GetReservedNotSupportedValueFn notSupported = nullptr;
    uia::DisconnectProviderFn disconnect = nullptr;  // may be missing
};
// Null when the library or one of the required entry points is missing. Window thread only.
UiaLibrary* LoadUiaLibrary();

class Provider final : public IRawElementProviderSimple,
                       public uia::ITextProvider,
                       public AccessibilityListener {
public:
    Provider(View* view, HWND hwnd, UiaLibrary* library);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IRawElementProviderSimple
    HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* result) override;
    HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID pattern, IUnknown** result) override;
    HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID property, VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** result) override;
    // ITextProvider
    HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY** result) override;
    HRESULT STDMETHODCALLTYPE GetVisibleRanges(SAFEARRAY** result) override;
    HRESULT STDMETHODCALLTYPE RangeFromChild(IRawElementProviderSimple* child,
                                             uia::ITextRangeProvider** result) override;
    HRESULT STDMETHODCALLTYPE RangeFromPoint(uia::UiaPoint point, uia::ITextRangeProvider** result) override;
    HRESULT STDMETHODCALLTYPE get_DocumentRange(uia::ITextRangeProvider** result) override;
    HRESULT STDMETHODCALLTYPE get_SupportedTextSelection(int* result) override;
    // AccessibilityListener
    void TextChanged() override;
    void SelectionChanged() override;
    void DocumentSwapped() override { ++documentSerial_; }
    void ViewGone() override;

    // Null once the view is gone.
    View* view() const { return view_; }
    HWND hwnd() const { return hwnd_; }
    UiaLibrary* library() const { return library_; }
    uint32_t DocumentSerial() const { return documentSerial_; }

private:
    ~Provider() = default;
    void Raise(int event);
    // A new range of the shown document in *result, or E_OUTOFMEMORY.
    HRESULT MakeRange(TextSpan span, uia::ITextRangeProvider** result);
    // A one-element array holding a new range (whose creation reference the array takes over).
    HRESULT RangeArray(TextSpan span, SAFEARRAY** result);

    std::atomic<ULONG> refs_{1};
    View* view_;
    HWND hwnd_;
    UiaLibrary* library_;
    uint32_t documentSerial_ = 0;
};

// The view's provider, made (with the view's reference) on first use; null when UI Automation is
// unavailable. No reference is added for the caller.
Provider* ProviderOf(View& view, HWND hwnd);

// WM_GETOBJECT: answers the UI Automation root id with the provider; false leaves the message to the
// default handling.
bool AnswerGetObject(View& view, HWND hwnd, WPARAM wParam, LPARAM lParam, LRESULT* result);

}  // namespace quill
