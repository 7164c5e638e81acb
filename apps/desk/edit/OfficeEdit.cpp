#include "edit/OfficeEdit.h"

#include <QProcess>
#include <QStringList>

#include <system_error>

#include "host/HostError.h"
#include "host/docx/Package.h"
#include "host/ui/PrintProcess.h"
#include "host/word/Document.h"

namespace paperloom::desk::edit {

namespace fs = std::filesystem;

OfficeEdit::OfficeEdit(std::shared_ptr<word::Document> document, Hooks hooks, QObject* parent)
    : QObject(parent), document_(std::move(document)), hooks_(std::move(hooks)) {
    settle_.setSingleShot(true);
    settle_.setInterval(500);
    connect(&settle_, &QTimer::timeout, this, [this] { FileChanged(); });
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { settle_.start(); });
    // A suite that saves to a new file and renames it over the old one ends the file's watch;
    // the folder's change brings it back.
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { settle_.start(); });
}

bool OfficeEdit::Start() {
    if (!document_ || document_->Closed()) return false;
    if (document_->FullName().empty() || document_->Path().empty() || !document_->Saved()) {
        if (!hooks_.askSaveFirst || !hooks_.askSaveFirst(*document_)) return false;
        if (!hooks_.save || !hooks_.save(document_)) return false;
    }
    const fs::path file = document_->FullName();
    if (const auto error = hooks_.launch(file); !error.empty()) {
        if (hooks_.showError) hooks_.showError(error);
        return false;
    }
    file_ = file;
    declined_.reset();
    Watch();
    return true;
}

void OfficeEdit::Watch() {
    const QString file = QString::fromStdString(file_.string());
    const QString folder = QString::fromStdString(file_.parent_path().string());
    if (!watcher_.files().contains(file) && fs::exists(file_)) watcher_.addPath(file);
    if (!watcher_.directories().contains(folder)) watcher_.addPath(folder);
}

OfficeEdit::Outcome OfficeEdit::FileChanged() {
    if (file_.empty()) return Outcome::Unchanged;
    if (document_->Closed()) {
        watcher_.removePaths(watcher_.files() + watcher_.directories());
        file_.clear();
        return Outcome::Unchanged;
    }
    Watch();
    std::error_code error;
    if (!fs::is_regular_file(file_, error)) return Outcome::Unreadable;
    std::optional<word::DocumentSnapshot> disk;
    try {
        disk = word::DocumentSnapshot::Of(docx::Package::Open(file_));
    } catch (const host::HostError&) {
        return Outcome::Unreadable;
    }
    if (*disk == document_->Snapshot()) return Outcome::Unchanged;
    if (declined_ && *declined_ == *disk) return Outcome::Kept;
    if (!document_->Saved() && !(hooks_.askReload && hooks_.askReload(*document_))) {
        declined_ = std::move(disk);
        return Outcome::Kept;
    }
    document_->Restore(*disk);
    document_->SetSaved(true);
    declined_.reset();
    if (hooks_.reloaded) hooks_.reloaded();
    return Outcome::Reloaded;
}

std::string OfficeEdit::LaunchOfficeSuite(const fs::path& file) {
    const auto program = ui::FindProgram("soffice");
    if (!program)
        return "Office スイート (soffice) がインストールされていません。libreoffice-writer パッケージをインストールしてください。";
    // The suite built for rendering only has no window system plug-ins: it cannot open a window.
    std::error_code error;
    const fs::path folder = fs::canonical(*program, error).parent_path();
    bool windows = false;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.path().filename().string().starts_with("libvclplug_")) windows = true;
    if (!windows)
        return "インストールされている Office スイートは画面を表示できません (印刷用の -nogui 版です)。"
               "文書を Office スイートで編集するには libreoffice-writer パッケージをインストールしてください。";
    if (!QProcess::startDetached(QString::fromStdString(program->string()),
                                 {"--writer", QString::fromStdString(file.string())}))
        return "Office スイートを起動できませんでした: " + program->string();
    return {};
}

}  // namespace paperloom::desk::edit
