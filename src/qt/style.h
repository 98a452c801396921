#pragma once

namespace qtui {

// The layout is designed for the classic desktop's 12-pixel UI font; where
// the platform's default is larger, the small texts would not fit their
// boxes (the disclaimer needs its three lines in 40 pixels).
void useDesktopMetrics();

}  // namespace qtui
