// The small commands about the view and the window: zoom, word wrap, focus mode, the time and date,
// web search. The text rules of web search are pure functions here; the rest acts on the window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumen {

struct App;

// Selections longer than this many bytes, or this many UTF-16 units and more, are not searched.
inline constexpr int64_t kWebSearchMaxBytes = 8000;
inline constexpr size_t kWebSearchMaxUnits = 2000;

// A query string's percent-encoding of UTF-8 bytes: A-Z, a-z, 0-9, '-', '.', '_' and '~' stay,
// a space becomes '+', every other byte "%XX" with upper-case hexadecimal digits.
std::string PercentEncodeQuery(std::string_view utf8);

// The encoded query for a selected text (UTF-16): CR, LF and tab become spaces, the ends are trimmed.
// Nothing for a text of kWebSearchMaxUnits units or more, or one of spaces only.
std::optional<std::string> WebSearchQuery(std::wstring_view selected);

// The address opened for an encoded query.
inline constexpr char kWebSearchAddress[] = "https://www.bing.com/search?q=";

#ifdef _WIN32
// Sends the clamped level to the editor; its zoom notification then stores it in the settings.
void SetZoom(App& app, int32_t level);
void SetWordWrap(App& app, bool on);
void ToggleFocusMode(App& app);
// The current time without seconds, a space and the short date, in place of the selection.
void InsertTimeDate(App& app);
void WebSearch(App& app);
// Whether the selection may be searched (not empty, shorter than the limits).
bool CanWebSearch(App& app);
#endif

}  // namespace lumen
