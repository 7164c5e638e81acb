#pragma once
// Message boxes: a text with an icon, a set of buttons and an optional help button. The
// answer is the number of the button pressed, with the platform's numbers.

#include <string>

namespace paperloom::ui {

enum class MessageIcon { None, Information, Exclamation, Critical, Question };
enum class MessageButtons { OK, OKCancel, YesNo, YesNoCancel };

// The button pressed.
inline constexpr long vbOK = 1;
inline constexpr long vbCancel = 2;
inline constexpr long vbYes = 6;
inline constexpr long vbNo = 7;

struct MessageRequest {
    std::string strText;
    std::string strTitle;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::OK;
    // A help button is shown when a help file is given.
    std::string strHelpFile;
    long lngHelpContext = 0;
    // Which button is the default, counted from 1 in the order of `buttons`.
    long lngDefaultButton = 1;
};

// True when `answer` is one of the buttons of `buttons`.
bool IsAnswerOf(MessageButtons buttons, long answer);

class MessageService {
public:
    virtual ~MessageService() = default;
    // Shows the box (modally, where there is a screen) and returns the button pressed.
    virtual long Show(const MessageRequest& request) = 0;
};

}  // namespace paperloom::ui
