#pragma once

#include "settings.h"

#include <QDialog>
#include <QString>

#include <array>
#include <functional>
#include <memory>

class QCloseEvent;
class QTimer;
class StreamSocket;
class WebFetch;

namespace Ui {
class FrmOptions;
}

// The main options window: installed ports and their paths, the default
// port, the player's details and name, and the network environment. Every
// value is read from the settings when the window is created and written
// back by Save. On a first run it is the only way forward: a complete Save
// hands control back to the start-up sequence, and closing it without
// complete details ends the program.
class FrmOptions final : public QDialog
{
    Q_OBJECT

public:
    explicit FrmOptions(QWidget *owner = nullptr);
    ~FrmOptions() override;

    // Refills "Previous Names": the current name first, then the stored
    // other names.
    void GetOtherNames();

    // Chooses the network environment from the local address of socket: a
    // private address means a shared network (then the external address is
    // requested), anything else a direct connection.
    void AutoDetectNetwork(const StreamSocket &socket);
    // The same with the window's own socket object.
    void AutoDetectNetwork();
    // The same for a known local address.
    void AutoDetectNetworkFor(const QString &localAddress);
    [[nodiscard]] StreamSocket &sockNetDetails() { return *m_sockNetDetails; }

    // Selects a tab by position; any position without a tab is reported.
    void SelectTab(int index);

    // Writes the values changed in this window and checks the compulsory
    // details; true when they are complete. When the store cannot be
    // written, says so and keeps the input.
    bool Save();

    // Unticks "Enable HRP Support" (the HRP window closes without a pack).
    void ClearUseHRP();

    // The chosen default port, a list index 0-3.
    [[nodiscard]] int chosenDefaultPort() const { return m_defaultPort; }
    [[nodiscard]] bool savedComplete() const { return m_savedComplete; }

    // The progress bar's tick while the external address is requested.
    void setProgressInterval(int milliseconds) { m_progressInterval = milliseconds; }

signals:
    // A first run was saved complete: the start-up sequence continues.
    void firstRunCompleted();
    // An abandoned first run ends the program (emitted before the quit
    // handler runs).
    void quitRequested();
    // Every value was written and the own player record reloaded, complete
    // or not. An active session connects here to pass the new details on to
    // its peers and its lobby.
    void detailsSaved(bool complete);

public slots:
    // Escape and "Close": on a first run without a complete Save, asks
    // whether to quit.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The free-text boxes as they read.
    struct ShownTexts
    {
        QString mapPath, fullName, age, email, website, comments, playerName;
    };
    // What the window loaded (or last saved): the comparison for Save.
    struct Loaded
    {
        QString defaultPort;
        std::array<QString, 8> portPaths;
        std::array<QString, 4> usesPort; // as read when the port was shown
        QString country, wanIP, wanPort, lanIP, lanPort, networkType, hrpEnabled;
        ShownTexts texts;
    };

    void load();
    [[nodiscard]] ShownTexts shownTexts() const;
    settings::Result writeChanges();
    void reportNotSaved();
    void showPage(int index);
    void showPort(int port);
    void applyIUseRule();
    void setDefaultClicked(bool checked);
    void useHRPToggled(bool checked);
    void openHRP();
    void openNames();
    void applyNetworkRule();
    void browseExe();
    void browseMod();
    void browseMap();
    void findWanIP();
    void findLanIP();
    void progressTick();
    void finishProgress();
    void endProgram();
    [[nodiscard]] int shownPort() const;
    [[nodiscard]] QString localAddress() const;

    std::unique_ptr<Ui::FrmOptions> m_ui;
    StreamSocket *m_sockNetDetails = nullptr;
    WebFetch *m_inet = nullptr;
    QTimer *m_progressTimer = nullptr;
    int m_progressInterval = 200;

    // R exe, R mod, J exe, J mod, E exe, E mod, X exe, X mod: as stored,
    // taken from the boxes for the shown port only on Save.
    std::array<QString, 8> m_portPaths;
    Loaded m_loaded;
    int m_defaultPort = 0;
    bool m_savedComplete = false;
    bool m_loading = false;
    bool m_requestingIP = false;
    bool m_quitRequested = false;
};
