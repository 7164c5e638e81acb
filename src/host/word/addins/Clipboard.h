#pragma once
// The host's clipboard: one bitmap and one text at a time. Toolbar faces go through it (a
// picture is put on it, then pasted onto a button). It is held in memory unless the host
// gives it a store of its own, such as the desktop's clipboard.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace paperloom::word {

class Clipboard {
public:
    // Where the contents live when not in memory.
    class Store {
    public:
        virtual ~Store() = default;
        virtual void Clear() = 0;
        // Each replaces whatever the store held.
        virtual void SetBitmap(std::vector<std::byte> bitmap) = 0;
        virtual void SetText(std::string text) = 0;
        virtual std::optional<std::vector<std::byte>> Bitmap() const = 0;
        virtual std::optional<std::string> Text() const = 0;
    };

    // nullptr: back to memory (what memory held before is kept there).
    void UseStore(std::shared_ptr<Store> store) noexcept { store_ = std::move(store); }

    void Clear() noexcept;
    // A device-independent bitmap file image (BMP).
    void SetBitmap(std::vector<std::byte> bitmap);
    void SetText(std::string text);
    std::optional<std::vector<std::byte>> Bitmap() const;
    std::optional<std::string> Text() const;

private:
    std::optional<std::vector<std::byte>> bitmap_;
    std::optional<std::string> text_;
    std::shared_ptr<Store> store_;
};

}  // namespace paperloom::word
