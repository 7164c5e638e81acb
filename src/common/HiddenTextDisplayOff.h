#pragma once
// Switches the display of hidden text off in a document's view for a scope and puts the
// previous setting back when the scope ends, however it ends. Reading property text needs
// it: while hidden text is displayed, a range's ordinary text includes it.

namespace paperloom::word {
class Document;
}

namespace paperloom {

class HiddenTextDisplayOff {
public:
    explicit HiddenTextDisplayOff(word::Document& document);
    ~HiddenTextDisplayOff();
    HiddenTextDisplayOff(const HiddenTextDisplayOff&) = delete;
    HiddenTextDisplayOff& operator=(const HiddenTextDisplayOff&) = delete;

private:
    word::Document& document_;
    bool wasShown_;
};

}  // namespace paperloom
