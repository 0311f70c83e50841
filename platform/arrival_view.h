// Arrival notices and blinking: how an arriving chat message is announced.
#pragma once

enum class ArrivalNotice {
    TitleBlink,   // blink the title-bar icon (window shown, "Icon")
    ShownNotice,  // the arrival notice box while the window is shown ("Msg")
    TrayBlink,    // blink the tray icon (waiting in the tray, "Icon")
    TrayNotice,   // the arrival notice box while waiting in the tray ("Msg")
};

class ArrivalView {
public:
    virtual ~ArrivalView() = default;
    // Starts the chosen notice; `sender` is the sender's name.
    virtual void Notify(ArrivalNotice notice, const char* sender) = 0;
};
