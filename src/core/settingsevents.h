#pragma once

#include <QObject>

// Tells open windows about changes to the stored settings that they did not
// make themselves, without the writer knowing who listens (the options
// window cannot depend on the session window).
class SettingsEvents final : public QObject
{
    Q_OBJECT

public:
    static SettingsEvents &instance();

signals:
    // The player saved the main options; the own slot has been reloaded.
    void myDetailsSaved();
};
