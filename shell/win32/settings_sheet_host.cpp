#include "shell/win32/settings_sheet_host.h"

#include <iterator>

#include "messaging/log_file.h"
#include "net/peer_table.h"
#include "net/presence.h"
#include "platform/inet_address.h"
#include "settings/program_paths.h"
#include "settings/settings.h"
#include "shell/win32/main_window.h"

namespace {

// The main window's outer size for each screen type.
constexpr int kTypeIIWidth = 520;
constexpr int kTypeIWidth = 550;
constexpr int kLayoutHeight = 450;

class MainWindowHost final : public SettingsSheetHost {
public:
    bool Logging() override { return LoggingOn(); }
    bool SwitchLog(bool on) override { return SwitchLogging(on, g_program_paths.log_path); }
    bool DeleteLogFile() override { return DeleteLog(g_program_paths.log_path); }
    void AnnounceOwnChange() override { ::AnnounceOwnChange(); }

    HICON AlertIcon(int button) override {
        return button >= 0 && button < static_cast<int>(std::size(g_main.alert_icons)) ? g_main.alert_icons[button]
                                                                                        : nullptr;
    }

    HWND PaneWindow(int pane) override {
        switch (pane) {
            case PANE_OUTPUT: return g_main.output;
            case PANE_INPUT: return g_main.input;
            default: return g_main.user_list;
        }
    }

    // Back from the tray first when the window is to be shown at its new
    // size, so that the tray icon and the flags agree with what is on the
    // screen.
    void ResizeForScreenType(bool type2) override {
        HWND main = g_main.window;
        if (main == nullptr) return;
        if (g_main.in_tray) RestoreFromTray(main, false);
        SetWindowPos(main, nullptr, 0, 0, type2 ? kTypeIIWidth : kTypeIWidth, kLayoutHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW);
        RECT client;
        GetClientRect(main, &client);
        LayOutChildren(client.right, client.bottom);
    }

    void ApplyPaneColors() override { ::ApplyPaneColors(); }

    uint32_t OwnAddress() override { return ::OwnAddress(); }

    // Taken from a copy of the table, entry 0 (the own one) first: the order
    // the user area shows them in until the user sorts it.
    std::vector<std::string> UserAddresses() override {
        const PeerTable table = PeerTableSnapshot();
        std::vector<std::string> addresses;
        for (int i = 0; i < table.count; ++i) addresses.push_back(FormatDottedAddress(table.entries[i].addr));
        return addresses;
    }
};

}  // namespace

SettingsSheetHost& MainWindowSheetHost() {
    static MainWindowHost host;
    return host;
}
