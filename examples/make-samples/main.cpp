// make-samples: builds the bundled sample database and templates into a folder, or the
// invoice template of the peer benchmark.
//
//   make-samples [--force] [--source DIR] OUTDIR
//   make-samples [--force] --peer-invoice OUT.docx [--database NAME]

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "InvoiceTemplates.h"
#include "Samples.h"

namespace {

int Usage() {
    std::fputs("usage: make-samples [--force] [--source DIR] OUTDIR\n"
               "       make-samples [--force] --peer-invoice OUT.docx [--database NAME]\n"
               "  --force         replace existing files\n"
               "  --source DIR    folder with schema.sql, data.sql and pictures/ (default: the source tree's)\n"
               "  --peer-invoice  write the peer benchmark's invoice template instead of the samples\n"
               "  --database      database the peer template names, relative to it (default invoices.db)\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace paperloom::samples;
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    bool force = false;
    std::filesystem::path source = SampleSourceFolder();
    std::filesystem::path peerInvoice;
    std::string database = "invoices.db";
    std::vector<std::filesystem::path> folders;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const auto value = [&]() -> std::string_view { return i + 1 < args.size() ? args[++i] : std::string_view(); };
        if (args[i] == "--force") {
            force = true;
        } else if (args[i] == "--source") {
            source = value();
        } else if (args[i] == "--peer-invoice") {
            peerInvoice = value();
        } else if (args[i] == "--database") {
            database = value();
        } else if (args[i] == "-h" || args[i] == "--help") {
            return Usage();
        } else if (args[i].starts_with("-")) {
            std::fprintf(stderr, "make-samples: unknown option %.*s\n", static_cast<int>(args[i].size()), args[i].data());
            return Usage();
        } else {
            folders.emplace_back(args[i]);
        }
    }
    try {
        if (!peerInvoice.empty()) {
            if (!folders.empty() || database.empty()) return Usage();
            MakePeerInvoiceTemplate(peerInvoice, database, force);
            std::printf("%s\n", peerInvoice.string().c_str());
            return 0;
        }
        if (folders.size() != 1 || source.empty()) return Usage();
        const SampleFiles files = MakeSamples(folders.front(), force, source);
        std::printf("%s\n%s\n%s\n", files.database.string().c_str(), files.invoice.string().c_str(),
                    files.invoicePages.string().c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make-samples: %s\n", e.what());
        return 1;
    }
}
