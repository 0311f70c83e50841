// The main window's bars: the status bar's parts, the Start and End buttons
// of the toolbar with their menu items, and the toolbar's host IP box.
#pragma once
#include <string>

// The two exclusive states of Start and End: which toolbar button is pressed
// and which menu item is greyed.
enum class StartEndState {
    Started,  // Start pressed, End released; Start item greyed, End item enabled
    Ended,    // End pressed, Start released; Start item enabled, End item greyed
};

class BarsView {
public:
    virtual ~BarsView() = default;
    // Text of one status-bar part (0 to 3).
    virtual void SetStatusPart(int part, const char* text) = 0;
    virtual void ShowStartEndState(StartEndState state) = 0;
    // What the host IP box holds (CP932); empty when there is none.
    virtual std::string HostIpBoxText() = 0;
};
