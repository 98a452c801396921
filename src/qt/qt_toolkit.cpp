#include "qt/qt_toolkit.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTextCursor>
#include <QTextLayout>

#include "qt/icon.h"
#include "qt/lunar_calendar.h"
#include "qt/music_panel.h"
#include "qt/qt_timer.h"

namespace qtui {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}
QString q(const char* s) {
    return QString::fromUtf8(s);
}
std::string s(const QString& t) {
    return t.toStdString();
}

// The log keeps CR LF line breaks, as the record file does; Qt's text
// widgets work with bare LF.
QString toWidgetText(const std::string& t) {
    return q(t).replace(QLatin1String("\r\n"), "\n");
}
std::string fromWidgetText(QString t) {
    return s(t.replace('\n', QLatin1String("\r\n")));
}

QColor colour(const ui::Rgb& c) {
    return QColor(c.r, c.g, c.b);
}

void applyDesign(QWidget* w, const ui::ControlDesign& d) {
    w->setObjectName(q(d.name));
    w->setGeometry(d.x, d.y, d.width, d.height);
    if (d.fontPixels > 0) {
        QFont f = w->font();
        f.setFamily(QString());
        f.setPixelSize(d.fontPixels);
        f.setBold(d.bold);
        w->setFont(f);
    }
    QPalette p = w->palette();
    if (d.foreground) {
        p.setColor(QPalette::WindowText, colour(*d.foreground));
        p.setColor(QPalette::Text, colour(*d.foreground));
    }
    if (d.background) p.setColor(QPalette::Base, colour(*d.background));
    w->setPalette(p);
    if (*d.accessibleName) w->setAccessibleName(q(d.accessibleName));
    // Created topmost first: each newcomer goes below the ones before it.
    w->lower();
    w->setVisible(d.visible);
}

// Wrapped text with the tight line spacing of the classic 12-pixel UI font:
// CJK fonts on Linux space their lines far wider, and the disclaimer's three
// lines would not fit the 40 pixels they are designed for.
class WrappedLabel final : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setPen(palette().color(QPalette::WindowText));
        QTextLayout layout(text(), font());
        QTextOption option(alignment());
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        const qreal spacing =
            font().pixelSize() > 0 ? font().pixelSize() + 1 : fontMetrics().height();
        qreal y = 0;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width());
            line.setPosition(QPointF(0, y));
            y += spacing;
        }
        layout.endLayout();
        layout.draw(&p, QPointF(0, 0));
    }
};

// Lines a few pixels taller than the style's default.
class TallerLines final : public QStyledItemDelegate {
  public:
    TallerLines(int extra, QObject* parent) : QStyledItemDelegate(parent), extra_(extra) {}
    QSize sizeHint(const QStyleOptionViewItem& o, const QModelIndex& i) const override {
        return QStyledItemDelegate::sizeHint(o, i) + QSize(0, extra_);
    }

  private:
    int extra_;
};

template <class Base, class W>
class Widget : public Base {
  public:
    explicit Widget(W* w) : w_(w) {}
    bool isVisible() const override { return w_ && !w_->isHidden(); }
    void setVisible(bool v) override {
        if (w_) w_->setVisible(v);
    }

  protected:
    QPointer<W> w_;
};

class Button final : public Widget<ui::Button, QPushButton> {
  public:
    using Widget::Widget;
    std::string caption() const override { return w_ ? s(w_->text()) : std::string(); }
    void setCaption(const std::string& t) override {
        if (w_) w_->setText(q(t));
    }
    bool isEnabled() const override { return w_ && w_->isEnabled(); }
    void setEnabled(bool e) override {
        if (w_) w_->setEnabled(e);
    }
    void setOnClicked(std::function<void()> h) override {
        if (!w_) return;
        QObject::disconnect(w_, &QPushButton::clicked, nullptr, nullptr);
        QObject::connect(w_, &QPushButton::clicked, w_, [h = std::move(h)] { h(); });
    }
};

class Label final : public Widget<ui::Label, QLabel> {
  public:
    using Widget::Widget;
    std::string caption() const override { return w_ ? s(w_->text()) : std::string(); }
    void setCaption(const std::string& t) override {
        if (w_) w_->setText(q(t));
    }
};

class LineEdit final : public Widget<ui::EditBox, QLineEdit> {
  public:
    using Widget::Widget;
    std::string text() const override { return w_ ? s(w_->text()) : std::string(); }
    void setText(const std::string& t) override {
        if (w_) w_->setText(q(t));
    }
    void appendText(const std::string& t) override {
        if (w_) w_->setText(w_->text() + q(t));
    }
};

class LogBox final : public Widget<ui::EditBox, QPlainTextEdit> {
  public:
    using Widget::Widget;
    std::string text() const override {
        return w_ ? fromWidgetText(w_->toPlainText()) : std::string();
    }
    void setText(const std::string& t) override {
        if (w_) w_->setPlainText(toWidgetText(t));
    }
    void appendText(const std::string& t) override {
        if (!w_) return;
        QTextCursor c = w_->textCursor();
        c.movePosition(QTextCursor::End);  // also drops the user's selection
        w_->setTextCursor(c);
        w_->ensureCursorVisible();
        w_->insertPlainText(toWidgetText(t));
        w_->ensureCursorVisible();
    }
};

class ComboBox final : public Widget<ui::ComboBox, QComboBox> {
  public:
    using Widget::Widget;
    std::string text() const override { return w_ ? s(w_->currentText()) : std::string(); }
    int currentIndex() const override { return w_ ? w_->currentIndex() : -1; }
    int count() const override { return w_ ? w_->count() : 0; }
    std::string itemText(int i) const override {
        return w_ && i >= 0 && i < w_->count() ? s(w_->itemText(i)) : std::string();
    }
};

class CheckList final : public Widget<ui::CheckList, QListWidget> {
  public:
    using Widget::Widget;
    int currentIndex() const override { return w_ ? w_->currentRow() : -1; }
    int count() const override { return w_ ? w_->count() : 0; }
    std::string itemText(int i) const override {
        return w_ && i >= 0 && i < w_->count() ? s(w_->item(i)->text()) : std::string();
    }
};

class Plain final : public Widget<ui::Control, QWidget> {
  public:
    using Widget::Widget;
};

class Window final : public ui::Window {
  public:
    explicit Window(WindowWidget* w) : w_(w) {}
    bool isVisible() const override { return w_ && w_->isVisible(); }
    void setVisible(bool v) override {
        if (w_) w_->setVisible(v);
    }
    std::string title() const override { return w_ ? s(w_->windowTitle()) : std::string(); }
    void setTitle(const std::string& t) override {
        if (w_) w_->setWindowTitle(q(t));
    }
    void close() override {
        if (w_) w_->close();
    }
    QWidget* widget() const { return w_; }

  private:
    QPointer<WindowWidget> w_;
};

// Keeps exactly one line checked once any is, like a group of radio buttons;
// the marks are a visual aid only, the highlighted line is what counts.
void makeSingleCheck(QListWidget* list) {
    QObject::connect(list, &QListWidget::itemChanged, list, [list](QListWidgetItem* changed) {
        const QSignalBlocker block(list);
        if (changed->checkState() == Qt::Checked) {
            for (int i = 0; i < list->count(); ++i) {
                if (list->item(i) != changed) list->item(i)->setCheckState(Qt::Unchecked);
            }
        } else {
            changed->setCheckState(Qt::Checked);  // the only mark cannot be cleared
        }
        list->setCurrentItem(changed);
    });
}

// A screen reader should meet the designed window as a window (a frame), not
// as an anonymous pane.
QAccessibleInterface* windowAccessible(const QString&, QObject* object) {
    if (auto* w = dynamic_cast<WindowWidget*>(object)) {
        return new QAccessibleWidget(w, QAccessible::Window);
    }
    return nullptr;
}

}  // namespace

WindowWidget::WindowWidget(const ui::WindowDesign& design) : design_(design) {
    setObjectName(q(design.name));
    setWindowTitle(q(design.title));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowIcon(programIcon());
    static const bool accessible = [] {
        QAccessible::installFactory(windowAccessible);
        return true;
    }();
    (void)accessible;
    setFixedSize(design.width, design.height);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->geometry();
        move(area.x() + (area.width() - design.width) / 2,
             area.y() + (area.height() - design.height) / 2);
    }
    qApp->installEventFilter(this);
}

bool WindowWidget::eventFilter(QObject* watched, QEvent* event) {
    // Esc closes the window whichever control holds the focus; none of them
    // may keep the key (an open drop-down list still closes first).
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* w = qobject_cast<QWidget*>(watched);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && w &&
            w->window() == this && isActiveWindow()) {
            if (event->type() == QEvent::KeyPress) close();
            event->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void WindowWidget::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    fitOuterSize();
}

bool WindowWidget::event(QEvent* event) {
    bool handled = QWidget::event(event);
    if (event->type() == QEvent::Move || event->type() == QEvent::WindowStateChange) {
        fitOuterSize();
    }
    return handled;
}

// The designed size includes the frame; the frame is only known once a
// window manager has decorated the window.
void WindowWidget::fitOuterSize() {
    if (isMaximized() || isFullScreen()) return;
    QSize frame = frameGeometry().size() - geometry().size();
    QSize client(design_.width - frame.width(), design_.height - frame.height());
    if (client != size() && client.isValid()) setFixedSize(client);
}

Toolkit::Toolkit() = default;
Toolkit::~Toolkit() = default;

template <class T>
T& Toolkit::keep(std::unique_ptr<T> p) {
    T& r = *p;
    owned_.push_back(std::shared_ptr<T>(std::move(p)));
    return r;
}

QWidget* Toolkit::widgetOf(ui::Window& window) {
    return static_cast<Window&>(window).widget();
}

ui::Window& Toolkit::createWindow(const ui::WindowDesign& d) {
    auto* w = new WindowWidget(d);
    return keep(std::make_unique<Window>(w));
}

ui::Button& Toolkit::createButton(ui::Window& parent, const ui::ControlDesign& d) {
    auto* b = new QPushButton(q(d.text), widgetOf(parent));
    b->setAutoDefault(false);
    b->setDefault(false);
    applyDesign(b, d);
    return keep(std::make_unique<Button>(b));
}

ui::Label& Toolkit::createLabel(ui::Window& parent, const ui::ControlDesign& d) {
    auto* l = d.wrap ? new WrappedLabel(q(d.text), widgetOf(parent))
                     : new QLabel(q(d.text), widgetOf(parent));
    l->setTextFormat(Qt::PlainText);
    l->setAutoFillBackground(d.kind == ui::Kind::Label);
    l->setWordWrap(d.wrap);
    Qt::Alignment h = d.align == ui::Align::Center ? Qt::AlignHCenter : Qt::AlignLeft;
    l->setAlignment(h | (d.wrap ? Qt::AlignTop : Qt::AlignVCenter));
    applyDesign(l, d);
    return keep(std::make_unique<Label>(l));
}

ui::EditBox& Toolkit::createEditBox(ui::Window& parent, const ui::ControlDesign& d) {
    if (d.kind == ui::Kind::LineEdit) {
        auto* e = new QLineEdit(q(d.text), widgetOf(parent));
        applyDesign(e, d);
        return keep(std::make_unique<LineEdit>(e));
    }
    auto* e = new QPlainTextEdit(widgetOf(parent));
    e->setReadOnly(true);
    e->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    e->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    e->setFrameShape(QFrame::StyledPanel);
    e->setFrameShadow(QFrame::Sunken);
    e->setPlainText(toWidgetText(d.text));
    applyDesign(e, d);
    QPalette p = e->palette();
    // The selection is hidden while the log does not have the focus.
    p.setColor(QPalette::Inactive, QPalette::Highlight, colour(*d.background));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, colour(*d.foreground));
    e->setPalette(p);
    return keep(std::make_unique<LogBox>(e));
}

ui::ComboBox& Toolkit::createComboBox(ui::Window& parent, const ui::ControlDesign& d) {
    auto* c = new QComboBox(widgetOf(parent));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    // Typed text stays typed text: only picking from the list changes the current item. Qt
    // would otherwise select an item whose text was typed as soon as the field is left or
    // Enter pressed, and its inline completion would turn a typed "2" into "20".
    c->setCompleter(nullptr);
    QObject::disconnect(c->lineEdit(), &QLineEdit::editingFinished, c, nullptr);
    c->setDuplicatesEnabled(true);
    for (const char* item : d.items) c->addItem(q(item));
    c->setCurrentIndex(d.currentIndex);
    c->setEditText(q(d.text));
    c->setItemDelegate(new TallerLines(d.extraLineHeight, c));
    // Qt names an editable combo box after its text; the field inside carries
    // what the box is for, so that a screen reader says both.
    c->lineEdit()->setAccessibleName(q(d.accessibleName));
    c->setAccessibleDescription(q(d.accessibleName));
    // The list drops to the designed total height, field included.
    int line = c->view()->sizeHintForRow(0);
    if (line > 0) c->setMaxVisibleItems(std::max(1, (d.dropHeight - d.height) / line));
    applyDesign(c, d);
    return keep(std::make_unique<ComboBox>(c));
}

ui::CheckList& Toolkit::createCheckList(ui::Window& parent, const ui::ControlDesign& d) {
    auto* l = new QListWidget(widgetOf(parent));
    for (const char* item : d.items) {
        auto* it = new QListWidgetItem(q(item), l);
        it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        it->setCheckState(Qt::Unchecked);
    }
    l->setSortingEnabled(false);
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    l->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    l->setTextElideMode(Qt::ElideNone);  // clipped at the edge, never shortened
    l->setFrameShadow(QFrame::Sunken);
    l->setItemDelegate(new TallerLines(d.extraLineHeight, l));
    l->setCurrentRow(d.currentIndex);
    makeSingleCheck(l);
    applyDesign(l, d);
    return keep(std::make_unique<CheckList>(l));
}

ui::Control& Toolkit::createGroupBox(ui::Window& parent, const ui::ControlDesign& d) {
    auto* g = new QGroupBox(widgetOf(parent));
    applyDesign(g, d);
    return keep(std::make_unique<Plain>(g));
}

ui::Control& Toolkit::createCalendar(ui::Window& parent, const ui::ControlDesign& d) {
    auto* c = new LunarCalendar(widgetOf(parent));
    applyDesign(c, d);
    return keep(std::make_unique<Plain>(c));
}

ui::Timer& Toolkit::createTimer(ui::Window& parent, const ui::ControlDesign& d) {
    auto* t = new Timer(widgetOf(parent));
    t->setObjectName(q(d.name));
    return *t;
}

// The radio panel: its own file, for the browser plugin behind it.
ui::PanelLoad Toolkit::loadPanel(ui::Window& owner, const ui::WindowDesign& d,
                                 std::span<const ui::ControlDesign> controls) {
    return qtui::loadPanel(widgetOf(owner), d, controls);
}

}  // namespace qtui
