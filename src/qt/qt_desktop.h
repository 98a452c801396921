#pragma once

#include "ui/desktop.h"

namespace qtui {

class Desktop final : public ui::Desktop {
  public:
    void showMessage(const std::string& title, const std::string& text) override;
    void playSound(std::span<const std::uint8_t> wave) override;
    void openUrl(const std::string& url) override;
    text::DateTime now() const override;
    std::string programFilePath() const override;

    // Sounds started and not yet finished (or given up on).
    static int soundsPlaying();
};

}  // namespace qtui
