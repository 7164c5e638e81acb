#pragma once
// A document's package as it stood at one moment, part by part, for undo and redo: restoring
// it gives back every part's bytes exactly. A snapshot taken after another shares the bytes of
// the parts that did not change, so a history of small edits costs what the edits changed.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace paperloom::docx {
class Package;
}

namespace paperloom::word {

class DocumentSnapshot {
public:
    // Every part of a package as it would be saved, such as a file read again from disk;
    // Document::Restore then makes an open document that file.
    static DocumentSnapshot Of(const docx::Package& package);

    struct Part {
        std::string name;
        std::shared_ptr<const std::string> bytes;
    };

    const std::vector<Part>& Parts() const noexcept { return parts_; }
    std::optional<std::string_view> PartBytes(std::string_view name) const;
    // The bytes this snapshot holds that `other` does not share with it.
    std::size_t BytesNotIn(const DocumentSnapshot* other) const;
    // Same parts with the same bytes.
    bool operator==(const DocumentSnapshot& other) const;

private:
    friend class Document;
    std::vector<Part> parts_;
};

}  // namespace paperloom::word
