#include "host/ui/MessageService.h"

namespace paperloom::ui {

bool IsAnswerOf(MessageButtons buttons, long answer) {
    switch (buttons) {
        case MessageButtons::OK:
            return answer == vbOK;
        case MessageButtons::OKCancel:
            return answer == vbOK || answer == vbCancel;
        case MessageButtons::YesNo:
            return answer == vbYes || answer == vbNo;
        case MessageButtons::YesNoCancel:
            return answer == vbYes || answer == vbNo || answer == vbCancel;
    }
    return false;
}

}  // namespace paperloom::ui
