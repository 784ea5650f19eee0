// The parts of UI Automation's provider interface that MinGW-w64's headers lack (its
// uiautomationcoreapi.h does not compile as C++): the Text pattern's two interfaces, the ids the
// editor's provider answers, and the signatures of the core library's entry points, which are
// looked up by name at run time. Values are the public Windows SDK ones.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <uiautomationcore.h>

// The Text pattern's method FindText, not commdlg.h's macro.
#undef FindText

namespace quill::uia {

inline constexpr LONG kRootObjectId = -25;

inline constexpr HRESULT kElementNotAvailable = static_cast<HRESULT>(0x80040201);
inline constexpr HRESULT kInvalidOperation = static_cast<HRESULT>(0x80131509);

inline constexpr int kProviderOptions = 0x2 | 0x20;  // server side, COM threading

inline constexpr PATTERNID kTextPatternId = 10014;

inline constexpr PROPERTYID kControlTypeProperty = 30003;
inline constexpr PROPERTYID kHasKeyboardFocusProperty = 30008;
inline constexpr PROPERTYID kIsKeyboardFocusableProperty = 30009;
inline constexpr PROPERTYID kIsEnabledProperty = 30010;
inline constexpr PROPERTYID kClassNameProperty = 30012;
inline constexpr PROPERTYID kIsPasswordProperty = 30019;
inline constexpr PROPERTYID kIsTextPatternAvailableProperty = 30040;
inline constexpr PROPERTYID kProviderDescriptionProperty = 30107;
inline constexpr int kDocumentControlType = 50030;

inline constexpr int kBackgroundColorAttribute = 40001;
inline constexpr int kFontNameAttribute = 40005;
inline constexpr int kFontSizeAttribute = 40006;
inline constexpr int kForegroundColorAttribute = 40008;
inline constexpr int kIsReadOnlyAttribute = 40015;

inline constexpr int kTextSelectionChangedEvent = 20014;
inline constexpr int kTextChangedEvent = 20015;

inline constexpr int kSupportedTextSelectionSingle = 1;
inline constexpr int kEndpointStart = 0;
inline constexpr int kEndpointEnd = 1;

struct UiaPoint {
    double x;
    double y;
};

inline constexpr GUID kIidTextProvider = {
    0x3589c92c, 0x63f3, 0x4367, {0x99, 0xbb, 0xad, 0xa6, 0x53, 0xb7, 0x7c, 0xf2}};
inline constexpr GUID kIidTextRangeProvider = {
    0x5347ad7b, 0xc355, 0x46f8, {0xaf, 0xf5, 0x90, 0x90, 0x33, 0x58, 0x2f, 0x63}};
inline constexpr GUID kIidRawElementProviderSimple = {
    0xd6dd68d1, 0x86fd, 0x4332, {0x86, 0x66, 0x9a, 0xbe, 0xde, 0xa2, 0xd2, 0x4c}};

struct ITextRangeProvider;

// In the order of the system's vtables.
struct ITextProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVisibleRanges(SAFEARRAY** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE RangeFromChild(IRawElementProviderSimple* child,
                                                     ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE RangeFromPoint(UiaPoint point, ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DocumentRange(ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_SupportedTextSelection(int* result) = 0;
};

struct ITextRangeProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Clone(ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Compare(ITextRangeProvider* range, BOOL* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE CompareEndpoints(int endpoint, ITextRangeProvider* target,
                                                       int targetEndpoint, int* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE ExpandToEnclosingUnit(int unit) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindAttribute(int attribute, VARIANT value, BOOL backward,
                                                    ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindText(BSTR text, BOOL backward, BOOL ignoreCase,
                                               ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAttributeValue(int attribute, VARIANT* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBoundingRectangles(SAFEARRAY** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEnclosingElement(IRawElementProviderSimple** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetText(int maxLength, BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Move(int unit, int count, int* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveEndpointByUnit(int endpoint, int unit, int count, int* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveEndpointByRange(int endpoint, ITextRangeProvider* target,
                                                          int targetEndpoint) = 0;
    virtual HRESULT STDMETHODCALLTYPE Select() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddToSelection() = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveFromSelection() = 0;
    virtual HRESULT STDMETHODCALLTYPE ScrollIntoView(BOOL alignToTop) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetChildren(SAFEARRAY** result) = 0;
};

// Entry points of uiautomationcore.dll.
using ReturnRawElementProviderFn = LRESULT(WINAPI*)(HWND, WPARAM, LPARAM, IRawElementProviderSimple*);
using HostProviderFromHwndFn = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);
using RaiseAutomationEventFn = HRESULT(WINAPI*)(IRawElementProviderSimple*, int);
using ClientsAreListeningFn = BOOL(WINAPI*)();
using GetReservedNotSupportedValueFn = HRESULT(WINAPI*)(IUnknown**);
using DisconnectProviderFn = HRESULT(WINAPI*)(IRawElementProviderSimple*);

}  // namespace quill::uia
