#include "extras/music.h"

#include "config/urls.h"

namespace extras {
namespace {

void showPanelClosed(MainWindow& w) {
    w.按钮8->setEnabled(true);
    w.按钮9->setEnabled(false);
    w.按钮10->setEnabled(false);
    w.按钮11->setEnabled(false);
}

// Esc, or the end of the program, may take the panel away without "停止": the
// buttons then go back as "停止" would leave them, so that none of them is
// left acting on a window that no longer exists.
void watchForClosing(MainWindow& w, MusicPanel& music) {
    ui::Panel* panel = music.window->window;
    std::weak_ptr<MusicPanel> alive = music.weak_from_this();
    panel->setOnGone([&w, alive, panel] {
        std::shared_ptr<MusicPanel> m = alive.lock();
        // A panel that "停止" already let go is no news.
        if (!m || !m->window || m->window->window != panel) return;
        m->window.reset();
        showPanelClosed(w);
    });
}

}  // namespace

void openMusicPanel(Session& s, MusicPanel& music) {
    MainWindow& w = s.main;
    form::MusicWindowLoad load = form::loadMusicWindow(s.toolkit, *w.window, setUpMusicWindow);
    if (!load.window) {
        // Nothing was created: the panel stays closed, the buttons as they are.
        s.desktop.showMessage("信息：", load.failure.empty() ? kRadioUnavailable : load.failure);
        return;
    }
    music.window = load.window;
    music.window->window->embedIn(*w.window);
    watchForClosing(w, music);
    w.按钮8->setEnabled(false);
    w.按钮9->setEnabled(true);
    w.按钮10->setEnabled(true);
    w.按钮11->setEnabled(true);
}

void setUpMusicWindow(MusicWindow& m) {
    m.window->setBounds(225, 195, 281, 160);
    m.超文本浏览框1->setBounds(-336, -160, 773, 600);
    m.超文本浏览框1->navigate(config::kRadioUrl);
}

void nextSong(MusicPanel& music) {
    if (!music.window) return;  // the button is disabled while there is no panel
    // A reload of whatever the box shows, not a new visit to the radio page.
    music.window->超文本浏览框1->reload();
}

void toggleMusicBackground(Session& s, MusicPanel& music) {
    MainWindow& w = s.main;
    if (!music.window) return;  // the button is disabled while there is no panel
    // The caption decides, not the panel's visibility: after a stop while
    // hidden, the next panel opens shown with the caption still "前台".
    if (w.按钮10->caption() == kBackground) {
        music.window->window->setVisible(false);  // the radio plays on
        w.按钮10->setCaption(kForeground);
    } else {
        w.按钮10->setCaption(kBackground);
        music.window->window->setVisible(true);
    }
}

void stopMusic(Session& s, MusicPanel& music) {
    if (music.window) {
        // Destroyed once this handler has returned; the page and its sound
        // go with it.
        music.window->window->close();
        music.window.reset();
    }
    // 按钮10's caption stays as it is.
    showPanelClosed(s.main);
}

void bindMusic(Session& s) {
    MainWindow& w = s.main;
    auto music = std::make_shared<MusicPanel>();
    w.按钮8->setOnClicked([&s, music] { openMusicPanel(s, *music); });
    w.按钮9->setOnClicked([music] { nextSong(*music); });
    w.按钮10->setOnClicked([&s, music] { toggleMusicBackground(s, *music); });
    w.按钮11->setOnClicked([&s, music] { stopMusic(s, *music); });
}

}  // namespace extras
