#pragma once

#include <QString>
#include <QtGlobal>

class QWidget;
class WebFetch;

// IPType 1: the address the web directory sees us at (warns when a reply
// arrived without a valid address); 2: localAddressOfSocket; else empty.
[[nodiscard]] QString FindIP(quint8 IPType, WebFetch &Inet, const QString &localAddressOfSocket,
                             QWidget *parent = nullptr);
