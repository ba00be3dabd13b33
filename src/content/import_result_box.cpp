#include "content/import_result_box.h"

#include "i18n/text_table.h"
#include "util/dialog.h"

namespace hw::content {

void ShowImportResult(const regfile::ImportReport& report) {
    switch (report.result) {
    case regfile::ImportResult::Success:
        util::NoticeBox(i18n::LookupText(i18n::Text::ImportSuccess));
        return;
    case regfile::ImportResult::UnknownHeader:
        util::ErrorBox(i18n::LookupText(i18n::Text::ImportVersionUnknown));
        return;
    case regfile::ImportResult::Incomplete: {
        std::string text = i18n::LookupText(i18n::Text::ImportError);
        const std::vector<std::string> failures = regfile::DescribeImportFailures(report);
        if (!failures.empty()) text += "\n";
        for (const std::string& failure : failures)
            text += "\n" + failure;
        util::ErrorBox(text);
        return;
    }
    case regfile::ImportResult::FileNotFound:
        util::ErrorBox(i18n::LookupText(i18n::Text::ContentImportError));
        return;
    }
}

} // namespace hw::content
