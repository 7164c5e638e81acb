#include "host/word/Snapshot.h"

#include <algorithm>
#include <unordered_map>

#include "host/word/Document.h"
#include "host/word/detail/DocumentState.h"

namespace paperloom::word {

std::optional<std::string_view> DocumentSnapshot::PartBytes(std::string_view name) const {
    for (const auto& part : parts_)
        if (part.name == name) return std::string_view(*part.bytes);
    return std::nullopt;
}

std::size_t DocumentSnapshot::BytesNotIn(const DocumentSnapshot* other) const {
    std::size_t total = 0;
    for (const auto& part : parts_) {
        const bool shared = other && std::any_of(other->parts_.begin(), other->parts_.end(),
                                                 [&](const Part& p) { return p.bytes == part.bytes; });
        if (!shared) total += part.bytes->size();
    }
    return total;
}

bool DocumentSnapshot::operator==(const DocumentSnapshot& other) const {
    if (parts_.size() != other.parts_.size()) return false;
    for (std::size_t i = 0; i < parts_.size(); ++i) {
        const auto& a = parts_[i];
        const auto& b = other.parts_[i];
        if (a.name != b.name) return false;
        if (a.bytes != b.bytes && *a.bytes != *b.bytes) return false;
    }
    return true;
}

DocumentSnapshot DocumentSnapshot::Of(const docx::Package& package) {
    DocumentSnapshot snapshot;
    for (auto& name : package.PartNames()) {
        auto bytes = std::make_shared<const std::string>(package.PartBytes(name));
        snapshot.parts_.push_back({std::move(name), std::move(bytes)});
    }
    return snapshot;
}

DocumentSnapshot Document::Snapshot(const DocumentSnapshot* previous) const {
    state_->CheckOpen();
    // Text boxes edited in one form are brought into the other, as saving would.
    state_->SyncTextBoxCopies();
    const auto& package = state_->Package();
    std::unordered_map<std::string_view, const std::shared_ptr<const std::string>*> before;
    if (previous)
        for (const auto& part : previous->parts_) before.emplace(part.name, &part.bytes);
    DocumentSnapshot snapshot;
    for (auto& name : package.PartNames()) {
        const auto earlier = before.find(name);
        const auto same = [&](std::string_view bytes) {
            return earlier != before.end() && **earlier->second == bytes;
        };
        std::shared_ptr<const std::string> bytes;
        if (const auto stored = package.StoredBytes(name)) {
            bytes = same(*stored) ? *earlier->second : std::make_shared<const std::string>(*stored);
        } else {
            auto serialised = package.PartBytes(name);
            bytes = same(serialised) ? *earlier->second : std::make_shared<const std::string>(std::move(serialised));
        }
        snapshot.parts_.push_back({std::move(name), std::move(bytes)});
    }
    return snapshot;
}

void Document::Restore(const DocumentSnapshot& snapshot) {
    state_->CheckOpen();
    auto& package = state_->Package();
    // Parts made since go first; the content types come back with the snapshot's bytes.
    for (const auto& name : package.PartNames())
        if (!snapshot.PartBytes(name) && package.HasPart(name)) package.RemovePart(name);
    for (const auto& part : snapshot.parts_) {
        if (package.HasPart(part.name)) {
            const auto stored = package.StoredBytes(part.name);
            if (stored && *stored == *part.bytes) continue;
        }
        // No content type: the snapshot's [Content_Types].xml names them all.
        package.SetPartBytes(part.name, *part.bytes, {});
    }
    state_->PartsRestored();
}

}  // namespace paperloom::word
