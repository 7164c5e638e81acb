#pragma once
// Saving a document that grows at its end (a print document of thousands of records) while it
// is being built: the main text's leading blocks are serialised and deflated (on a second
// thread) as they are finished and then leave the tree, so memory holds only the end of the
// text; Commit writes the rest and every other part. The file is the one Save would write,
// part for part, and it replaces the target atomically at the end.
//
// Between flushes the document is edited as usual at its end. Ranges into the main text do
// not survive a flush (positions count from the blocks still held); whoever needs the whole
// document afterwards opens the saved file.

#include <filesystem>
#include <memory>

namespace paperloom::word {

class Document;

class StreamedSave {
public:
    // Refuses a target that cannot be written (a folder, a read-only file) at once.
    StreamedSave(std::shared_ptr<Document> document, const std::filesystem::path& target);
    // Without Commit the target stays as it was.
    ~StreamedSave();
    StreamedSave(const StreamedSave&) = delete;
    StreamedSave& operator=(const StreamedSave&) = delete;

    // Writes out the main text's blocks except the last few, which an append at the end may
    // still change (the paragraph it goes into, and the section properties).
    void Flush();
    // Writes what is left and every other part, and puts the file in place.
    void Commit();

    // Blocks kept in the tree by Flush, the section properties among them.
    static constexpr std::size_t kBlocksKept = 4;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace paperloom::word
