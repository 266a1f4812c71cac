#include "website.h"

#include "addresshelpers.h"

QString Website(int urlType)
{
    QString base = DirectoryBaseURL();
    while (base.endsWith(u'/'))
        base.chop(1);
    switch (urlType) {
    case 1:
        return base + u"/velkor";
    case 2:
        return DirectoryScriptURL();
    case 3:
        return base + u"/forum";
    default:
        break;
    }
    return {};
}
