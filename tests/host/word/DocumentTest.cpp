// Documents in the application: add, open, save, save as, close, the document events,
// headers and footers, variables, and every document of the shared corpus.

#include <fstream>

#include <gtest/gtest.h>

#include "WordTestSupport.h"
#include "host/HostError.h"
#include "host/word/Application.h"

namespace paperloom::word {
namespace {

using test::P;
using test::TempFolder;

long ErrorNumber(const std::function<void()>& action) {
    try {
        action();
    } catch (const host::HostError& e) {
        return e.Number();
    }
    return 0;
}

TEST(Documents, AddSaveAsOpenAndClose) {
    TempFolder folder;
    Application app;
    EXPECT_EQ(ErrorNumber([&] { app.ActiveDocument(); }), 4248);
    auto doc = app.Documents().Add();
    EXPECT_EQ(doc->Name(), "Document1");
    EXPECT_EQ(doc->Path(), "");
    EXPECT_EQ(app.ActiveDocument(), doc);
    EXPECT_EQ(ErrorNumber([&] { doc->Save(); }), 4605);

    doc->Content().SetText("saved text");
    const auto path = folder.Path() / "report.docx";
    doc->SaveAs(path);
    EXPECT_EQ(doc->Name(), "report.docx");
    EXPECT_EQ(doc->Path(), folder.Path().string());
    EXPECT_TRUE(doc->Saved());
    EXPECT_EQ(app.Documents().Item("REPORT.docx"), doc);
    // Opening the same file again gives the open document.
    EXPECT_EQ(app.Documents().Open(path), doc);

    doc->Content().InsertAfter(" more");
    EXPECT_FALSE(doc->Saved());
    doc->Save();
    auto range = doc->Content();
    doc->Close();
    EXPECT_TRUE(doc->Closed());
    EXPECT_EQ(app.Documents().Count(), 0);
    EXPECT_EQ(ErrorNumber([&] { range.Text(); }), 5825);
    EXPECT_EQ(ErrorNumber([&] { doc->Content(); }), 5825);

    auto reopened = app.Documents().Open(path);
    EXPECT_EQ(reopened->Content().Text(), "saved text more\r");
    // Closing discards changes.
    reopened->Content().SetText("lost");
    reopened->Close(wdDoNotSaveChanges);
    EXPECT_EQ(app.Documents().Open(path)->Content().Text(), "saved text more\r");
}

TEST(Documents, EventsRunSynchronouslyAndCanNest) {
    TempFolder folder;
    Application app;
    auto first = app.Documents().Add();
    first->SaveAs(folder.Path() / "a.docx");
    auto second = app.Documents().Add();
    second->SaveAs(folder.Path() / "b.docx");
    second->Close();

    std::vector<std::string> log;
    app.OnDocumentOpen([&](const std::shared_ptr<Document>& doc) {
        log.push_back("open " + doc->Name());
        EXPECT_EQ(app.Documents().Item(doc->Name()), doc);  // already in the collection
        if (doc->Name() == "b.docx") first->Close();       // closing from inside an event
    });
    const auto closeCookie = app.OnDocumentBeforeClose([&](const std::shared_ptr<Document>& doc, bool& cancel) {
        log.push_back("close " + doc->Name());
        cancel = doc->Name() == "keep.docx";
    });
    app.Documents().Open(folder.Path() / "b.docx");
    EXPECT_EQ(log, (std::vector<std::string>{"open b.docx", "close a.docx"}));
    EXPECT_EQ(app.Documents().Count(), 1);

    auto keep = app.Documents().Add();
    keep->SaveAs(folder.Path() / "keep.docx");
    keep->Close();
    EXPECT_FALSE(keep->Closed());  // cancelled by the handler
    app.RemoveHandler(closeCookie);
    keep->Close();
    EXPECT_TRUE(keep->Closed());
}

TEST(Documents, InvisibleDocumentsDoNotBecomeActive) {
    Application app;
    auto shown = app.Documents().Add();
    auto hidden = app.Documents().Add({}, false);
    EXPECT_EQ(app.ActiveDocument(), shown);
    EXPECT_FALSE(hidden->Windows().Item(1).Visible());
    hidden->Windows().Item(1).SetVisible(true);
    hidden->Activate();
    EXPECT_EQ(app.ActiveDocument(), hidden);
    hidden->Close();
    EXPECT_EQ(app.ActiveDocument(), shown);
    EXPECT_EQ(app.Selection().Start(), 0);
}

TEST(Documents, NewDocumentFromTemplateCopiesItsContent) {
    TempFolder folder;
    auto model = test::MakeDocument(P("from the template"));
    model->SaveAs(folder.Path() / "model.docx");
    Application app;
    auto doc = app.Documents().Add(folder.Path() / "model.docx");
    EXPECT_EQ(doc->Name(), "Document1");
    EXPECT_EQ(doc->Content().Text(), "from the template\r");
    EXPECT_EQ(doc->Path(), "");

    // A template saved as one: the new document is an ordinary document.
    auto package = docx::Package::Open(folder.Path() / "model.docx");
    package.SetPartBytes("word/document.xml", package.PartBytes("word/document.xml"),
                         "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml");
    package.Save(folder.Path() / "model.dotx");
    auto fromDotx = app.Documents().Add(folder.Path() / "model.dotx");
    EXPECT_EQ(fromDotx->Content().Text(), "from the template\r");
    EXPECT_EQ(fromDotx->Package().ContentType("word/document.xml"),
              "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
}

TEST(Documents, FailedOpenAndSaveAreClearErrors) {
    TempFolder folder;
    Application app;
    const auto junk = folder.Path() / "junk.docx";
    std::ofstream(junk) << "not a package";
    EXPECT_THROW(app.Documents().Open(junk), host::HostError);
    EXPECT_THROW(app.Documents().Open(folder.Path() / "missing.docx"), host::HostError);
    EXPECT_EQ(app.Documents().Count(), 0);
    auto doc = app.Documents().Add();
    EXPECT_THROW(doc->SaveAs(folder.Path() / "no" / "such" / "folder.docx"), host::HostError);
}

TEST(Documents, HeadersFootersAndVariables) {
    TempFolder folder;
    auto doc = test::MakeDocument(P("body"));
    auto header = doc->Sections().Item(1).Headers().Item(wdHeaderFooterPrimary);
    EXPECT_FALSE(header.Exists());
    header.Range().SetText("Head");
    EXPECT_TRUE(header.Exists());
    EXPECT_EQ(header.Range().StoryType(), wdPrimaryHeaderStory);
    doc->Sections().First().Footers().Item(wdHeaderFooterPrimary).Range().SetText("Foot");
    doc->Variables().SetValue("DataSource", "sales.db");
    doc->SaveAs(folder.Path() / "hf.docx");
    auto reopened = Document::Open(folder.Path() / "hf.docx");
    EXPECT_EQ(reopened->Sections().Item(1).Headers().Item(1).Range().Text(), "Head\r");
    EXPECT_EQ(reopened->Sections().Item(1).Footers().Item(1).Range().Text(), "Foot\r");
    EXPECT_EQ(reopened->Content().Text(), "body\r");
    EXPECT_EQ(reopened->Variables().Item("DataSource").Value(), "sales.db");
    EXPECT_THROW(reopened->Variables().Item("Missing"), host::HostError);
    EXPECT_THROW(reopened->Sections().Item(2), host::HostError);
}

// Every document of the corpus opens or fails with a clear error; opened ones give their
// text, tables, bookmarks and shapes, and survive a save and reopen with the same text.
TEST(Documents, SharedCorpus) {
    const std::filesystem::path corpus = std::filesystem::path(PAPERLOOM_SHARED_DIR) / "corpus";
    if (!std::filesystem::exists(corpus)) GTEST_SKIP() << "no shared corpus";
    TempFolder folder;
    int opened = 0;
    for (const char* kind : {"good", "bad"}) {
        if (!std::filesystem::exists(corpus / kind)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(corpus / kind)) {
            if (entry.path().extension() != ".docx") continue;
            SCOPED_TRACE(entry.path().string());
            const bool good = std::string(kind) == "good";
            std::shared_ptr<Document> doc;
            try {
                doc = Document::Open(entry.path());
            } catch (const host::HostError& error) {
                // Damaged files are refused with a clear error; sound ones must open.
                if (good) ADD_FAILURE() << error.Description();
                continue;
            }
            try {
                auto content = doc->Content();
                const auto text = content.Text();
                EXPECT_LE(static_cast<long>(text.size()), 4 * content.StoryLength() + 4);
                doc->Tables().Count();
                doc->Bookmarks().Count();
                for (const auto& shape : doc->Shapes())
                    if (shape.Type() == msoTextBox) shape.TextFrame().HasText();
                ++opened;
                // Saving syncs to disk: a sample of the good files is enough.
                if (good && opened % 8 == 1) {
                    const auto copy = folder.Path() / "copy.docx";
                    doc->SaveAs(copy);
                    EXPECT_EQ(Document::Open(copy)->Content().Text(), text);
                }
            } catch (const host::HostError& error) {
                // A sound document reads without error; the bad ones may fail, but never crash.
                if (good) ADD_FAILURE() << error.Description();
            }
        }
    }
    EXPECT_GT(opened, 0);
}

}  // namespace
}  // namespace paperloom::word
