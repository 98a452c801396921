#pragma once
// The Qt Widgets backend of the control layer.

#include <QWidget>
#include <memory>
#include <vector>

#include "ui/toolkit.h"

namespace qtui {

// The widget of a designed top-level window: fixed outer size (frame
// included), centred, Esc closes it from any of its controls.
class WindowWidget final : public QWidget {
  public:
    explicit WindowWidget(const ui::WindowDesign& design);
    const ui::WindowDesign& design() const { return design_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void fitOuterSize();
    ui::WindowDesign design_;
};

class Toolkit final : public ui::Toolkit {
  public:
    Toolkit();
    ~Toolkit() override;
    ui::Window& createWindow(const ui::WindowDesign& d) override;
    ui::Button& createButton(ui::Window& parent, const ui::ControlDesign& d) override;
    ui::Label& createLabel(ui::Window& parent, const ui::ControlDesign& d) override;
    ui::EditBox& createEditBox(ui::Window& parent, const ui::ControlDesign& d) override;
    ui::ComboBox& createComboBox(ui::Window& parent, const ui::ControlDesign& d) override;
    ui::CheckList& createCheckList(ui::Window& parent, const ui::ControlDesign& d) override;
    ui::Control& createGroupBox(ui::Window& parent, const ui::ControlDesign& d) override;
    ui::Control& createCalendar(ui::Window& parent, const ui::ControlDesign& d) override;
    ui::Timer& createTimer(ui::Window& parent, const ui::ControlDesign& d) override;
    ui::PanelLoad loadPanel(ui::Window& owner, const ui::WindowDesign& d,
                            std::span<const ui::ControlDesign> controls) override;

    // The widget behind a window made here.
    static QWidget* widgetOf(ui::Window& window);

  private:
    template <class T>
    T& keep(std::unique_ptr<T> p);
    std::vector<std::shared_ptr<void>> owned_;
};

}  // namespace qtui
