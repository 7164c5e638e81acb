#include "Samples.h"

#include <stdexcept>

#include "InvoiceTemplates.h"
#include "OutputFile.h"
#include "SqlDatabase.h"

namespace paperloom::samples {

std::filesystem::path SampleSourceFolder() {
    return PAPERLOOM_SAMPLE_SOURCE_DIR;
}

SampleFiles MakeSamples(const std::filesystem::path& outFolder, bool overwrite,
                        const std::filesystem::path& sourceFolder) {
    const std::filesystem::path pictures = sourceFolder / "pictures";
    if (!std::filesystem::is_regular_file(sourceFolder / "schema.sql") ||
        !std::filesystem::is_directory(pictures)) {
        throw std::runtime_error(sourceFolder.string() + " holds no sample scripts and pictures");
    }
    SampleFiles files{outFolder / kDatabaseName, outFolder / kInvoiceName, outFolder / kInvoicePagesName};
    // Check every target first, so a refused run leaves the folder as it was.
    RefuseToOverwrite(files.database, overwrite);
    RefuseToOverwrite(files.invoice, overwrite);
    RefuseToOverwrite(files.invoicePages, overwrite);

    std::filesystem::create_directories(outFolder / "pictures");
    for (const auto& entry : std::filesystem::directory_iterator(pictures)) {
        if (entry.path().extension() != ".png") continue;
        std::filesystem::copy_file(entry.path(), outFolder / "pictures" / entry.path().filename(),
                                   overwrite ? std::filesystem::copy_options::overwrite_existing
                                             : std::filesystem::copy_options::skip_existing);
    }
    BuildDatabase(files.database, {sourceFolder / "schema.sql", sourceFolder / "data.sql"}, overwrite);
    MakeInvoiceTemplate(files.invoice, kDatabaseName, overwrite);
    MakeInvoicePagesTemplate(files.invoicePages, kDatabaseName, overwrite);
    return files;
}

}  // namespace paperloom::samples
