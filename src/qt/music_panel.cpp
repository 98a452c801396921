#include "qt/music_panel.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QOpenGLContext>
#include <QPluginLoader>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "qt/music_web.h"
#include "qt/qt_timer.h"
#include "qt/qt_toolkit.h"

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#include <unistd.h>
#endif

// QtGui's application-wide share context, the one QtWebEngine looks for
// (exported by QtGui; QtWebEngine declares it the same way).
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
Q_GUI_EXPORT QOpenGLContext* qt_gl_global_share_context();
QT_END_NAMESPACE

namespace qtui {
namespace {

QString q(const char* s) {
    return QString::fromUtf8(s);
}

// A panel hidden before it was ever drawn gets its view (and its sound) this
// long after the click all the same.
constexpr int kViewsAtTheLatestMs = 300;

// The engine's own start-up checks end the process (and the unsaved log with
// it); these say the same in words and leave the program running.
constexpr const char* kRunningAsRoot =
    "电台不能播放：本程序正以管理员（root）身份运行，内置浏览器出于安全考虑不能在这种情况下启动。"
    "请以普通用户身份运行本程序后再点“听歌”。";
constexpr const char* kModuleMissing =
    "电台不能播放：内置浏览器组件无法加载。程序目录下的 %1 缺失，"
    "或者它需要的 Qt WebEngine 没有安装完整。";

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
// Only whoever started the program can turn the sandbox off, through the
// engine's own environment variables; the program never does it itself.
bool sandboxDisabledByEnvironment() {
    if (qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) return true;
    const QStringList flags = qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS")
                                  .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return flags.contains(QLatin1String("--no-sandbox"));
}
#endif

std::string whyEngineCannotStartHere() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    if (::geteuid() == 0 && !sandboxDisabledByEnvironment()) return kRunningAsRoot;
#endif
    return {};
}

// QtWebEngine makes an OpenGL share context for itself when it is loaded
// before the application object; loaded later, as the plugin is, it finds
// none, warns, and crashes on the first view. The same context, made just
// before the plugin loads, is what it would have made (made at start-up it
// would cost every user the OpenGL set-up). It lives as long as the process:
// the engine may use it until the very end.
void makeShareContextForTheEngine() {
#if QT_CONFIG(opengl)
    if (qt_gl_global_share_context()) return;
    auto* context = new QOpenGLContext;
    context->setFormat(QSurfaceFormat::defaultFormat());
    context->create();
    qt_gl_set_global_share_context(context);
#endif
}

// Loaded once and never unloaded: the engine cannot be started twice in one
// process. A failed load is tried again at the next click.
WebModule* webModule(std::string& failure) {
    static WebModule* module = nullptr;
    if (!module) {
        makeShareContextForTheEngine();
        QPluginLoader loader(webModulePath());
        if (loader.load()) module = qobject_cast<WebModule*>(loader.instance());
        // The details are for whoever looks into a broken installation.
        if (!module) qWarning("kestrune: web plugin: %s", qPrintable(loader.errorString()));
    }
    if (!module) {
        QString shown = QDir::toNativeSeparators(
            QDir(QCoreApplication::applicationDirPath()).relativeFilePath(webModulePath()));
        failure = q(kModuleMissing).arg(shown).toStdString();
        return nullptr;
    }
    if (QString why = module->whyUnusable(); !why.isEmpty()) {
        failure = why.toStdString();
        return nullptr;
    }
    return module;
}

class PanelWidget;

// The view is made only once the panel is on the screen: making the first one
// starts the engine, which holds the program's thread for half a second and
// more, and the user should see the panel answer the click before that.
// Until then the box keeps what it was told.
class WebBox final : public ui::WebBox {
  public:
    WebBox(const ui::ControlDesign& d, WebModule* module, QWidget* panel)
        : name(d.name),
          design_(d),
          module_(module),
          panel_(panel),
          place_(d.x, d.y, d.width, d.height),
          shown_(d.visible) {}
    const std::string name;

    void makeView() {
        if (view_ || !panel_) return;
        view_ = module_->createView(panel_);
        w_ = view_->widget();
        w_->setObjectName(q(design_.name));
        if (*design_.accessibleName) w_->setAccessibleName(q(design_.accessibleName));
        w_->setGeometry(place_);
        w_->setVisible(shown_);
        if (!url_.isEmpty()) view_->navigate(url_);
    }

    bool isVisible() const override { return view_ ? w_ && !w_->isHidden() : shown_; }
    void setVisible(bool v) override {
        shown_ = v;
        if (w_) w_->setVisible(v);
    }
    void setBounds(int left, int top, int width, int height) override {
        place_ = QRect(left, top, width, height);
        if (w_) w_->setGeometry(place_);
    }
    void navigate(const std::string& url) override {
        url_ = QUrl(QString::fromStdString(url));
        if (w_) view_->navigate(url_);
    }
    // Before the view exists there is nothing to reload: the page it was
    // sent to is still to come.
    void reload() override {
        if (w_) view_->reload();
    }

  private:
    ui::ControlDesign design_;
    WebModule* module_;
    QPointer<QWidget> panel_;
    QRect place_;
    bool shown_;
    QUrl url_;
    WebView* view_ = nullptr;
    QPointer<QWidget> w_;
};

class Panel final : public ui::Panel {
  public:
    explicit Panel(PanelWidget* w);
    bool isVisible() const override;
    void setVisible(bool v) override;
    std::string title() const override;
    void setTitle(const std::string& t) override;
    void close() override;
    void setBounds(int left, int top, int width, int height) override;
    void embedIn(ui::Window& owner) override;
    ui::WebBox* webBox(const char* name) override;
    ui::Timer* timer(const char* name) override;
    void setOnGone(std::function<void()> handler) override;

    std::vector<std::unique_ptr<WebBox>> webBoxes;
    std::vector<std::pair<std::string, Timer*>> timers;

  private:
    QPointer<PanelWidget> w_;
    // Until it is embedded the panel stays off the screen, where a top-level
    // window would flash up; this is what it will be once embedded.
    bool shown_ = true;
    bool embedded_ = false;
};

// The panel's widget. It owns its ui::Panel, which must outlive the gone
// handler; its child widgets (the view) are destroyed after both.
class PanelWidget final : public QWidget {
  public:
    PanelWidget(const ui::WindowDesign& d, QWidget* owner) : QWidget(owner) {
        setObjectName(q(d.name));
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        setWindowTitle(q(d.title));
        setAutoFillBackground(true);  // the button face, as the design says
        resize(d.width, d.height);
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect area = screen->geometry();
            move(area.x() + (area.width() - d.width) / 2,
                 area.y() + (area.height() - d.height) / 2);
        }
        qApp->installEventFilter(this);
        // The page must go before the engine shuts down at the end of the
        // program; the main window (and so this panel) is never deleted.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { delete this; });
        panel = std::make_unique<Panel>(this);
    }

    ~PanelWidget() override {
        if (onGone) {
            auto handler = std::move(onGone);
            handler();
        }
    }

    std::function<void()> onGone;
    std::unique_ptr<Panel> panel;

    void makeViews() {
        for (auto& b : panel->webBoxes) b->makeView();
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QWidget::paintEvent(event);
        // Queued: the panel reaches the screen with this paint first.
        if (!viewsAsked_) QTimer::singleShot(0, this, [this] { makeViews(); });
        viewsAsked_ = true;
    }

    // Esc closes the panel when it reaches it, which it does from the page
    // too: the main window's own Esc (which would end the program) must not
    // see it then.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
            return QWidget::eventFilter(watched, event);
        }
        auto* key = static_cast<QKeyEvent*>(event);
        auto* w = qobject_cast<QWidget*>(watched);
        if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier || !w ||
            !isVisible() || (w != this && !isAncestorOf(w))) {
            return QWidget::eventFilter(watched, event);
        }
        if (event->type() == QEvent::KeyPress) {
            hide();
            deleteLater();  // the key's own receiver lies inside
        }
        event->accept();
        return true;
    }

  private:
    bool viewsAsked_ = false;
};

Panel::Panel(PanelWidget* w) : w_(w) {}

bool Panel::isVisible() const {
    if (!w_) return false;
    return embedded_ ? !w_->isHidden() : shown_;
}

void Panel::setVisible(bool v) {
    shown_ = v;
    if (w_ && embedded_) w_->setVisible(v);
}

std::string Panel::title() const {
    return w_ ? w_->windowTitle().toStdString() : std::string();
}

void Panel::setTitle(const std::string& t) {
    if (w_) w_->setWindowTitle(QString::fromStdString(t));
}

void Panel::close() {
    if (!w_) return;
    w_->hide();
    w_->deleteLater();
}

void Panel::setBounds(int left, int top, int width, int height) {
    if (w_) w_->setGeometry(left, top, width, height);
}

void Panel::embedIn(ui::Window& owner) {
    QWidget* parent = Toolkit::widgetOf(owner);
    if (!w_ || !parent) return;
    const QRect place = w_->geometry();
    w_->setParent(parent, Qt::Widget);
    w_->setGeometry(place);
    w_->raise();  // above every control of the owner, the calendar included
    embedded_ = true;
    w_->setVisible(shown_);
}

ui::WebBox* Panel::webBox(const char* name) {
    for (auto& b : webBoxes) {
        if (b->name == name) return b.get();
    }
    return nullptr;
}

ui::Timer* Panel::timer(const char* name) {
    for (auto& [n, t] : timers) {
        if (n == name) return t;
    }
    return nullptr;
}

void Panel::setOnGone(std::function<void()> handler) {
    if (auto* w = w_.data()) w->onGone = std::move(handler);
}

}  // namespace

QString webModulePath() {
#ifdef Q_OS_WIN
    const QLatin1String file("kestrune_web.dll");
#else
    const QLatin1String file("libkestrune_web.so");  // a CMake module, on macOS too
#endif
    return QCoreApplication::applicationDirPath() + QLatin1String("/plugins/") + file;
}

ui::PanelLoad loadPanel(QWidget* owner, const ui::WindowDesign& design,
                        std::span<const ui::ControlDesign> controls) {
    WebModule* module = nullptr;
    for (const ui::ControlDesign& d : controls) {
        if (d.kind != ui::Kind::WebBox || module) continue;
        std::string failure = whyEngineCannotStartHere();
        if (!failure.empty()) return {nullptr, failure};
        module = webModule(failure);
        if (!module) return {nullptr, failure};
    }

    auto* w = new PanelWidget(design, owner);
    Panel& panel = *w->panel;
    for (const ui::ControlDesign& d : controls) {
        if (d.kind == ui::Kind::WebBox) {
            panel.webBoxes.push_back(std::make_unique<WebBox>(d, module, w));
        } else if (d.kind == ui::Kind::Timer) {
            auto* t = new Timer(w);
            t->setObjectName(q(d.name));
            panel.timers.emplace_back(d.name, t);
        }
    }
    // After the first paint, or a little later if the panel is not shown:
    // a hidden radio plays all the same.
    QTimer::singleShot(kViewsAtTheLatestMs, w, [w] { w->makeViews(); });
    return {&panel, ""};
}

}  // namespace qtui
