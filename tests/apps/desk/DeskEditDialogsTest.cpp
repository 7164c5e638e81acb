// The designer's dialogs as a user works them in the desktop host: the header binding and
// detail insert buttons of the design-time add-in clicked on the sample invoice template, the
// windows' own widgets typed into, dropped down and pressed (with the connection editor and
// the data link chooser opened from the bind dialog), message boxes answered by script.

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTableWidget>
#include <QTest>

#include "DeskEditDialogsTestSupport.h"
#include "common/modPLConst.h"
#include "host/ado/DataLinkFile.h"
#include "host/word/Table.h"

namespace paperloom::desk {
namespace {

TEST_F(DeskEditDialogsTest, HeaderBindingCancelsAndWritesThroughTheWindow) {
    bool answered = false;
    WhenDialogShows("frmPLEDBBind", [&](QWidget& dialog) {
        answered = true;
        EXPECT_EQ(dialog.windowTitle(), U("基本データ部のデータ バインド"));
        EXPECT_EQ(Child<QPushButton>(dialog, "cmdOK").text(), U("OK"));
        // The stored database file shows as its connection string.
        EXPECT_TRUE(Child<QRadioButton>(dialog, "optDataSource_1").isChecked());
        EXPECT_EQ(Child<QLineEdit>(dialog, "txtConnection").text().toStdString(), Jet());
        EXPECT_FALSE(Child<QComboBox>(dialog, "cboDataSource").isEnabled());
        EXPECT_EQ(Child<QComboBox>(dialog, "cboTable").currentText(), U("InvoiceHeaders"));
        Child<QLineEdit>(dialog, "txtUserName").setText("someone");
        emit Child<QLineEdit>(dialog, "txtUserName").textEdited("someone");
    });
    ClickEdit("ToolHeadBind", answered);
    EXPECT_EQ(Variable("DataSourceType"), "4") << "cancel leaves the document as it was";
    EXPECT_EQ(Variable("UserName"), "<none>");

    answered = false;
    WhenDialogShows("frmPLEDBBind", [&](QWidget& dialog) {
        answered = true;
        Press(dialog, "cmdTest");
        EXPECT_TRUE(Shown("テストは無事に完了しました!")) << log_.str();
        // The filter and sort editors over the table's fields; their messages carry the
        // designer's title.
        WhenDialogShows("frmPLFilter", [&](QWidget& filter) {
            EXPECT_EQ(filter.windowTitle(), U("基本データ部の抽出"));
            EXPECT_GT(Child<QComboBox>(filter, "cboDataField").count(), 10);
            Press(filter, "cmdEdit_0");
            EXPECT_TRUE(Shown("Paperloom(開発): [error] データフィールドを設定してください")) << log_.str();
        });
        Press(dialog, "cmdRSWhere");
        WhenDialogShows("frmPLSort", [&](QWidget& sort) {
            EXPECT_EQ(sort.windowTitle(), U("基本データ部のソート"));
            EXPECT_GT(Child<QComboBox>(sort, "cboDataField").count(), 10);
        });
        Press(dialog, "cmdRSOrder");
        // The held sort does not fit another table: the test says so.
        auto& table = Child<QComboBox>(dialog, "cboTable");
        Pick(table, "InvoiceDetails");
        Press(dialog, "cmdTest");
        EXPECT_TRUE(Shown("レコード ソースの設定に不正があります / エラー内容 /  [SQLite] no such column: InvoiceNo"))
            << log_.str();
        // SQL text prefilled from the table and its sort; the table box turns grey.
        Child<QRadioButton>(dialog, "optRecordSource_2").click();
        EXPECT_EQ(Child<QPlainTextEdit>(dialog, "txtRecordSource").toPlainText(),
                  U("SELECT * FROM InvoiceDetails\n ORDER BY InvoiceNo"));
        EXPECT_FALSE(table.isEnabled());
        EXPECT_EQ(table.palette().color(QPalette::Base), table.palette().color(QPalette::Button));
        auto& sql = Child<QPlainTextEdit>(dialog, "txtRecordSource");
        sql.setPlainText(U("SELECT * FROM InvoiceHeaders\nWHERE InvoiceID < 3"));
        Press(dialog, "cmdOK");
        EXPECT_FALSE(dialog.isVisible());
    });
    ClickEdit("ToolHeadBind", answered);
    EXPECT_EQ(Variable("DataSourceType"), "2");
    EXPECT_EQ(Variable("DataSource"), Jet());
    EXPECT_EQ(Variable("RecordSourceType"), "1");
    EXPECT_EQ(Variable("RecordSource"), "SELECT * FROM InvoiceHeaders\r\nWHERE InvoiceID < 3");
}

TEST_F(DeskEditDialogsTest, ConnectionEditorAndDataLinkChooserFillTheBindDialog) {
    const auto udl = folder_.File("sample.udl");
    bool answered = false;
    WhenDialogShows("frmPLEDBBind", [&](QWidget& dialog) {
        answered = true;
        // A string made in the connection editor on the embedded engine.
        WhenDialogShows("frmPLEConnection", [&](QWidget& editor) {
            Pick(Child<QComboBox>(editor, "cboDriver"), "SQLite データベース ファイル (組み込み)");
            auto& keywords = Child<QTableWidget>(editor, "lstKeywords");
            ASSERT_EQ(keywords.rowCount(), 1);
            keywords.item(0, 1)->setText(QString::fromStdString(folder_.File("sample.db").string()));
            EXPECT_EQ(Child<QLineEdit>(editor, "txtConnection").text().toStdString(),
                      "Provider=SQLite;Data Source=" + folder_.File("sample.db").string());
            Press(editor, "cmdTest");
            EXPECT_TRUE(Shown("接続に成功しました")) << log_.str();
            Press(editor, "cmdOK");
        });
        Press(dialog, "cmdConnection");
        EXPECT_EQ(Child<QLineEdit>(dialog, "txtConnection").text().toStdString(),
                  "Provider=SQLite;Data Source=" + folder_.File("sample.db").string());

        // A new data link file holding that string, chosen for the binding.
        Child<QRadioButton>(dialog, "optDataSource_2").click();
        WhenDialogShows("frmPLEDataLink", [&](QWidget& chooser) {
            auto& path = Child<QLineEdit>(chooser, "txtPath");
            path.setText(QString::fromStdString(udl.string()));
            emit path.editingFinished();
            EXPECT_EQ(Child<QLabel>(chooser, "lblStatus").text(), U("新しいファイルを作成します"));
            auto& text = Child<QLineEdit>(chooser, "txtConnection");
            QTest::keyClicks(&text, QString::fromStdString("Provider=SQLite;Data Source=" +
                                                           folder_.File("sample.db").string()));
            Press(chooser, "cmdOK");
            EXPECT_FALSE(chooser.isVisible()) << log_.str();
        });
        Press(dialog, "cmdUDL");
        EXPECT_EQ(Child<QLineEdit>(dialog, "txtUDL").text().toStdString(), udl.string());
        EXPECT_FALSE(Child<QLineEdit>(dialog, "txtConnection").isEnabled());
        Press(dialog, "cmdOK");
    });
    ClickEdit("ToolHeadBind", answered);
    EXPECT_EQ(host::ado::ReadDataLinkFile(udl), "Provider=SQLite;Data Source=" + folder_.File("sample.db").string());
    EXPECT_EQ(Variable("DataSourceType"), "3");
    EXPECT_EQ(Variable("DataSource"), udl.string());
    EXPECT_EQ(Variable("RecordSource"), "InvoiceHeaders");
}

TEST_F(DeskEditDialogsTest, DetailInsertGoesBackToPageOneAndInsertsTheTable) {
    const long tables = document_->Tables().Count();
    auto selection = desk_->Host().Application().Selection();
    auto end = document_->Content();
    end.SetRange(end.End() - 1, end.End() - 1);  // before the last paragraph mark
    selection.Select(end);

    // Cancel on page 1, then on page 2, leaves the document untouched.
    bool answered = false;
    WhenDialogShows("frmPLEDBBind", [&](QWidget&) { answered = true; });
    ClickEdit("ToolDetailInsert", answered);
    EXPECT_EQ(document_->Tables().Count(), tables);
    answered = false;
    WhenDialogShows("frmPLEDBBind", [&](QWidget& page1) {
        EXPECT_EQ(page1.windowTitle(), U("明細データ部の挿入(1/2)"));
        EXPECT_EQ(Child<QPushButton>(page1, "cmdOK").text(), U("次へ"));
        EXPECT_EQ(Child<QComboBox>(page1, "cboTable").currentText(), U(""));
        Pick(Child<QComboBox>(page1, "cboTable"), "InvoiceDetails");
        WhenDialogShows("frmPLEDetailInsert", [&](QWidget&) { answered = true; });
        Press(page1, "cmdOK");
    });
    Click("ToolDetailInsert");
    EXPECT_TRUE(answered) << log_.str();
    EXPECT_EQ(document_->Tables().Count(), tables);

    int pages = 0;
    WhenDialogShows("frmPLEDBBind", [&](QWidget& page1) {
        ++pages;
        Pick(Child<QComboBox>(page1, "cboTable"), "InvoiceDetails");
        WhenDialogShows("frmPLEDetailInsert", [&](QWidget& page2) {
            ++pages;
            EXPECT_EQ(page2.windowTitle(), U("明細データ部の挿入(2/2)"));
            EXPECT_EQ(Child<QListWidget>(page2, "lstDataFields").count(), 9);
            EXPECT_EQ(Child<QLineEdit>(page2, "txtBookmark").text(), U("InvoiceDetails"));
            Pick(Child<QComboBox>(page2, "cboParentKey"), "InvoiceID");
            Press(page2, "cmdField_1");
            // Back: page 1 as the user left it.
            WhenDialogShows("frmPLEDBBind", [&](QWidget& again) {
                ++pages;
                EXPECT_EQ(Child<QComboBox>(again, "cboTable").currentText(), U("InvoiceDetails"));
                EXPECT_TRUE(Child<QRadioButton>(again, "optRecordSource_0").isChecked());
                WhenDialogShows("frmPLEDetailInsert", [&](QWidget& last) {
                    ++pages;
                    auto& columns = Child<QTreeWidget>(last, "lstColumns");
                    EXPECT_EQ(columns.topLevelItemCount(), 0) << "columns start afresh";
                    EXPECT_EQ(Child<QComboBox>(last, "cboParentKey").currentText(), U("InvoiceID"));
                    auto& fields = Child<QListWidget>(last, "lstDataFields");
                    fields.clearSelection();
                    for (const char* name : {"ProductName", "Quantity", "Amount"})
                        fields.findItems(U(name), Qt::MatchExactly).at(0)->setSelected(true);
                    Press(last, "cmdField_0");
                    Press(last, "cmdField_2");  // 行番号, before the column selected (the last added)
                    ASSERT_EQ(columns.topLevelItemCount(), 4);
                    EXPECT_EQ(columns.topLevelItem(2)->text(0), U("c"));
                    EXPECT_EQ(columns.topLevelItem(2)->text(1), U("行番号"));
                    EXPECT_EQ(columns.topLevelItem(3)->text(0), U("d"));
                    EXPECT_EQ(columns.topLevelItem(3)->text(1), U("Amount"));
                    Pick(Child<QComboBox>(last, "cboChildKey"), "InvoiceID");
                    auto& rows = Child<QComboBox>(last, "cboRowCount");
                    Pick(rows, "3");
                    Press(last, "cmdOK");
                    EXPECT_FALSE(last.isVisible()) << log_.str();
                });
                Press(again, "cmdOK");
            });
            Press(page2, "cmdBack");
        });
        Press(page1, "cmdOK");
    });
    Click("ToolDetailInsert");
    EXPECT_EQ(pages, 4) << log_.str();
    ASSERT_EQ(document_->Tables().Count(), tables + 1);
    EXPECT_TRUE(document_->Bookmarks().Exists("InvoiceDetails"));
    const auto table = document_->Bookmarks().Item("InvoiceDetails").Range().Tables().Item(1);
    EXPECT_EQ(table.Rows().Count(), 4);
    EXPECT_EQ(table.Columns().Count(), 4);
}

// A detail table made through the window and the same one made by `paperloom design
// insert-detail` carry the same property text and captions: scripts and authors make the same
// templates.
TEST_F(DeskEditDialogsTest, TheWindowAndTheCommandLineWriteTheSameDetailTable) {
    auto selection = desk_->Host().Application().Selection();
    auto end = document_->Content();
    end.SetRange(end.End() - 1, end.End() - 1);
    selection.Select(end);
    bool inserted = false;
    WhenDialogShows("frmPLEDBBind", [&](QWidget& page1) {
        Pick(Child<QComboBox>(page1, "cboTable"), "InvoiceDetails");
        WhenDialogShows("frmPLEDetailInsert", [&](QWidget& page2) {
            Pick(Child<QComboBox>(page2, "cboParentKey"), "InvoiceID");
            Pick(Child<QComboBox>(page2, "cboChildKey"), "InvoiceID");
            auto& fields = Child<QListWidget>(page2, "lstDataFields");
            for (const char* name : {"ProductName", "Quantity", "Amount"}) {
                fields.clearSelection();
                fields.findItems(U(name), Qt::MatchExactly).at(0)->setSelected(true);
                Child<QTreeWidget>(page2, "lstColumns").clearSelection();  // append, not insert before
                Press(page2, "cmdField_0");
            }
            Pick(Child<QComboBox>(page2, "cboRowCount"), "3");
            Press(page2, "cmdOK");
            inserted = !page2.isVisible();
        });
        Press(page1, "cmdOK");
    });
    Click("ToolDetailInsert");
    ASSERT_TRUE(inserted) << log_.str();

    QProcess cli;
    cli.setWorkingDirectory(QString::fromStdString(folder_.Path().string()));
    cli.start(PAPERLOOM_CLI, {"design", "insert-detail", "invoice.docx", "--at", U("備考"), "--record-source-type", "2",
                              "--record-source", "InvoiceDetails", "--parent-key", "InvoiceID", "--child-key",
                              "InvoiceID", "--rows", "3", "--bookmark", "InvoiceDetails", "--column", "ProductName",
                              "--column", "Quantity", "--column", "Amount", "-o", "cli.docx"});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const auto made = desk_->Host().Application().Documents().Open(folder_.File("cli.docx"), false);

    // Row 1 of each table, hidden property text included.
    auto headerRow = [](const std::shared_ptr<word::Document>& document) {
        const auto table = document->Bookmarks().Item("InvoiceDetails").Range().Tables().Item(1);
        std::vector<std::string> cells;
        for (long column = 1; column <= table.Columns().Count(); ++column) {
            auto range = table.Cell(1, column).Range();
            range.TextRetrievalMode().SetIncludeHiddenText(true);
            cells.push_back(range.Text());
        }
        return std::pair{table.Rows().Count(), cells};
    };
    auto window = headerRow(document_);
    const auto script = headerRow(made);
    EXPECT_EQ(window.first, 4);
    // The dialog shows (and so stores) the database file by its full path; the command line
    // stores it relative to the template's folder. The same file either way.
    const std::string folder = folder_.Path().string() + "/";
    const auto at = window.second.at(0).find(folder);
    ASSERT_NE(at, std::string::npos) << window.second.at(0);
    window.second.at(0).erase(at, folder.size());
    EXPECT_EQ(window, script);
}

}  // namespace
}  // namespace paperloom::desk
