#include "web_module.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <memory>

namespace qtweb {
namespace {

// The page never opens a window of its own: alerts, questions and file
// pickers would be top-level windows over the program, and a link meant for a
// new window opens in the panel instead.
class RadioPage final : public QWebEnginePage {
  public:
    RadioPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {
        // A radio that waits for a click inside a 281×160 cut-out would
        // never start.
        settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
        connect(this, &QWebEnginePage::newWindowRequested, this,
                [this](QWebEngineNewWindowRequest& request) {
                    if (request.requestedUrl().isValid()) load(request.requestedUrl());
                });
    }

  protected:
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override {
        return false;
    }
    QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override {
        return {};
    }
    // The radio site's console chatter is not the program's to print.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {}
};

class RadioView final : public QWebEngineView, public qtui::WebView {
  public:
    explicit RadioView(QWidget* parent)
        : QWebEngineView(parent),
          // Off the record: the program writes nothing to disk but the
          // diary, and each panel starts afresh.
          profile_(std::make_unique<QWebEngineProfile>()),
          page_(std::make_unique<RadioPage>(profile_.get(), nullptr)) {
        setPage(page_.get());
        // Its entries (open in a new window, save, view source) lead out of
        // the panel.
        setContextMenuPolicy(Qt::NoContextMenu);
    }

    QWidget* widget() override { return this; }
    void navigate(const QUrl& url) override { page_->load(url); }
    void reload() override { page_->triggerAction(QWebEnginePage::Reload); }

  private:
    // The page goes first (members are destroyed in reverse): a profile
    // must outlive its pages. With the page goes its renderer process.
    std::unique_ptr<QWebEngineProfile> profile_;
    std::unique_ptr<RadioPage> page_;
};

QString helperName() {
#ifdef Q_OS_WIN
    return QStringLiteral("QtWebEngineProcess.exe");
#else
    return QStringLiteral("QtWebEngineProcess");
#endif
}

}  // namespace

// The engine aborts the process when it cannot find its helper program;
// it looks where this looks.
QString WebModule::whyUnusable() const {
#ifndef Q_OS_MACOS
    QStringList candidates;
    const QString fromEnvironment = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    if (!fromEnvironment.isEmpty()) {
        candidates << fromEnvironment;
    } else {
        candidates << QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + '/' + helperName()
                   << QCoreApplication::applicationDirPath() + '/' + helperName();
    }
    for (const QString& c : candidates) {
        if (QFileInfo(c).isFile()) return {};
    }
    return QStringLiteral(
               "电台不能播放：找不到内置浏览器的辅助程序 %1，Qt WebEngine 没有安装完整。")
        .arg(helperName());
#else
    return {};
#endif
}

qtui::WebView* WebModule::createView(QWidget* parent) {
    return new RadioView(parent);
}

}  // namespace qtweb
