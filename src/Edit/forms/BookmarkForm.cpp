#include "BookmarkForm.h"

#include <QAbstractItemDelegate>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "EditFormWidgets.h"
#include "host/ui/qt/DialogPlacement.h"

namespace paperloom::editforms {
namespace {

// The model's key codes for the keys the dialog reacts to; 0 for others.
int KeyCode(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Up: return frmPLEBookmark::KEY_UP;
    case Qt::Key_Down: return frmPLEBookmark::KEY_DOWN;
    case Qt::Key_J: return frmPLEBookmark::KEY_J;
    case Qt::Key_F2: return frmPLEBookmark::KEY_F2;
    default: return 0;
    }
}

}  // namespace

BookmarkForm::BookmarkForm(frmPLEBookmark& model, QWidget* owner) : QDialog(owner), model_(model) {
    setObjectName("frmPLEBookmark");
    setWindowTitle(Q(frmPLEBookmark::kCaption));

    auto* frame2 = new QGroupBox(Q("編集"), this);
    frame2->setObjectName("Frame2");
    lstBookmark_ = new QListWidget(frame2);
    lstBookmark_->setObjectName("lstBookmark");
    // Labels are edited only when rename (or F2) starts it, through the model.
    lstBookmark_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    cmdJump_ = Button(frame2, "cmdJump", "ジャンプ(&J)");
    auto* cmdRename = Button(frame2, "cmdRename", "名前の変更(&M)");
    auto* cmdRemove = Button(frame2, "cmdRemove", "削除(&D)");
    auto* edit = new QGridLayout(frame2);
    edit->addWidget(Label(frame2, "lblBookmarkList", "ブックマーク名一覧(&L):", lstBookmark_), 0, 0);
    edit->addWidget(lstBookmark_, 1, 0, 4, 1);
    edit->addWidget(cmdJump_, 1, 1);
    edit->addWidget(cmdRename, 2, 1);
    edit->addWidget(cmdRemove, 3, 1);
    edit->setRowStretch(4, 1);

    auto* frame1 = new QGroupBox(Q("追加"), this);
    frame1->setObjectName("Frame1");
    txtBookmarkName_ = new QLineEdit(frame1);
    txtBookmarkName_->setObjectName("txtBookmarkName");
    cmdAdd_ = Button(frame1, "cmdAdd", "追加(&A)");
    auto* add = new QGridLayout(frame1);
    add->addWidget(Label(frame1, "lblBookmarkName", "ブックマーク名(&B):", txtBookmarkName_), 0, 0, 1, 2);
    add->addWidget(txtBookmarkName_, 1, 0);
    add->addWidget(cmdAdd_, 1, 1);

    auto* cmdClose = Button(this, "cmdClose", "閉じる(&C)");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame2, 1);
    layout->addWidget(frame1);
    layout->addWidget(cmdClose, 0, Qt::AlignRight);

    lstBookmark_->installEventFilter(this);
    txtBookmarkName_->installEventFilter(this);
    connect(lstBookmark_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!filling_) model_.lstBookmark_Click(row);
    });
    connect(lstBookmark_, &QListWidget::itemDoubleClicked, this, [this] { Act(&frmPLEBookmark::lstBookmark_DblClick); });
    connect(lstBookmark_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) { LabelEdited(item); });
    // An editor closed without a change reports no new text: the edit was abandoned.
    connect(lstBookmark_->itemDelegate(), &QAbstractItemDelegate::closeEditor, this, [this] {
        if (model_.lngEditingLabel >= 0) {
            model_.lstBookmark_AfterLabelEdit(std::nullopt);
            ToControls();
        }
    });
    connect(txtBookmarkName_, &QLineEdit::textEdited, this, [this](const QString& text) { model_.txtBookmarkName = S(text); });
    connect(cmdJump_, &QPushButton::clicked, this, [this] { Act(&frmPLEBookmark::cmdJump_Click); });
    connect(cmdRename, &QPushButton::clicked, this, [this] { Act(&frmPLEBookmark::cmdRename_Click); });
    connect(cmdRemove, &QPushButton::clicked, this, [this] { Act(&frmPLEBookmark::cmdRemove_Click); });
    connect(cmdAdd_, &QPushButton::clicked, this, [this] { Act(&frmPLEBookmark::cmdAdd_Click); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { Act(&frmPLEBookmark::cmdClose_Click); });
}

void BookmarkForm::Run() {
    ToControls();
    resize(sizeHint().expandedTo(QSize(380, 360)));
    ui::qt::CentreDialog(*this);
    exec();
}

void BookmarkForm::Act(void (frmPLEBookmark::*action)()) {
    (model_.*action)();
    ToControls();
}

void BookmarkForm::reject() { Act(&frmPLEBookmark::cmdClose_Click); }

void BookmarkForm::ToControls() {
    if (!model_.IsShown()) {
        QDialog::reject();
        return;
    }
    {
        filling_ = true;
        const QSignalBlocker quiet(lstBookmark_);
        lstBookmark_->clear();
        for (const auto& name : model_.lstBookmark) {
            auto* item = new QListWidgetItem(Q(name), lstBookmark_);
            item->setFlags(item->flags() | Qt::ItemIsEditable);
        }
        lstBookmark_->setCurrentRow(static_cast<int>(model_.lngSelected));
        filling_ = false;
    }
    if (txtBookmarkName_->text() != Q(model_.txtBookmarkName)) txtBookmarkName_->setText(Q(model_.txtBookmarkName));
    const bool onList = model_.mFocus == frmPLEBookmark::Focus::lstBookmark;
    cmdJump_->setDefault(onList);
    cmdAdd_->setDefault(!onList);
    QWidget* focus = onList ? static_cast<QWidget*>(lstBookmark_) : txtBookmarkName_;
    if (!focus->hasFocus()) focus->setFocus();
    if (model_.lngEditingLabel >= 0) lstBookmark_->editItem(lstBookmark_->item(static_cast<int>(model_.lngEditingLabel)));
}

void BookmarkForm::LabelEdited(QListWidgetItem* item) {
    if (filling_ || model_.lngEditingLabel < 0) return;
    model_.lstBookmark_AfterLabelEdit(S(item->text()));
    // Deferred: the list is still inside the edit that raised the signal.
    QMetaObject::invokeMethod(this, [this] { ToControls(); }, Qt::QueuedConnection);
}

bool BookmarkForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == lstBookmark_) model_.lstBookmark_GotFocus();
        if (watched == txtBookmarkName_) model_.txtBookmarkName_GotFocus();
        const bool onList = model_.mFocus == frmPLEBookmark::Focus::lstBookmark;
        cmdJump_->setDefault(onList);
        cmdAdd_->setDefault(!onList);
    } else if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int code = KeyCode(key->key());
        if (watched == lstBookmark_ && model_.lngEditingLabel < 0) {
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                Act(&frmPLEBookmark::cmdJump_Click);
                return true;
            }
            // Up moves within the list except from its first entry, which hands the focus back.
            if (code == frmPLEBookmark::KEY_J || code == frmPLEBookmark::KEY_F2 ||
                (code == frmPLEBookmark::KEY_UP && model_.lngSelected <= 0)) {
                model_.lstBookmark_KeyDown(code);
                ToControls();
                return true;
            }
        } else if (watched == txtBookmarkName_) {
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                Act(&frmPLEBookmark::cmdAdd_Click);
                return true;
            }
            if (code == frmPLEBookmark::KEY_DOWN) {
                model_.txtBookmarkName_KeyDown(code);
                ToControls();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace paperloom::editforms
