#include "shell/pane_keys.h"

namespace {

KeyOutcome FocusTo(Pane target) { return {KeyOutcome::Kind::Focus, target}; }

KeyOutcome Enter(Pane pane, bool repeat) {
    if (pane == Pane::Input || pane == Pane::SendButton) {
        // A held Enter sends once; its repeats are swallowed.
        return {repeat ? KeyOutcome::Kind::Consume : KeyOutcome::Kind::Send, pane};
    }
    return {};
}

KeyOutcome Tab(Pane pane, bool shift, bool personal_mode) {
    switch (pane) {
        case Pane::Input: return FocusTo(shift ? Pane::Output : Pane::SendButton);
        case Pane::SendButton:
            if (shift) return FocusTo(Pane::Input);
            return FocusTo(personal_mode ? Pane::UserArea : Pane::Output);
        case Pane::UserArea: return FocusTo(shift ? Pane::SendButton : Pane::Output);
        case Pane::Output:
            if (!shift) return FocusTo(Pane::Input);
            return FocusTo(personal_mode ? Pane::UserArea : Pane::SendButton);
    }
    return {};
}

}  // namespace

KeyOutcome PaneKeyOutcome(Pane pane, int character, bool shift, bool repeat, bool personal_mode) {
    if (character == kEnterCharacter) return Enter(pane, repeat);
    if (character == kTabCharacter) return Tab(pane, shift, personal_mode);
    return {};
}
