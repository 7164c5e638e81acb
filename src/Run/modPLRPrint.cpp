#include "Run/modPLRPrint.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <utility>

#include "Run/clsPLRSrcDocHolder.h"
#include "Run/frmPLRInProgress.h"
#include "Run/modPLRFunction.h"
#include "common/modPLConst.h"
#include "common/clsPLProperty.h"
#include "common/clsPLRange.h"
#include "common/modPLFunction.h"
#include "host/HostError.h"
#include "host/word/Constants.h"
#include "host/word/Shapes.h"
#include "host/word/StreamedSave.h"

namespace paperloom::modPLRFunction {
namespace {

// The working copy is rebuilt before every record whose number is a multiple of this: a
// document refilled over and over grows slow.
constexpr long kRecordsPerWorkingCopy = 10;

// A new page at the end of the print document. The break ends the paragraph it is put in, as
// the word processor's does: the next copy starts a paragraph of its own instead of joining
// the last one, so neither takes the other's paragraph formatting.
void AppendPageBreak(const word::Range& rangePrint) {
    auto at = rangePrint.Document()->Content();
    at.Collapse(word::wdCollapseEnd);
    at.InsertBreak(word::wdPageBreak);
    at.InsertAfter("\r");
}

word::Window FirstWindow(const word::Document& document) { return document.Windows().Item(1); }

// The detail tables of the working copy bound by `binding`, with their capacities.
void LoadDetailTables(clsPLRDBBind& binding, PrintDetailTables& tables) {
    tables = PrintDetailTables{};
    binding.GetDetailsAndProps(tables.tblaryTarget, tables.straryDetailProp, tables.vararyColumnProp);
    // Property texts that could not all be read count as empty: such tables are left unfilled.
    const auto count = tables.tblaryTarget.size();
    tables.straryDetailProp.resize(count);
    tables.vararyColumnProp.resize(count);
    GetDetailCapacities(tables.lngCapacities, tables.tblaryTarget, tables.straryDetailProp);
    tables.lngRecordsDone.assign(count, 0);
    tables.lngRowsNeeded.assign(count, 0);
    tables.childKeyTypes.assign(count, {});
}

// Fills every table for one detail page; true when any table has records left for another.
bool FillDetailPage(PrintDetailTables& tables, long lngDetailIndex, clsPLRDBBind& binding) {
    bool blnMoreData = false;
    for (std::size_t t = 0; t < tables.tblaryTarget.size(); ++t) {
        run::DetailPrintContext context;
        context.blnPrintRun = true;
        context.blnRecordStart = lngDetailIndex == 1;
        context.lngRecordsDone = lngDetailIndex == 1 ? 0 : tables.lngRecordsDone[t];
        context.childKeyType = &tables.childKeyTypes[t];
        binding.SetDetailData(tables.tblaryTarget[t], tables.lngCapacities[t], tables.straryDetailProp[t],
                              tables.vararyColumnProp[t], true, lngDetailIndex, nullptr, context);
        if (lngDetailIndex == 1) {
            tables.lngRecordsDone[t] = context.lngRecordsShown;
            tables.lngRowsNeeded[t] = context.lngRowsNeeded;
        } else {
            tables.lngRecordsDone[t] += context.lngRecordsShown;
        }
        blnMoreData = blnMoreData || context.blnMoreData;
    }
    return blnMoreData;
}

// The copy's text boxes get the text of the source's boxes with their fields turned into
// results, which the copy of the main text does not do. Both lists are in the same order.
void RefillTextBoxes(const word::Shapes& sourceShapes, const word::Shapes& copyShapes, long lngSeqIndex) {
    const clsPLRange range;
    const auto refill = [&](const word::Shape& from, const word::Shape& to) {
        if (!from.TextFrame().HasText()) return;
        auto target = to.TextFrame().TextRange();
        target.SetText("");
        range.AppendRangeToPrintDoc(target, from.TextFrame().TextRange(), lngSeqIndex);
    };
    const long count = std::min(sourceShapes.Count(), copyShapes.Count());
    for (long i = 1; i <= count; ++i) {
        const word::Shape& from = sourceShapes.Item(i);
        const word::Shape& to = copyShapes.Item(i);
        if (from.Type() != word::msoGroup) {
            refill(from, to);
            continue;
        }
        // A copy that is not the same group is not the source's shape: nothing to refill.
        if (to.Type() != word::msoGroup) continue;
        const auto fromItems = from.GroupItems();
        const auto toItems = to.GroupItems();
        for (long j = 1; j <= std::min(fromItems.Count(), toItems.Count()); ++j) {
            refill(fromItems.Item(j), toItems.Item(j));
        }
    }
}

// Runs one clean-up step; its error, if any, replaces the one saved so far.
void SavingError(std::exception_ptr& saved, const std::function<void()>& step) {
    try {
        step();
    } catch (...) {
        saved = std::current_exception();
    }
}

// One build of a print document and everything it changes on the way, so that the changes
// are undone whether the build ends normally or with an error.
class PrintDocBuild {
public:
    PrintDocBuild(word::Application& application, run::BindingRegistry& registry)
        : mApplication(application), mRegistry(registry) {}
    PrintDocBuild(const PrintDocBuild&) = delete;
    PrintDocBuild& operator=(const PrintDocBuild&) = delete;

    // Everything up to and including the record loop; errors go straight to the caller.
    void Fill(const std::shared_ptr<word::Document>& docTarget, bool blnAllRecords, bool blnPrint,
              const PrintDocFile* file = nullptr) {
        mApplication.SetScreenUpdating(false);

        mblnShowProgress = FirstWindow(*docTarget).Visible();
        if (mblnShowProgress) {
            mProgress = std::make_unique<frmPLRInProgress>();
            mProgress->Show();
            mProgress->SetMessage(blnPrint ? "印刷データの作成の準備中です..." : "印刷用文書の作成の準備中です...");
        }

        // With every window hidden, closing the run's own documents leaves the application
        // without an active document; the one the user was on is made active again at the end.
        mActive = ActiveOrNone(mApplication);
        // Taken first: hiding must not depend on documents the loop opens and closes.
        const std::vector<std::shared_ptr<word::Document>> open(mApplication.Documents().begin(),
                                                                mApplication.Documents().end());
        for (const auto& document : open) {
            auto window = FirstWindow(*document);
            if (window.Visible()) {
                mHidden.push_back(document);
                window.SetVisible(false);
            }
        }

        mHolder = std::make_unique<clsPLRSrcDocHolder>(mApplication, mRegistry);
        auto docSource = mHolder->CreateSrcDoc(docTarget, !blnAllRecords);
        if (mblnShowProgress) FirstWindow(*docSource).SetVisible(false);

        // Relative picture paths in picture fields are resolved against the template's folder.
        modPLFunction::SetDefaultFolder(docTarget->Path());

        mdocPrint = mApplication.Documents().Add();
        if (mblnShowProgress) {
            FirstWindow(*mdocPrint).SetVisible(false);
            mProgress->SetMessage(blnPrint ? "印刷データの作成中です..." : "印刷用文書の作成中です...");
        }

        CopyFirstHeaderFooter(*docTarget);

        PrintRun run{mRegistry, mProgress.get()};
        if (file) {
            mStream = std::make_unique<word::StreamedSave>(mdocPrint, file->path);
            run.stream = mStream.get();
            run.lngFirstRecord = file->lngFirstRecord;
            run.lngLastRecord = file->lngLastRecord;
        }
        FillPrintDoc(run, docSource, mdocPrint, *mHolder, blnAllRecords);
        mlngRecordsPrinted = run.lngRecordsPrinted;
    }

    long RecordsPrinted() const { return mlngRecordsPrinted; }

    // Printing and the clean-up: every step runs, and the last error is raised at the end.
    std::shared_ptr<word::Document> Finish(bool blnPrint) {
        std::exception_ptr saved;
        if (mStream) {
            // The file is complete; the print document is no one's to keep.
            SavingError(saved, [&] { mStream->Commit(); });
            SavingError(saved, [&] { ClosePrintDoc(); });
            mStream.reset();
        }
        if (blnPrint) {
            SavingError(saved, [&] { mdocPrint->PrintOut(); });
            // Closed even when printing failed: the print document is no one's to keep.
            SavingError(saved, [&] { ClosePrintDoc(); });
        }
        SavingError(saved, [&] { mProgress.reset(); });
        SavingError(saved, [&] { CloseWorkingCopy(); });
        for (const auto& document : mHidden) {
            SavingError(saved, [&] { FirstWindow(*document).SetVisible(true); });
        }
        std::shared_ptr<word::Document> result;
        if (!blnPrint && mdocPrint && !mdocPrint->Closed()) {
            if (mblnShowProgress) SavingError(saved, [&] { FirstWindow(*mdocPrint).SetVisible(true); });
            result = mdocPrint;
            // The print document left open for the user is the one in front.
            SavingError(saved, [&] { if (FirstWindow(*mdocPrint).Visible()) mdocPrint->Activate(); });
        } else {
            SavingError(saved, [&] { Reactivate(); });
        }
        mApplication.SetScreenUpdating(true);
        if (saved) std::rethrow_exception(saved);
        return result;
    }

    // After an error in Fill: undo what was done so far (the half-built print document is
    // closed without saving). Errors of the clean-up itself are dropped: the first one counts.
    void Abandon() noexcept {
        std::exception_ptr ignored;
        SavingError(ignored, [&] { mProgress.reset(); });
        SavingError(ignored, [&] { ClosePrintDoc(); });
        // Its temporary file goes; the target stays as it was.
        SavingError(ignored, [&] { mStream.reset(); });
        SavingError(ignored, [&] { CloseWorkingCopy(); });
        for (const auto& document : mHidden) {
            SavingError(ignored, [&] { FirstWindow(*document).SetVisible(true); });
        }
        SavingError(ignored, [&] { Reactivate(); });
        mApplication.SetScreenUpdating(true);
    }

private:
    static std::shared_ptr<word::Document> ActiveOrNone(word::Application& application) {
        try {
            return application.ActiveDocument();
        } catch (const host::HostError&) {
            return nullptr;  // nothing was active; nothing to give back
        }
    }
    void Reactivate() {
        if (mActive && !mActive->Closed()) mActive->Activate();
    }

    // The template's own first primary header and footer, when it asks for them. A template
    // without such a header is not given one: it is only read.
    void CopyFirstHeaderFooter(word::Document& docTarget) {
        const clsPLProperty property;
        const clsPLRange range;
        const auto copy = [&](bool footers) {
            const auto from = footers ? docTarget.Sections().First().Footers() : docTarget.Sections().First().Headers();
            const auto to = footers ? mdocPrint->Sections().First().Footers() : mdocPrint->Sections().First().Headers();
            const auto source = from.Item(word::wdHeaderFooterPrimary);
            if (!source.Exists()) return;
            range.CopyRange(to.Item(word::wdHeaderFooterPrimary).Range(), source.Range());
        };
        const auto flag = [&](std::string_view key) {
            return modPLFunction::TextToFlag(property.GetDocVariable(key, docTarget, modPLConst::DEFAULT_COPY_PRIMARY));
        };
        if (flag(modPLConst::PROP_COPY_PRIMARY_HEADER)) copy(false);
        if (flag(modPLConst::PROP_COPY_PRIMARY_FOOTER)) copy(true);
    }

    void ClosePrintDoc() {
        if (mdocPrint && !mdocPrint->Closed()) mdocPrint->Close(word::wdDoNotSaveChanges);
    }

    void CloseWorkingCopy() {
        if (!mHolder) return;
        const auto holder = std::move(mHolder);
        holder->CloseSrcDoc();
    }

    word::Application& mApplication;
    run::BindingRegistry& mRegistry;
    bool mblnShowProgress = false;
    std::unique_ptr<frmPLRInProgress> mProgress;
    std::vector<std::shared_ptr<word::Document>> mHidden;
    std::shared_ptr<word::Document> mActive;
    std::unique_ptr<clsPLRSrcDocHolder> mHolder;
    std::shared_ptr<word::Document> mdocPrint;
    std::unique_ptr<word::StreamedSave> mStream;
    long mlngRecordsPrinted = 0;
};

}  // namespace

std::shared_ptr<word::Document> BuildPrintDoc(word::Application& application, run::BindingRegistry& registry,
                                              const std::shared_ptr<word::Document>& docTarget, bool blnAllRecords,
                                              bool blnPrint) {
    if (!docTarget) throw host::HostError(91, "modPLRFunction", "No template was given.");
    PrintDocBuild build(application, registry);
    try {
        build.Fill(docTarget, blnAllRecords, blnPrint);
    } catch (...) {
        build.Abandon();
        throw;
    }
    return build.Finish(blnPrint);
}

long WritePrintDoc(word::Application& application, run::BindingRegistry& registry,
                   const std::shared_ptr<word::Document>& docTarget, const PrintDocFile& file) {
    if (!docTarget) throw host::HostError(91, "modPLRFunction", "No template was given.");
    PrintDocBuild build(application, registry);
    try {
        build.Fill(docTarget, true, false, &file);
    } catch (...) {
        build.Abandon();
        throw;
    }
    build.Finish(false);
    return build.RecordsPrinted();
}

void FillPrintDoc(PrintRun& run, std::shared_ptr<word::Document>& docSource,
                  const std::shared_ptr<word::Document>& docPrint, clsPLRSrcDocHolder& holder, bool blnAllRecords) {
    const bool blnShowHiddenText = FirstWindow(*docSource).View().ShowHiddenText();

    // Pages of the print document break as the template's do.
    CopyPageSetup(*docPrint, *docSource);
    CopyDocumentSettings(*docPrint, *docSource);
    CopyUsedStyles(*docPrint, *docSource);

    auto binding = FindDocumentBind(run.registry, *docSource);
    auto rangeSource = docSource->Content();
    const auto rangePrint = docPrint->Content();

    if (!binding) {
        // An unbound template gives a plain copy of itself.
        AppendSourceToPrintDoc(rangePrint, rangeSource, 1);
    } else {
        PrintDetailTables tables;
        LoadDetailTables(*binding, tables);
        long lngRecordCount = 1;
        // A slice of the records: the loop starts on its first and stops after its last.
        const bool blnSlice = blnAllRecords && (run.lngFirstRecord > 1 || run.lngLastRecord > 0);
        long lngFirst = 1;
        long lngLast = 0;
        if (blnAllRecords) {
            binding->MoveFirst();
            lngRecordCount = binding->GetRecordCount();
        }
        if (blnSlice) {
            lngFirst = std::max(1L, run.lngFirstRecord);
            lngLast = run.lngLastRecord > 0 ? std::min(run.lngLastRecord, lngRecordCount) : lngRecordCount;
            // A slice past the last record holds none.
            if (lngFirst > 1 && lngFirst <= lngLast) binding->MovePos(lngFirst);
            lngRecordCount = std::max(0L, lngLast - lngFirst + 1);
        }
        if (run.progress) run.progress->SetPageCount(lngRecordCount);

        for (long lngRecord = lngFirst; !binding->IsEOF() && (!blnSlice || lngRecord <= lngLast);) {
            if (run.progress) {
                run.progress->SetPageIndex(lngRecord - lngFirst + 1);
                run.progress->SetDetailPageIndex(0);
            }
            FillPrintRecord(run, rangePrint, rangeSource, lngRecord, tables, true, *binding);
            ++run.lngRecordsPrinted;
            if (!blnAllRecords || (blnSlice && lngRecord == lngLast)) break;
            binding->MoveNext(true);
            if (binding->IsEOF()) break;
            AppendPageBreak(rangePrint);
            // The record is finished: nothing appended later reaches back into it.
            if (run.stream) run.stream->Flush();

            ++lngRecord;
            if (lngRecord % kRecordsPerWorkingCopy == 0) {
                docSource = holder.RecreateSrcDoc(true);
                if (run.progress) FirstWindow(*docSource).SetVisible(false);
                binding = FindDocumentBind(run.registry, *docSource);
                if (!binding) {
                    throw host::HostError(5, "modPLRFunction", "The rebuilt working copy lost its binding.");
                }
                rangeSource = docSource->Content();
                LoadDetailTables(*binding, tables);
            }
        }
    }

    FirstWindow(*docSource).View().SetShowHiddenText(blnShowHiddenText);
    FirstWindow(*docPrint).View().SetShowHiddenText(blnShowHiddenText);
}

void FillPrintRecord(PrintRun& run, const word::Range& rangePrint, const word::Range& rangeSource, long lngSeqIndex,
                     PrintDetailTables& tables, bool blnPrint, clsPLRDBBind& binding) {
    bool blnMoreData = FillDetailPage(tables, 1, binding);
    const long lngDetailPages = CountDetailPages(tables.lngCapacities, tables.lngRowsNeeded, tables.straryDetailProp);

    std::vector<word::Fields> collFields;
    std::vector<clsPLRReturnField> collNativeFields;
    binding.SetHeadData(lngSeqIndex, lngDetailPages, &collFields, &collNativeFields, blnPrint);

    for (long lngDetailPage = 1;; ++lngDetailPage) {
        if (lngDetailPages > 1 && run.progress) run.progress->SetDetailPageIndex(lngDetailPage);
        binding.UpdateHeadFields(collFields);
        AppendSourceToPrintDoc(rangePrint, rangeSource, lngSeqIndex);
        binding.SetHeadDataTerminate(collFields, collNativeFields);
        if (!blnMoreData) break;

        AppendPageBreak(rangePrint);
        blnMoreData = FillDetailPage(tables, lngDetailPage + 1, binding);
        binding.SetHeadData(lngSeqIndex, lngDetailPages, &collFields, &collNativeFields, blnPrint);
    }
}

void AppendSourceToPrintDoc(const word::Range& rangePrint, const word::Range& rangeSource, long lngSeqIndex) {
    const clsPLRange range;
    const auto docPrint = rangePrint.Document();
    const word::Shapes sourceShapes = rangeSource.Document()->Shapes();
    if (sourceShapes.Count() == 0) {
        range.AppendRangeToPrintDoc(docPrint->Content(), rangeSource, lngSeqIndex);
        return;
    }
    // With text boxes the copy is made in a page of its own first, whose shapes are the
    // source's: finding the copied boxes in the print document would walk all of it for every
    // page, and a long print run would slow down with every record.
    const auto page = word::Document::Blank("PrintPage");
    range.AppendRangeToPrintDoc(page->Content(), rangeSource, lngSeqIndex);
    RefillTextBoxes(sourceShapes, page->Shapes(), lngSeqIndex);
    range.AppendRangeToPrintDoc(docPrint->Content(), page->Content(), lngSeqIndex);
}

long GetDetailCapacities(std::vector<long>& lngCapacities, const std::vector<word::Table>& tblaryTarget,
                         const std::vector<std::string>& straryDetailProp) {
    const clsPLProperty property;
    lngCapacities.assign(tblaryTarget.size(), 0);
    for (std::size_t t = 0; t < tblaryTarget.size(); ++t) {
        const std::string strProps = t < straryDetailProp.size() ? straryDetailProp[t] : std::string();
        const bool blnCaptionRow = property.GetPropertyFromText(strProps, modPLConst::PROP_COLUMN_HEADERS,
                                                                modPLConst::DEFAULT_COLUMN_HEADERS) == modPLConst::FLAG_TRUE;
        lngCapacities[t] = tblaryTarget[t].Rows().Count() - (blnCaptionRow ? 1 : 0);
    }
    return static_cast<long>(tblaryTarget.size());
}

long CountDetailPages(const std::vector<long>& lngCapacities, const std::vector<long>& lngRowsNeeded,
                      const std::vector<std::string>& straryDetailProp) {
    const clsPLProperty property;
    long lngPages = 1;
    const auto count = std::min({lngCapacities.size(), lngRowsNeeded.size(), straryDetailProp.size()});
    for (std::size_t t = 0; t < count; ++t) {
        const auto autoAdjust = property.GetPropertyFromText(straryDetailProp[t], modPLConst::PROP_AUTO_ADJUST_ROW_COUNT, "");
        if (autoAdjust != modPLConst::FLAG_FALSE) continue;
        // A table without a data row cannot hold a page of its own; it never paginates.
        if (lngCapacities[t] < 1) continue;
        const long lngTablePages = lngRowsNeeded[t] / lngCapacities[t] + (lngRowsNeeded[t] % lngCapacities[t] ? 1 : 0);
        lngPages = std::max(lngPages, lngTablePages);
    }
    return lngPages;
}

}  // namespace paperloom::modPLRFunction
