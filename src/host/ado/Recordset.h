#pragma once
// A client-side static, read-only recordset: all rows are fetched at Open into an immutable
// snapshot that clones share; position, filter and sort belong to each recordset.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/ado/Criteria.h"
#include "host/ado/DataTypes.h"
#include "host/ado/Provider.h"
#include "host/ado/SortOrder.h"
#include "host/ado/Variant.h"

namespace paperloom::host::ado {

class Connection;
class Recordset;

// One column of the current record. Valid while its recordset is open.
class Field {
public:
    const std::string& Name() const;
    DataTypeEnum Type() const;
    long DefinedSize() const;
    // The current record's value; throws HostError 3021 at BOF or EOF.
    const Variant& Value() const;

private:
    friend class FieldCollection;
    Field(const Recordset& owner, std::size_t index) : owner_(&owner), index_(index) {}
    const Recordset* owner_;
    std::size_t index_;
};

class FieldCollection {
public:
    long Count() const;
    // By 0-based position; throws HostError 3265 when out of range.
    Field Item(long index) const;
    // By name without regard to case; throws HostError 3265 for an unknown name.
    Field Item(std::string_view name) const;

private:
    friend class Recordset;
    explicit FieldCollection(const Recordset& owner) : owner_(&owner) {}
    const Recordset* owner_;
};

class Recordset {
public:
    static constexpr long adPosUnknown = -1;
    static constexpr long adPosBOF = -2;
    static constexpr long adPosEOF = -3;

    Recordset() = default;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Opens a statement, table or procedure on an open connection and fetches every row.
    // A statement that returns no rows leaves the recordset closed.
    void Open(const std::string& source, const std::shared_ptr<Connection>& connection,
              CommandTypeEnum commandType = CommandTypeEnum::adCmdText);
    // The full form; the cursor is always static and read-only whatever is asked for.
    void Open(const std::string& source, const std::shared_ptr<Connection>& connection,
              CursorTypeEnum /*cursorType*/, LockTypeEnum /*lockType*/, CommandTypeEnum commandType) {
        Open(source, connection, commandType);
    }
    CursorLocationEnum CursorLocation() const noexcept { return CursorLocationEnum::adUseClient; }
    void SetCursorLocation(CursorLocationEnum) noexcept {}
    // Opens on rows already fetched (Connection::Execute, OpenSchema).
    void OpenResult(ResultSet rows);

    ObjectStateEnum State() const noexcept {
        return data_ ? ObjectStateEnum::adStateOpen : ObjectStateEnum::adStateClosed;
    }
    void Close() noexcept;
    // Same rows, filter, sort and current record; moves independently afterwards.
    std::shared_ptr<Recordset> Clone(LockTypeEnum lockType = LockTypeEnum::adLockReadOnly) const;
    const std::shared_ptr<Connection>& ActiveConnection() const noexcept { return connection_; }

    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    // Moves `count` records from `start`: Empty = the current record, an integer 0/1/2 =
    // current/first/last, a Bookmark value = that record. Past either end leaves BOF or EOF.
    void Move(long count, const Variant& start = Variant());

    // BOF and EOF (EOF is a macro of the C library, hence the Is prefix on both).
    bool IsBOF() const;
    bool IsEOF() const;
    // Identifies the current record in this recordset and its clones; 3021 at BOF or EOF.
    Variant Bookmark() const;
    long RecordCount() const;
    long AbsolutePosition() const;

    // Searches for a record meeting one comparison, from the current record (or `start`)
    // after skipping `skipRecords`; leaves EOF (forward) or BOF (backward) when none does.
    void Find(const std::string& criteria, long skipRecords = 0,
              SearchDirectionEnum direction = SearchDirectionEnum::adSearchForward,
              const Variant& start = Variant());

    const std::string& Filter() const;
    // "" removes the filter. Moves to the first visible record.
    void SetFilter(const std::string& filter);
    const std::string& Sort() const;
    // "" restores the fetched order. Moves to the first visible record.
    void SetSort(const std::string& sort);

    FieldCollection Fields() const;

private:
    friend class Field;
    friend class FieldCollection;

    void RequireOpen() const;
    void RequireCurrent() const;
    void RebuildView();
    long PositionOf(const Variant& bookmark) const;
    long Size() const noexcept { return static_cast<long>(view_.size()); }
    const Variant& Cell(std::size_t column) const;

    std::shared_ptr<Connection> connection_;
    std::shared_ptr<const ResultSet> data_;
    std::vector<std::uint32_t> view_;  // visible row numbers in order
    mutable std::vector<std::int32_t> positionOfRow_;  // view index per row, -1 hidden; built on demand
    long position_ = -1;               // index in view_; -1 BOF, Size() EOF
    std::string filter_;
    std::string sort_;
    std::optional<Criteria> filterCriteria_;
    SortOrder sortOrder_;
};

}  // namespace paperloom::host::ado
