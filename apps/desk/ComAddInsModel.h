#pragma once
// What the COM add-ins dialog shows and does, without a window: one row per registered add-in
// with a connect check box. OK connects the newly checked ones and disconnects the unchecked
// ones as the user unloading them, and records in the registry whether each is to be loaded
// at the next start-up.

#include <cstddef>
#include <string>
#include <vector>

namespace paperloom::word {
class AddInHost;
}

namespace paperloom::desk {

class ComAddInsModel {
public:
    struct Row {
        std::string progId;
        std::string friendlyName;
        std::string location;
        long loadBehavior = 0;
        bool connected = false;  // when the dialog opened
        bool checked = false;    // as the user left the box
    };

    explicit ComAddInsModel(word::AddInHost& host);

    const std::vector<Row>& Rows() const noexcept { return rows_; }
    void SetChecked(std::size_t row, bool checked);
    // True when a box differs from the add-in's state.
    bool Dirty() const;
    // The label under the list for a row: where the library is and when it loads.
    std::string DetailsText(std::size_t row) const;
    // The dialog's OK. Returns one line per add-in that could not be connected (it stays
    // unchecked); the others are applied all the same.
    std::vector<std::string> Apply();

private:
    void Read();

    word::AddInHost& host_;
    std::vector<Row> rows_;
};

// "スタートアップ時に読み込む" and the like, for a registry load behaviour.
std::string LoadBehaviorText(long loadBehavior);

}  // namespace paperloom::desk
