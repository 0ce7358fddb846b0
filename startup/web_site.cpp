#include "web_site.h"

#ifndef PELORIN_WEB_BASE
#error "PELORIN_WEB_BASE is set by the build"
#endif

namespace pelorin::startup {

QString WebSiteAddress()
{
    return QStringLiteral(PELORIN_WEB_BASE);
}

QString HelpPageAddress()
{
    return WebSiteAddress() + QStringLiteral("/articles.php?action=show&id=1");
}

} // namespace pelorin::startup
