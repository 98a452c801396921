#pragma once
// The browser behind the radio panel, as the program sees it. It lives in a
// plugin of its own (web/), loaded at the first "听歌": merely linking
// QtWebEngine doubles the program's start-up and quadruples its memory, for a
// radio that many users never open.

#include <QString>
#include <QtPlugin>

class QUrl;
class QWidget;

namespace qtui {

// One browser view: a child widget of the panel, destroyed with it.
class WebView {
  public:
    virtual ~WebView() = default;
    virtual QWidget* widget() = 0;
    virtual void navigate(const QUrl& url) = 0;
    // The plain reload of whatever page the view shows now.
    virtual void reload() = 0;
};

class WebModule {
  public:
    virtual ~WebModule() = default;
    // Why the engine cannot start on this installation, in plain words for
    // the user; empty when it can. The engine ends the whole process in these
    // cases, so they are checked before any view exists.
    virtual QString whyUnusable() const = 0;
    // A view whose page plays sound without a click, opens no window of its
    // own and leaves nothing on disk.
    virtual WebView* createView(QWidget* parent) = 0;
};

}  // namespace qtui

#define KESTRUNE_WEB_MODULE_IID "org.kestrune.WebModule/1.0"
Q_DECLARE_INTERFACE(qtui::WebModule, KESTRUNE_WEB_MODULE_IID)
