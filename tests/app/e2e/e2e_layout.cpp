#include "app/e2e/e2e_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace vudo::e2e {

std::vector<Place> RuleLayout(int dpi, int w, int h) {
  const auto s = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
  // A size from `from` that is `size` long: its two edges scaled.
  const auto span = [&](int from, int size) { return s(from + size) - s(from); };
  const auto clip = [](int v) { return v < 0 ? 0 : v; };
  const int browse = span(270, 25), start = span(225, 70);
  const int start_x = w - start - s(5);
  return {{kSearchInLabel, s(5), s(13), span(5, 55), span(13, 20)},
          {kStartDirectoryCombo, s(60), s(10), clip(w - s(60) - browse - s(10)), -1},
          {kBrowseButton, w - browse - s(5), s(10), browse, span(10, 20)},
          {kFilenameLabel, s(5), s(38), span(5, 55), span(38, 20)},
          {kPatternField, s(60), s(35), clip(w - s(60) - s(5)), span(35, 20)},
          {kContainsLabel, s(5), s(63), span(5, 55), span(63, 20)},
          {kContainsField, s(60), s(60), clip(w - s(60) - s(5)), span(60, 20)},
          {kStartStopButton, start_x, s(85), start, span(85, 20)},
          {kResultList, s(5), s(110), clip(w - s(5) - s(5)), clip(h - s(110) - s(5))},
          // From the left margin to a margin before Start, in Start's row.
          {kStatusText, s(5), s(85), clip(start_x - s(5) - s(5)), span(85, 20)}};
}

void ExpectPlaces(const VudoRun& vudo, const std::vector<Place>& places, int tolerance) {
  for (const Place& p : places) {
    const RECT r = vudo.ControlRect(p.number);
    SCOPED_TRACE(testing::Message() << "control " << p.number);
    EXPECT_LE(std::abs(r.left - p.x), tolerance) << r.left << " for " << p.x;
    EXPECT_LE(std::abs(r.top - p.y), tolerance) << r.top << " for " << p.y;
    EXPECT_LE(std::abs(r.right - r.left - p.width), tolerance) << r.right - r.left << " wide for " << p.width;
    if (p.height >= 0) {
      EXPECT_LE(std::abs(r.bottom - r.top - p.height), tolerance) << r.bottom - r.top << " high for " << p.height;
    }
  }
}

SIZE OuterFor(const VudoRun& vudo, int width, int height) {
  // The frame as the window has it: the program's scale may not be this
  // process's, and Windows draws each window's frame for its own.
  RECT outer{}, inner{};
  GetWindowRect(vudo.Window(), &outer);
  GetClientRect(vudo.Window(), &inner);
  return SIZE{width + (outer.right - outer.left) - inner.right, height + (outer.bottom - outer.top) - inner.bottom};
}

void SizeInner(const VudoRun& vudo, int width, int height) {
  const SIZE outer = OuterFor(vudo, width, height);
  SetWindowPos(vudo.Window(), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT InkBounds(const VudoRun& vudo, int number) {
  const HWND control = vudo.Control(number);
  RECT area{};
  GetClientRect(control, &area);
  const std::vector<DWORD> pixels = ScreenPixels(control, area);
  if (pixels.empty()) return RECT{};
  const int width = area.right;
  RECT ink{area.right, area.bottom, 0, 0};
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    if (pixels[i] == pixels.back()) continue;
    const LONG x = static_cast<LONG>(i % width), y = static_cast<LONG>(i / width);
    ink = RECT{std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1), std::max(ink.bottom, y + 1)};
  }
  return ink.right > ink.left ? ink : RECT{};
}

}  // namespace vudo::e2e
