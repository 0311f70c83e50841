// Boxes and questions: the message boxes the core shows. Owned by the main
// window, or by the window of the thread that shows them.
#pragma once

enum class BoxIcon { Information, Warning, Error, Exclamation };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void ShowMessage(const char* text, const char* title, BoxIcon icon) = 0;
    // A Yes/No question box (question icon); true for Yes.
    virtual bool AskYesNo(const char* text, const char* title) = 0;
};
