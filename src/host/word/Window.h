#pragma once
// The document's window (there is one per document here) and its view settings.

#include <memory>

namespace paperloom::word {

namespace detail {
class DocumentState;
}

class View {
public:
    explicit View(std::shared_ptr<detail::DocumentState> doc) : doc_(std::move(doc)) {}
    // While on, ranges read hidden text as if their retrieval included it.
    bool ShowHiddenText() const;
    void SetShowHiddenText(bool show);
    // While on, the window draws field codes instead of field results (ranges read as before).
    bool ShowFieldCodes() const;
    void SetShowFieldCodes(bool show);

private:
    std::shared_ptr<detail::DocumentState> doc_;
};

class Window {
public:
    explicit Window(std::shared_ptr<detail::DocumentState> doc) : doc_(std::move(doc)) {}
    bool Visible() const;
    void SetVisible(bool visible);
    word::View View() const { return word::View(doc_); }

private:
    std::shared_ptr<detail::DocumentState> doc_;
};

class Windows {
public:
    explicit Windows(std::shared_ptr<detail::DocumentState> doc) : doc_(std::move(doc)) {}
    long Count() const { return 1; }
    Window Item(long index) const;

private:
    std::shared_ptr<detail::DocumentState> doc_;
};

}  // namespace paperloom::word
