#include "core/app/load_report.h"

#include "core/text/code_page.h"

namespace zentorak {

namespace {

std::u16string Number(size_t n) {
    return FromUtf8(std::to_string(n));
}

// The file's name without its folder.
std::u16string_view NameOf(std::u16string_view path) {
    const size_t slash = path.find_last_of(u"/\\");
    return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

void Append(std::u16string& text, std::u16string_view phrase) {
    if (!text.empty()) {
        text += u"、";
    }
    text += phrase;
}

}  // namespace

std::u16string FileProblems(const LocationInfoFileReport& report) {
    if (!report.headerRead) {
        return u"開けません";
    }
    std::u16string text;
    if (report.result == kLoadNoMemory) {
        Append(text, u"メモリが足りず途中までしか読めませんでした");
    } else if (report.result == kLoadReadFailed) {
        Append(text, u"途中から読めませんでした");
    }
    if (report.targets == 0) {
        Append(text, u"位置情報がありません");
    }
    if (report.skippedLines > 0) {
        Append(text, Number(report.skippedLines) + u"行を読み飛ばしました");
    }
    if (!report.unplacedCaptions.empty()) {
        std::u16string names;
        for (const std::u16string& caption : report.unplacedCaptions) {
            names += u"「" + caption + u"」";
        }
        Append(text, names + u"は項目の数が上限を超えるため表示しません");
    }
    if (report.markedButNotUtf8) {
        Append(text, u"UTF-8の印がありますがシフトJISとして読みました");
    }
    return text;
}

std::optional<Notice> LoadCheckNotice(const LocationInfoFileList& files,
                                      const std::vector<LocationInfoFileReport>& reports,
                                      std::u16string_view failureTitle) {
    size_t places = 0;
    for (const LocationInfoFileReport& report : reports) {
        places += report.targets;
    }
    if (!reports.empty() && places == 0) {
        return Notice{u"位置情報の読込みに失敗しました。", std::u16string(failureTitle),
                      NoticeIcon::kError};
    }
    std::u16string lines;
    size_t named = 0, more = 0;
    for (size_t i = 0; i < reports.size() && i < files.size(); ++i) {
        const std::u16string problems = FileProblems(reports[i]);
        if (problems.empty()) {
            continue;
        }
        if (named == kLoadCheckFilesShown) {
            ++more;
            continue;
        }
        ++named;
        lines += u"\n" + std::u16string(NameOf(files[i])) + u"：" + problems;
    }
    if (named == 0) {
        return std::nullopt;
    }
    if (more > 0) {
        lines += u"\nほか " + Number(more) + u"件";
    }
    return Notice{u"次の位置情報ファイルを確認してください。" + lines,
                  std::u16string(kLoadCheckTitle), NoticeIcon::kExclamation};
}

}  // namespace zentorak
