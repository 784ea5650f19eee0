// The title band (tabs, small buttons, caption buttons) and the status band (caret position, counter,
// zoom, line breaks, encoding, transient messages): painting from the band layout record, the pointer
// handlers that hit-test the same record, tooltips and the status texts.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "app/app.h"

namespace lumen {

void PaintTitleBand(App& app);
void PaintStatusBand(App& app);
// One line of text in the surface: vertically centred, cut with an ellipsis, no prefix processing;
// `format` adds the horizontal alignment (DT_LEFT or DT_CENTER).
void DrawBandText(ui::Surface& surface, std::wstring_view text, const RECT& rect, HFONT font, COLORREF colour,
                  UINT format);

// Client-area pointer messages over the bands (coordinates in client pixels).
void OnBandMouseMove(App& app, int32_t x, int32_t y, bool leftDown);
void OnBandLeftDown(App& app, int32_t x, int32_t y);
void OnBandLeftUp(App& app, int32_t x, int32_t y);
void OnBandRightUp(App& app, int32_t x, int32_t y);
void OnBandMiddleUp(App& app, int32_t x, int32_t y);
// Returns false when the wheel was not over the title band (the editor gets it).
bool OnBandWheel(App& app, int32_t x, int32_t y, int32_t delta);
void OnBandMouseLeave(App& app);

// Scrolls the tab strip so that the active tab is shown whole.
void ScrollActiveTabIntoView(App& app);

void SetHover(App& app, HitPart hit);
void HideTooltip(App& app);
// Timer 5: the tooltip of the hovered element.
void ShowTooltip(App& app);
// The tooltip text of a band element (empty for elements without one).
std::wstring TooltipText(App& app, HitPart hit);

// The caret's line and column; with startCountTimer the counter is recounted shortly after.
void RefreshPosition(App& app, bool startCountTimer);
// Timer 2: the counter field.
void RefreshCounts(App& app);
// Both, for a newly shown tab or a changed document.
void RefreshStatus(App& app);
// A message in the status band for 2.5 seconds.
void ShowStatusMessage(App& app, const std::wstring& text);

}  // namespace lumen
