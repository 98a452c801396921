#pragma once
// The plugin's entry: what QPluginLoader hands the program.

#include <QObject>

#include "qt/music_web.h"

namespace qtweb {

class WebModule final : public QObject, public qtui::WebModule {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID KESTRUNE_WEB_MODULE_IID)
    Q_INTERFACES(qtui::WebModule)

  public:
    QString whyUnusable() const override;
    qtui::WebView* createView(QWidget* parent) override;
};

}  // namespace qtweb
