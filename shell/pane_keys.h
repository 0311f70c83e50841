// What a key typed into one of the main window's panes does. The main window
// is no dialog, so its panes get Enter-to-send and a fixed Tab order from the
// program: input area -> send button -> user area (only in personal mode) ->
// output area -> input area; Shift+Tab runs it backwards.
#pragma once

enum class Pane { Input, SendButton, UserArea, Output };

struct KeyOutcome {
    enum class Kind {
        PassOn,   // the control handles the character itself
        Send,     // the send command, the character consumed
        Consume,  // swallowed: nothing happens
        Focus,    // the focus moves to `target`, the character consumed
    } kind = Kind::PassOn;
    Pane target = Pane::Input;
};

constexpr int kEnterCharacter = 13;
constexpr int kTabCharacter = 9;

// The outcome of a character arriving at a pane. `repeat` is true for an
// automatic repeat of a held key; `shift` whether Shift is down.
KeyOutcome PaneKeyOutcome(Pane pane, int character, bool shift, bool repeat, bool personal_mode);
