// The document view: every corpus document and sample template opens in it; caret and
// selection map both ways to the model's Range positions in every story, with hidden text shown
// and not; what the view draws for fields follows the view's field-code setting; a change and a
// selection made by an add-in show without the user doing anything.

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

#include "DeskTestSupport.h"
#include "Samples.h"
#include "host/docx/Package.h"
#include "edit/DocumentEditor.h"
#include "host/word/Document.h"
#include "view/DocumentView.h"

namespace paperloom::desk {
namespace {

namespace fs = std::filesystem;
using view::DocumentView;
using view::StoryPosition;

std::shared_ptr<word::Document> MakeDocument(const std::string& body, const std::string& header = {}) {
    const std::string ns =
        R"(xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" )"
        R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" )"
        R"(xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing" )"
        R"(xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" )"
        R"(xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" )"
        R"(xmlns:wps="http://schemas.microsoft.com/office/word/2010/wordprocessingShape" )"
        R"(xmlns:v="urn:schemas-microsoft-com:vml")";
    auto package = docx::Package::CreateBlank();
    std::string sectPr = "<w:sectPr>";
    if (!header.empty()) {
        package.SetPartBytes("word/header1.xml",
                             "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:hdr " + ns + ">" + header + "</w:hdr>",
                             "application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml");
        const auto id = package.AddRelationship(
            "word/document.xml", "http://schemas.openxmlformats.org/officeDocument/2006/relationships/header",
            "header1.xml");
        sectPr += "<w:headerReference w:type=\"default\" r:id=\"" + id + "\"/>";
    }
    sectPr += R"(<w:pgSz w:w="11906" w:h="16838"/><w:pgMar w:top="1440" w:right="1440" w:bottom="1440" w:left="1440"/></w:sectPr>)";
    package.SetPartBytes("word/document.xml",
                         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document " + ns + "><w:body>" + body + sectPr +
                             "</w:body></w:document>",
                         "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
    return word::Document::Create(std::move(package), "View1.docx");
}

std::string TextRun(const std::string& text, const std::string& props = {}) {
    return "<w:r>" + (props.empty() ? "" : "<w:rPr>" + props + "</w:rPr>") + "<w:t xml:space=\"preserve\">" + text +
           "</w:t></w:r>";
}
std::string Field(const std::string& code, const std::string& result) {
    return "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText xml:space=\"preserve\">" + code +
           "</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>" + TextRun(result) +
           "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
}
std::string Cell(const std::string& content, const std::string& props = {}) {
    return "<w:tc><w:tcPr><w:tcW w:w=\"2000\" w:type=\"dxa\"/>" + props + "</w:tcPr>" + content + "</w:tc>";
}
std::string P(const std::string& runs, const std::string& props = {}) {
    return "<w:p>" + (props.empty() ? "" : "<w:pPr>" + props + "</w:pPr>") + runs + "</w:p>";
}

// A template with everything a designer meets: hidden property text at the start of a cell,
// horizontally and vertically merged cells, a nested table, fields in text and cells, a text
// box, a page break, Japanese text and a header with a field.
std::shared_ptr<word::Document> RichDocument() {
    const std::string box =
        "<w:r><w:drawing><wp:anchor><wp:extent cx=\"1270000\" cy=\"635000\"/><a:graphic><a:graphicData>"
        "<wps:wsp><wps:txbx><w:txbxContent>" +
        P(TextRun("箱の中") + Field("QUOTE \"x\"", "x")) + P(TextRun("二行目", "<w:vanish/>")) +
        "</w:txbxContent></wps:txbx></wps:wsp></a:graphicData></a:graphic></wp:anchor></w:drawing></w:r>";
    const std::string nested = "<w:tbl><w:tblGrid><w:gridCol w:w=\"900\"/><w:gridCol w:w=\"900\"/></w:tblGrid><w:tr>" +
                               Cell(P(TextRun("n1"))) + Cell(P(TextRun("n2"))) + "</w:tr></w:tbl>";
    const std::string table =
        "<w:tbl><w:tblPr><w:tblBorders><w:top w:val=\"single\" w:sz=\"4\"/><w:insideH w:val=\"single\" w:sz=\"4\"/>"
        "</w:tblBorders></w:tblPr><w:tblGrid><w:gridCol w:w=\"2000\"/><w:gridCol w:w=\"2000\"/><w:gridCol w:w=\"2000\"/>"
        "</w:tblGrid>"
        "<w:tr>" + Cell(P(TextRun("Name=\"明細\"", "<w:vanish/>") + TextRun("品名")), "<w:gridSpan w:val=\"2\"/>") +
        Cell(P(TextRun("数量")), "<w:vMerge w:val=\"restart\"/>") + "</w:tr>"
        "<w:tr>" + Cell(P(Field("QUOTE \"a\"", "りんご"))) + Cell(nested + P("")) + Cell(P(""), "<w:vMerge/>") +
        "</w:tr></w:tbl>";
    const std::string body =
        P(TextRun("請求書", "<w:b/><w:sz w:val=\"32\"/>") + TextRun(" Invoice"), "<w:jc w:val=\"center\"/>") +
        P(TextRun("宛先: ") + Field("QUOTE \"DataField=CustomerName\"", "山田商事") + TextRun("様") +
          TextRun(" 隠し", "<w:vanish/>")) +
        table + P(TextRun("箱の前") + box + TextRun("箱の後")) +
        P(TextRun("前") + "<w:r><w:br w:type=\"page\"/></w:r>" + TextRun("後") + "<w:r><w:tab/></w:r>" + TextRun("末")) +
        P(TextRun("hidden paragraph", "<w:vanish/>"), "<w:rPr><w:vanish/></w:rPr>") + P(TextRun("最後"));
    return MakeDocument(body, P(TextRun("頁 ") + Field("PAGE", "1")));
}

class DeskViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::TestApplication(); }

    std::unique_ptr<DocumentView> Show(const std::shared_ptr<word::Document>& document) {
        auto view = std::make_unique<DocumentView>(document);
        view->resize(800, 600);
        view->show();
        return view;
    }

    // Every story's drawn positions against the model: the whole text the view holds equals
    // Range.Text, and each stop maps to a drawn character and back.
    static void CheckAgainstModel(DocumentView& view, const std::string& where) {
        view.CompleteLayout();
        const auto& layout = *view.Layout();
        for (int story = 0; story < layout.StoryCount(); ++story) {
            SCOPED_TRACE(where + " story " + std::to_string(story));
            const auto whole = layout.StoryRange(story);
            const long length = whole.StoryLength();
            ASSERT_EQ(layout.RetrievedText(story, 0, length).toStdString(), whole.Text());
            const auto& stops = layout.Stops(story);
            for (std::size_t i = 0; i < stops.size(); ++i) {
                if (i > 0) {
                    ASSERT_LT(stops[i - 1], stops[i]);
                }
                const int at = layout.TextPosition({story, stops[i]});
                ASSERT_EQ(layout.PositionAt(at), (StoryPosition{story, stops[i]}));
            }
        }
    }
};

TEST_F(DeskViewTest, EveryCorpusDocumentAndSampleTemplateOpensInTheView) {
    std::vector<fs::path> files;
    const fs::path corpus = fs::path(PAPERLOOM_SHARED_DIR) / "corpus";
    for (const char* kind : {"good", "bad"}) {
        if (!fs::exists(corpus / kind)) continue;
        for (const auto& entry : fs::directory_iterator(corpus / kind))
            if (entry.path().extension() == ".docx") files.push_back(entry.path());
    }
    test::ScratchFolder samples("paperloom-view-samples");
    samples::MakeSamples(samples.Path(), false);
    for (const auto& entry : fs::directory_iterator(samples.Path()))
        if (entry.path().extension() == ".docx") files.push_back(entry.path());
    ASSERT_GT(files.size(), 2u);
    int shown = 0;
    for (const auto& file : files) {
        std::shared_ptr<word::Document> document;
        try {
            document = word::Document::Open(file);
        } catch (const std::exception&) {
            continue;  // refused by the model with its own error (tested there)
        }
        try {
            auto view = Show(document);
            ASSERT_NE(view->Layout(), nullptr) << file;
            CheckAgainstModel(*view, file.filename().string());
            document->Windows().Item(1).View().SetShowHiddenText(true);
            view->Refresh();
            CheckAgainstModel(*view, file.filename().string() + " (hidden shown)");
            ++shown;
        } catch (const std::exception& error) {
            ADD_FAILURE() << file << ": " << error.what();
        }
    }
    EXPECT_GT(shown, 400);
}

TEST_F(DeskViewTest, CaretAndSelectionRoundTripWithRangeInEveryStory) {
    auto document = RichDocument();
    auto view = Show(document);
    for (const bool showHidden : {false, true}) {
        SCOPED_TRACE(showHidden ? "hidden text shown" : "hidden text not shown");
        document->Windows().Item(1).View().SetShowHiddenText(showHidden);
        view->Refresh();
        const auto& layout = *view->Layout();
        ASSERT_EQ(layout.StoryCount(), 3) << "main text, header, text box";
        CheckAgainstModel(*view, "rich");
        for (int story = 0; story < layout.StoryCount(); ++story) {
            const auto stops = layout.Stops(story);  // copied: the view reads the document again
            ASSERT_GT(stops.size(), 3u);
            const long length = layout.StoryRange(story).StoryLength();
            for (long p = 0; p < length; ++p) {
                // The model's selection shows as the caret: on its stop, or on the next one.
                document->Selection().Select(layout.RangeOf(story, p, p));
                view->Refresh();
                const auto next = std::lower_bound(stops.begin(), stops.end(), p);
                const long expected = next == stops.end() ? stops.back() : *next;
                ASSERT_EQ(layout.TextPosition(view->Caret()), layout.TextPosition({story, expected})) << p;
            }
            for (std::size_t i = 0; i < stops.size(); ++i) {
                const long s = stops[i];
                // A click where the caret is drawn gives its position back.
                view->SetCaret({story, s});
                ASSERT_EQ(document->Selection().Start(), s);
                const QRect caret = view->CaretRect();
                ASSERT_EQ(view->PositionAtPoint(caret.center() + QPoint(1, 0)), (StoryPosition{story, s}))
                    << "story " << story << " stop " << s;
                // Selecting to the next stop selects the model's range and its text.
                if (i + 1 < stops.size()) {
                    view->SetCaret({story, stops[i + 1]}, true);
                    const auto selection = document->Selection().Range();
                    ASSERT_EQ(selection.Start(), s);
                    ASSERT_EQ(selection.End(), stops[i + 1]);
                    ASSERT_EQ(view->SelectedText().toStdString(), document->Selection().Text()) << s;
                }
            }
            // A whole-story selection by the keys reads as the story's text.
            view->SetCaret({story, stops.front()});
            QTest::keyClick(view.get(), Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
            EXPECT_EQ(view->SelectedText().toStdString(), document->Selection().Text());
        }
        EXPECT_EQ(view->ShownText().contains(QString::fromUtf8("隠し")), showHidden);
        EXPECT_EQ(view->ShownText().contains(QString::fromUtf8("Name=\"明細\"")), showHidden);
    }
}

TEST_F(DeskViewTest, FieldCodesReplaceResultsWhileTheViewShowsThem) {
    auto document = RichDocument();
    auto view = Show(document);
    EXPECT_TRUE(view->ShownText().contains(QString::fromUtf8("宛先: 山田商事様")));
    EXPECT_FALSE(view->ShownText().contains("DataField"));
    document->Windows().Item(1).View().SetShowFieldCodes(true);
    EXPECT_TRUE(view->Refresh());
    EXPECT_TRUE(view->ShownText().contains(QString::fromUtf8("宛先: {QUOTE \"DataField=CustomerName\"}様")))
        << view->ShownText().toStdString();
    EXPECT_FALSE(view->ShownText().contains(QString::fromUtf8("山田商事")));
    // Range.Text is the model's and does not change with the view.
    EXPECT_NE(document->Content().Text().find("山田商事"), std::string::npos);
    CheckAgainstModel(*view, "codes shown");
    EXPECT_FALSE(view->Refresh()) << "nothing changed since";
}

// Typing through the editor and undoing it (which gives the document back part by part, text
// boxes included) shows each state, and the view still maps every story to the model.
TEST_F(DeskViewTest, EditsAndUndoThroughTheEditorShowAtOnce) {
    auto document = RichDocument();
    auto view = Show(document);
    edit::DocumentEditor editor(document);
    editor.SetChangedHandler([&] { view->Refresh(); });
    view->SetEditor(&editor);
    view->SetCaret({0, 0});
    QTest::keyClicks(view.get(), "abc");
    EXPECT_TRUE(view->ShownText().contains(QString::fromUtf8("abc請求書"))) << view->ShownText().toStdString();
    EXPECT_EQ(view->Caret(), (StoryPosition{0, 3}));
    CheckAgainstModel(*view, "typed");
    while (editor.CanUndo()) QTest::keyClick(view.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(view->ShownText().contains(QString::fromUtf8("abc"))) << view->ShownText().toStdString();
    CheckAgainstModel(*view, "undone");
    ASSERT_EQ(view->Layout()->StoryCount(), 3);
    view->SetCaret({2, 1});  // in the text box the undo brought back
    EXPECT_EQ(document->Selection().Range().Text(), "");
    EXPECT_EQ(document->Selection().Start(), 1);
}

// A long document is shown from its start and built on part by part; the parts meet exactly,
// tables and merged cells across their boundaries included.
TEST_F(DeskViewTest, ALongDocumentIsBuiltInPartsThatMeetExactly) {
    std::string body;
    for (int i = 0; i < 1000; ++i) {
        body += P(TextRun("請求 " + std::to_string(i)) + Field("PAGE", std::to_string(i)));
        body += "<w:tbl><w:tblGrid><w:gridCol w:w=\"2000\"/><w:gridCol w:w=\"2000\"/></w:tblGrid><w:tr>" +
                Cell(P(TextRun("a" + std::to_string(i))), "<w:vMerge w:val=\"restart\"/>") + Cell(P(TextRun("b"))) +
                "</w:tr><w:tr>" + Cell(P(""), "<w:vMerge/>") + Cell(P(TextRun("c", "<w:vanish/>"))) + "</w:tr></w:tbl>";
    }
    auto document = MakeDocument(body);
    auto view = Show(document);
    const long length = document->Content().StoryLength();
    ASSERT_LT(view->Layout()->MainBuiltUntil(), length) << "built in parts";
    // The selection far down is built up to and shown.
    document->Selection().SetRange(length - 5, length - 5);
    view->Refresh();
    EXPECT_GT(view->Layout()->MainBuiltUntil(), length - 5);
    EXPECT_EQ(view->Caret().position, length - 5);
    CheckAgainstModel(*view, "long");
    // Built in the small parts the view builds while idle, the same.
    view->SetCaret({0, 0});
    view->Rebuild();
    ASSERT_LT(view->Layout()->MainBuiltUntil(), length);
    int parts = 0;
    while (view->BuildNextPart()) ++parts;
    EXPECT_GT(parts, 3);
    CheckAgainstModel(*view, "long, small parts");
    view->SetCaret({0, length - 5});
    EXPECT_TRUE(view->Layout()->Complete());
    // Changed near its end, it shows again from a little before the caret, and what it reads
    // from there is the model's text.
    document->Content().InsertAfter("末尾");
    EXPECT_TRUE(view->Refresh());
    const auto* layout = view->Layout();
    const long from = layout->MainBuiltFrom();
    EXPECT_GT(from, 0);
    EXPECT_LE(from, length - 5);
    EXPECT_EQ(view->Caret().position, length - 5);
    EXPECT_EQ(layout->RetrievedText(0, from, layout->MainBuiltUntil()).toStdString(),
              document->Range(from, layout->MainBuiltUntil()).Text());
    // A selection before it shows the text from there.
    document->Selection().SetRange(3, 3);
    view->Refresh();
    EXPECT_EQ(view->Layout()->MainBuiltFrom(), 0);
    EXPECT_EQ(view->Caret().position, 3);
    // Changed while it is being built on: the parts after the change are not glued to those
    // before it.
    ASSERT_FALSE(view->Layout()->Complete());
    document->Range(0, 0).InsertBefore("先頭");
    while (view->BuildNextPart()) {
    }
    ASSERT_TRUE(view->Layout()->Complete());
    EXPECT_EQ(view->Layout()->RetrievedText(0, 0, document->Content().StoryLength()).toStdString(),
              document->Content().Text());
}

TEST_F(DeskViewTest, AChangeOrSelectionMadeOutsideTheViewShowsByItself) {
    std::string body;
    for (int i = 0; i < 200; ++i) body += P(TextRun("line " + std::to_string(i)));
    auto document = MakeDocument(body);
    auto view = Show(document);
    EXPECT_EQ(view->verticalScrollBar()->value(), 0);
    // An add-in selects text far down: the caret goes there and the view scrolls to it.
    const long at = static_cast<long>(document->Content().Text().find("line 190"));
    ASSERT_GT(at, 0);
    document->Selection().SetRange(at, at + 2);
    QTest::qWait(400);
    EXPECT_EQ(view->Caret().position, at + 2);
    EXPECT_EQ(view->Anchor().position, at);
    EXPECT_GT(view->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(view->viewport()->rect().contains(view->CaretRect().center()));
    // An edit made by an add-in outside a command shows at the next check.
    document->Content().InsertAfter("追加された行");
    QTest::qWait(400);
    EXPECT_TRUE(view->ShownText().contains(QString::fromUtf8("追加された行")));
}

}  // namespace
}  // namespace paperloom::desk
