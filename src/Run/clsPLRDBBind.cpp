#include "Run/clsPLRDBBind.h"

#include "Run/LinkCondition.h"
#include "common/modPLFunction.h"
#include "host/DebugLog.h"
#include "host/HostError.h"
#include "host/ado/DataTypes.h"

namespace paperloom {

using host::ado::DataTypeEnum;
using host::ado::ObjectStateEnum;
using host::ado::SearchDirectionEnum;
using host::ado::Variant;

// Connection and record source ---------------------------------------------------------------------

bool clsPLRDBBind::DBConnect(const std::shared_ptr<word::Document>& docTarget) {
    DBDisconnect();
    mdocTarget = docTarget;
    if (!mdocTarget) return false;
    mconDataSource = modPLFunction::ConnectHeaderDataSource(*mdocTarget);
    return IsConnect();
}

void clsPLRDBBind::DBDisconnect() {
    DBClose();
    if (!mconDataSource) return;
    // A clone's connection belongs to its source, which may still be reading through it.
    if (!mblnClone) {
        // Clean-up: a failing close must not keep the binding half-connected.
        try {
            if (mconDataSource->State() != ObjectStateEnum::adStateClosed) mconDataSource->Close();
        } catch (const std::exception&) {
            debuglog::Swallowed("clsPLRDBBind.cpp: clsPLRDBBind::DBDisconnect");
        }
    }
    mconDataSource.reset();
    mconBorrowed.reset();
    mblnClone = false;  // it shares nothing any more
}

bool clsPLRDBBind::DBOpen() {
    if (!IsConnect()) return false;
    DBClose();
    if (!mdocTarget) return false;
    mrsRecordSource = modPLFunction::OpenHeaderRecordset(mconDataSource, *mdocTarget);
    if (!mrsRecordSource) return false;
    const auto borrowed = mconBorrowed.lock();
    mblnClone = mblnClone && borrowed && borrowed == mconDataSource;
    return true;
}

void clsPLRDBBind::DBClose() {
    if (!mrsRecordSource) return;
    if (mrsRecordSource->State() != ObjectStateEnum::adStateClosed) mrsRecordSource->Close();
    mrsRecordSource.reset();
}

std::shared_ptr<clsPLRDBBind> clsPLRDBBind::DBClone(const std::shared_ptr<word::Document>& docTarget) const {
    if (!IsOpen()) return nullptr;
    auto clone = std::make_shared<clsPLRDBBind>();
    clone->mdocTarget = docTarget;
    clone->mrsRecordSource = mrsRecordSource->Clone();
    clone->mconDataSource = mconDataSource;
    clone->mconBorrowed = mconDataSource;
    if (!clone->IsOpen()) return nullptr;
    clone->mblnClone = true;
    return clone;
}

bool clsPLRDBBind::IsOpen() const noexcept {
    return mrsRecordSource && mrsRecordSource->State() != ObjectStateEnum::adStateClosed;
}

std::string clsPLRDBBind::GetDocumentName() const { return mdocTarget ? mdocTarget->Name() : std::string(); }

// Navigation and position ----------------------------------------------------------------------------

void clsPLRDBBind::MoveFirst() {
    if (!IsOpen()) return;
    try {
        mrsRecordSource->MoveFirst();
    } catch (const host::HostError&) {
        debuglog::Swallowed("clsPLRDBBind.cpp: clsPLRDBBind::MoveFirst");
        // An empty record source has no first record; staying put is the answer.
    }
}

void clsPLRDBBind::MovePrev(bool blnToBOF) {
    if (!IsOpen() || mrsRecordSource->IsBOF()) return;
    mrsRecordSource->MovePrevious();
    if (!blnToBOF && mrsRecordSource->IsBOF()) mrsRecordSource->MoveNext();
}

void clsPLRDBBind::MoveNext(bool blnToEOF) {
    if (!IsOpen() || mrsRecordSource->IsEOF()) return;
    mrsRecordSource->MoveNext();
    if (!blnToEOF && mrsRecordSource->IsEOF()) mrsRecordSource->MovePrevious();
}

void clsPLRDBBind::MoveLast() {
    if (!IsOpen()) return;
    try {
        mrsRecordSource->MoveLast();
    } catch (const host::HostError&) {
        debuglog::Swallowed("clsPLRDBBind.cpp: clsPLRDBBind::MoveLast");
        // An empty record source has no last record; staying put is the answer.
    }
}

long clsPLRDBBind::GetRecordIndex() const {
    if (!IsOpen()) return 0;
    const long position = mrsRecordSource->AbsolutePosition();
    return position > 0 ? position : 0;
}

bool clsPLRDBBind::HasRecords() const {
    return IsOpen() && !(mrsRecordSource->IsBOF() && mrsRecordSource->IsEOF());
}

void clsPLRDBBind::LandOnRecord() {
    if (mrsRecordSource->IsEOF()) {
        mrsRecordSource->MoveLast();
    } else if (mrsRecordSource->IsBOF()) {
        mrsRecordSource->MoveFirst();
    }
}

void clsPLRDBBind::Move(const Variant& vrtBookmark) {
    // Checked on the record count, not on EOF: after running off the end (a print loop) the
    // binding must still be able to return to a record.
    if (!HasRecords()) return;
    mrsRecordSource->Move(0, vrtBookmark);
    LandOnRecord();
}

void clsPLRDBBind::MovePos(long lngRecordIndex) {
    if (!HasRecords()) return;
    // Any index below 1 lands on the first record; clamping keeps "index - 1" from overflowing.
    const long lngCount = lngRecordIndex < 1 ? -1 : lngRecordIndex - 1;
    mrsRecordSource->Move(lngCount, Variant(static_cast<int>(host::ado::BookmarkEnum::adBookmarkFirst)));
    LandOnRecord();
}

void clsPLRDBBind::SaveCurrent() {
    if (!IsOpen() || mrsRecordSource->IsEOF() || mrsRecordSource->IsBOF()) return;
    mvntSavedPosition = mrsRecordSource->Bookmark();
}

void clsPLRDBBind::RestoreCurrent() {
    if (!IsOpen() || mvntSavedPosition.IsEmpty() || mvntSavedPosition.IsNull()) return;
    mrsRecordSource->Move(0, mvntSavedPosition);
}

Variant clsPLRDBBind::GetRecordPos() const {
    // At BOF there is no current record either; asking for its bookmark would raise.
    if (!IsOpen() || mrsRecordSource->IsEOF() || mrsRecordSource->IsBOF()) return Variant::Null();
    return mrsRecordSource->Bookmark();
}

long clsPLRDBBind::GetRecordCount() const {
    if (!IsOpen() || mrsRecordSource->IsEOF()) return 0;
    return mrsRecordSource->RecordCount();
}

bool clsPLRDBBind::IsEOF() const { return !IsOpen() || mrsRecordSource->IsEOF(); }

int clsPLRDBBind::GetFieldType(std::string_view strFieldName) const {
    if (!IsOpen()) return kFieldKindOther;
    DataTypeEnum type = DataTypeEnum::adEmpty;
    try {
        type = mrsRecordSource->Fields().Item(strFieldName).Type();
    } catch (const host::HostError&) {
        debuglog::Swallowed("clsPLRDBBind.cpp: clsPLRDBBind::GetFieldType");
        return kFieldKindOther;  // a field the record source does not have
    }
    // Truth values and variants have kinds of their own here; the rest as a link key compares.
    if (type == DataTypeEnum::adBoolean) return kFieldKindBoolean;
    if (type == DataTypeEnum::adVariant) return kFieldKindVariant;
    switch (run::KindOfType(type)) {
        case run::KeyKind::Number: return kFieldKindNumber;
        case run::KeyKind::Date: return kFieldKindDate;
        case run::KeyKind::Text: return kFieldKindString;
        case run::KeyKind::Other: break;
    }
    return kFieldKindOther;
}

bool clsPLRDBBind::Find(const std::string& strCondition, long lngSkipRows, bool blnSerchForword) {
    if (!IsOpen() || mrsRecordSource->IsEOF() || mrsRecordSource->IsBOF()) return false;
    const auto direction =
        blnSerchForword ? SearchDirectionEnum::adSearchForward : SearchDirectionEnum::adSearchBackward;
    mrsRecordSource->Find(strCondition, lngSkipRows, direction);
    return blnSerchForword ? !mrsRecordSource->IsEOF() : !mrsRecordSource->IsBOF();
}

std::string clsPLRDBBind::GetSort() const { return IsOpen() ? mrsRecordSource->Sort() : std::string(); }

void clsPLRDBBind::SetSort(const std::string& strSort) {
    if (IsOpen()) mrsRecordSource->SetSort(strSort);
}

}  // namespace paperloom
