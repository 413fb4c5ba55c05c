// The pelloran_web plugin: its root object makes the app's web screens.

#include "web/web_screens.h"

#include <QObject>

namespace pelloran::web {

class WebPlugin : public QObject, public WebScreens {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PelloranWebScreenFactory_iid)
    Q_INTERFACES(pelloran::WebScreenFactory)
};

}  // namespace pelloran::web

#include "web_plugin.moc"
