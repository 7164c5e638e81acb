#include "host/ado/Recordset.h"

#include <cmath>
#include <numeric>

#include "host/ado/AdoErrors.h"
#include "host/ado/Connection.h"
#include "host/ado/ValueCompare.h"
#include "host/AsciiText.h"

namespace paperloom::host::ado {
namespace {

[[noreturn]] void ThrowNoCurrentRecord() {
    ThrowAdoError(errors::kNoCurrentRecord, kRecordsetSource,
                  "BOF と EOF のいずれかが True になっているか、または現在のレコードが削除されています。"
                  "要求された操作には、現在のレコードが必要です。");
}

[[noreturn]] void ThrowItemNotFound(const std::string& what) {
    ThrowAdoError(errors::kItemNotFound, kFieldSource,
                  "要求された名前、または序数に対応する項目がコレクションで見つかりません。: " + what);
}

[[noreturn]] void ThrowBadBookmark() {
    ThrowAdoError(errors::kInvalidArgument, kRecordsetSource,
                  "引数が間違った型、許容範囲外、または競合しています。(ブックマーク)");
}

}  // namespace

// ---- Field ----

const std::string& Field::Name() const {
    owner_->RequireOpen();
    return owner_->data_->columns[index_].name;
}

DataTypeEnum Field::Type() const {
    owner_->RequireOpen();
    return owner_->data_->columns[index_].type;
}

long Field::DefinedSize() const {
    owner_->RequireOpen();
    return owner_->data_->columns[index_].definedSize;
}

const Variant& Field::Value() const { return owner_->Cell(index_); }

long FieldCollection::Count() const {
    owner_->RequireOpen();
    return static_cast<long>(owner_->data_->columns.size());
}

Field FieldCollection::Item(long index) const {
    if (index < 0 || index >= Count()) ThrowItemNotFound(std::to_string(index));
    return Field(*owner_, static_cast<std::size_t>(index));
}

Field FieldCollection::Item(std::string_view name) const {
    owner_->RequireOpen();
    const auto& columns = owner_->data_->columns;
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (CompareTextNoCase(columns[i].name, name) == 0) return Field(*owner_, i);
    ThrowItemNotFound(std::string(name));
}

// ---- Recordset ----

void Recordset::RequireOpen() const {
    if (!data_)
        ThrowAdoError(errors::kObjectClosed, kRecordsetSource,
                      "オブジェクトが閉じている場合は、操作は許可されません。");
}

void Recordset::RequireCurrent() const {
    RequireOpen();
    if (position_ < 0 || position_ >= Size()) ThrowNoCurrentRecord();
}

const Variant& Recordset::Cell(std::size_t column) const {
    RequireCurrent();
    return data_->At(view_[static_cast<std::size_t>(position_)], column);
}

void Recordset::Open(const std::string& source, const std::shared_ptr<Connection>& connection,
                     CommandTypeEnum commandType) {
    if (data_)
        ThrowAdoError(errors::kObjectOpen, kRecordsetSource,
                      "オブジェクトが開いている場合は、操作は許可されません。");
    if (!connection || connection->State() != ObjectStateEnum::adStateOpen)
        ThrowAdoError(errors::kObjectClosed, kRecordsetSource,
                      "接続が閉じているか、無効です。");
    OpenResult(connection->Fetch(source, commandType));
    if (data_) connection_ = connection;
}

void Recordset::OpenResult(ResultSet rows) {
    if (data_)
        ThrowAdoError(errors::kObjectOpen, kRecordsetSource,
                      "オブジェクトが開いている場合は、操作は許可されません。");
    if (rows.columns.empty()) return;  // no row-returning result: stays closed
    data_ = std::make_shared<const ResultSet>(std::move(rows));
    filter_.clear();
    sort_.clear();
    filterCriteria_.reset();
    sortOrder_ = SortOrder();
    RebuildView();
}

void Recordset::Close() noexcept {
    data_.reset();
    connection_.reset();
    view_.clear();
    view_.shrink_to_fit();
    positionOfRow_.clear();
    positionOfRow_.shrink_to_fit();
    position_ = -1;
    filter_.clear();
    sort_.clear();
    filterCriteria_.reset();
    sortOrder_ = SortOrder();
}

std::shared_ptr<Recordset> Recordset::Clone(LockTypeEnum lockType) const {
    RequireOpen();
    if (lockType != LockTypeEnum::adLockReadOnly && lockType != LockTypeEnum::adLockUnspecified)
        ThrowAdoError(errors::kInvalidArgument, kRecordsetSource, "複製は読み取り専用でのみ作成できます。");
    auto clone = std::make_shared<Recordset>();
    clone->connection_ = connection_;
    clone->data_ = data_;
    clone->view_ = view_;
    clone->position_ = position_;
    clone->filter_ = filter_;
    clone->sort_ = sort_;
    clone->filterCriteria_ = filterCriteria_;
    clone->sortOrder_ = sortOrder_;
    return clone;
}

void Recordset::RebuildView() {
    positionOfRow_.clear();
    const std::size_t rows = data_->RowCount();
    view_.resize(rows);
    std::iota(view_.begin(), view_.end(), std::uint32_t{0});
    // Filtering first sorts fewer rows; a stable sort keeps the fetched order among equals.
    if (filterCriteria_) {
        const std::size_t width = data_->ColumnCount();
        const Variant* cells = data_->cells.data();
        std::erase_if(view_, [&](std::uint32_t row) { return !filterCriteria_->Matches(cells + row * width); });
    }
    sortOrder_.Apply(*data_, view_);
    position_ = view_.empty() ? -1 : 0;
}

void Recordset::MoveFirst() {
    RequireOpen();
    position_ = view_.empty() ? -1 : 0;
}

void Recordset::MoveLast() {
    RequireOpen();
    position_ = view_.empty() ? -1 : Size() - 1;
}

void Recordset::MoveNext() {
    RequireOpen();
    if (IsEOF()) ThrowNoCurrentRecord();
    ++position_;
}

void Recordset::MovePrevious() {
    RequireOpen();
    if (IsBOF()) ThrowNoCurrentRecord();
    --position_;
}

long Recordset::PositionOf(const Variant& bookmark) const {
    const double* value = bookmark.Get<double>();
    if (!value || !std::isfinite(*value) || *value < 1 || *value != std::floor(*value)) ThrowBadBookmark();
    const auto row = static_cast<std::uint64_t>(*value) - 1;
    if (row >= data_->RowCount()) ThrowBadBookmark();
    // Print runs return to a saved bookmark once per record: index the view once, not per move.
    if (positionOfRow_.size() != data_->RowCount()) {
        positionOfRow_.assign(data_->RowCount(), -1);
        for (std::size_t i = 0; i < view_.size(); ++i) positionOfRow_[view_[i]] = static_cast<std::int32_t>(i);
    }
    const std::int32_t position = positionOfRow_[row];
    if (position < 0) ThrowBadBookmark();  // the record is hidden by the filter
    return position;
}

void Recordset::Move(long count, const Variant& start) {
    RequireOpen();
    long base = 0;
    if (start.IsEmpty()) {
        if ((count <= 0 && IsBOF()) || (count >= 0 && IsEOF())) ThrowNoCurrentRecord();
        base = position_;
    } else if (const auto* code = start.Get<std::int64_t>()) {
        switch (static_cast<BookmarkEnum>(*code)) {
            case BookmarkEnum::adBookmarkCurrent:
                if ((count <= 0 && IsBOF()) || (count >= 0 && IsEOF())) ThrowNoCurrentRecord();
                base = position_;
                break;
            case BookmarkEnum::adBookmarkFirst: base = 0; break;
            case BookmarkEnum::adBookmarkLast: base = Size() - 1; break;
            default: ThrowBadBookmark();
        }
        if (view_.empty()) return;
    } else {
        base = PositionOf(start);
    }
    const long long target = static_cast<long long>(base) + count;
    if (target < 0) position_ = -1;
    else if (target >= Size()) position_ = Size();
    else position_ = static_cast<long>(target);
}

bool Recordset::IsBOF() const {
    RequireOpen();
    return view_.empty() || position_ < 0;
}

bool Recordset::IsEOF() const {
    RequireOpen();
    return view_.empty() || position_ >= Size();
}

Variant Recordset::Bookmark() const {
    RequireCurrent();
    return Variant(static_cast<double>(view_[static_cast<std::size_t>(position_)]) + 1.0);
}

long Recordset::RecordCount() const {
    RequireOpen();
    return Size();
}

long Recordset::AbsolutePosition() const {
    RequireOpen();
    if (view_.empty()) return adPosUnknown;
    if (position_ < 0) return adPosBOF;
    if (position_ >= Size()) return adPosEOF;
    return position_ + 1;
}

void Recordset::Find(const std::string& criteria, long skipRecords, SearchDirectionEnum direction,
                     const Variant& start) {
    RequireOpen();
    Criteria parsed = Criteria::ParseFind(criteria);
    parsed.Bind(data_->columns);
    long from = 0;
    if (start.IsEmpty()) {
        if (IsBOF() || IsEOF()) ThrowNoCurrentRecord();
        from = position_;
    } else if (const auto* code = start.Get<std::int64_t>()) {
        if (*code == static_cast<int>(BookmarkEnum::adBookmarkFirst)) from = 0;
        else if (*code == static_cast<int>(BookmarkEnum::adBookmarkLast)) from = Size() - 1;
        else if (*code == static_cast<int>(BookmarkEnum::adBookmarkCurrent) && !IsBOF() && !IsEOF()) from = position_;
        else ThrowBadBookmark();
    } else {
        from = PositionOf(start);
    }
    const long step = direction == SearchDirectionEnum::adSearchBackward ? -1 : 1;
    const std::size_t width = data_->ColumnCount();
    const Variant* cells = data_->cells.data();
    for (long long i = static_cast<long long>(from) + static_cast<long long>(skipRecords) * step;
         i >= 0 && i < Size(); i += step) {
        if (parsed.Matches(cells + view_[static_cast<std::size_t>(i)] * width)) {
            position_ = static_cast<long>(i);
            return;
        }
    }
    position_ = step > 0 ? Size() : -1;
}

const std::string& Recordset::Filter() const {
    RequireOpen();
    return filter_;
}

void Recordset::SetFilter(const std::string& filter) {
    RequireOpen();
    std::optional<Criteria> parsed;
    if (!text::Trim(filter).empty()) {
        parsed = Criteria::ParseFilter(filter);
        parsed->Bind(data_->columns);
    }
    filterCriteria_ = std::move(parsed);
    filter_ = filterCriteria_ ? filter : std::string();
    RebuildView();
}

const std::string& Recordset::Sort() const {
    RequireOpen();
    return sort_;
}

void Recordset::SetSort(const std::string& sort) {
    RequireOpen();
    SortOrder parsed = SortOrder::Parse(sort);
    parsed.Bind(data_->columns);
    sortOrder_ = std::move(parsed);
    sort_ = sortOrder_.Empty() ? std::string() : sort;
    RebuildView();
}

FieldCollection Recordset::Fields() const {
    RequireOpen();
    return FieldCollection(*this);
}

}  // namespace paperloom::host::ado
