#pragma once
// The web-radio panel over the record log: 按钮8 "听歌" opens it, 按钮9
// "切歌" reloads its page, 按钮10 "后台"/"前台" hides and shows it, 按钮11
// "停止" closes it.

#include <memory>
#include <optional>

#include "clock/session.h"
#include "form/music_window.h"

namespace extras {

inline constexpr const char* kBackground = "后台";
inline constexpr const char* kForeground = "前台";
// When the toolkit gives no reason of its own.
inline constexpr const char* kRadioUnavailable = "电台面板无法打开，音乐不能播放。";

// The music window while it exists. Nothing else is kept: the rest of the
// panel's state is the four buttons' enabled states and 按钮10's caption.
struct MusicPanel : std::enable_shared_from_this<MusicPanel> {
    std::optional<MusicWindow> window;
};

void openMusicPanel(Session& s, MusicPanel& music);
// The created event of MusicWindow, run while it is still top-level.
void setUpMusicWindow(MusicWindow& m);
void nextSong(MusicPanel& music);
void toggleMusicBackground(Session& s, MusicPanel& music);
void stopMusic(Session& s, MusicPanel& music);

// 按钮8 to 按钮11.
void bindMusic(Session& s);

}  // namespace extras
