#pragma once
// What the behaviour needs of the desktop besides controls: message boxes,
// sound, the shell's "open", the program file's place and the wall clock.

#include <cstdint>
#include <span>
#include <string>

#include "text/datetime.h"

namespace ui {

class Desktop {
  public:
    virtual ~Desktop() = default;

    // One OK button, no icon, modal for the whole program; returns when the
    // user closes it. Running timers keep ticking while it is open.
    virtual void showMessage(const std::string& title, const std::string& text) = 0;

    // Starts a WAVE held in memory once and returns at once. Silent when
    // there is no sound device; never reports anything.
    virtual void playSound(std::span<const std::uint8_t> wave) = 0;

    // Hands an address to the desktop's default browser; no outcome.
    virtual void openUrl(const std::string& url) = 0;

    // Local date and time, whole seconds.
    virtual text::DateTime now() const = 0;

    // The full path of the running program file (UTF-8).
    virtual std::string programFilePath() const = 0;
};

}  // namespace ui
