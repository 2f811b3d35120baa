#include "check/FileCheck.h"

#include "core/AtomicFile.h"
#include "core/Cp1251.h"
#include "core/PathText.h"
#include "core/ProfileFile.h"
#include "core/QuestionnaireFormat.h"
#include "core/RangeLimits.h"
#include "core/RangeRules.h"
#include "core/Requisites.h"
#include "core/SafeRead.h"
#include "core/Texts.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <new>

using namespace Qt::StringLiterals;

namespace qsjuv::check {

namespace {

QString quoted(const QString &value)
{
    return QCoreApplication::translate("FileCheck", "«%1»").arg(value);
}

Verdict verdictOf(const QuestionnaireRead &read, const LoadedQuestionnaire &loaded)
{
    if (!loaded.questionnaire)
        return Verdict::NotQuestionnaire;
    // A matching code does not save a file without a model: the form would apply its channels
    // to whatever model it showed before.
    if (!read.idText)
        return Verdict::NoModelId;
    if (!read.accepted())
        return Verdict::CheckCodeMismatch;
    if (!loaded.complete)
        return Verdict::Incomplete;
    if (loaded.warning) // a requisite not read as written
        return Verdict::RequisiteUnreadable;
    if (read.noCode)
        return Verdict::NoCheckCode;
    return Verdict::Ok;
}

// The save's refusal in the checker's words: the window's reason, and for a range what it holds.
std::optional<Problem> refusalProblem(const SaveRefusal &refusal, const QuestionnaireRead &read,
                                      const Questionnaire &value)
{
    switch (refusal.kind) {
    case SaveRefusal::MissingFirm:
        return Problem{"missing-firm", 0, texts::saveRefusal(refusal)};
    case SaveRefusal::MissingMail:
        return Problem{"missing-mail", 0, texts::saveRefusal(refusal)};
    case SaveRefusal::MailFormat:
        return Problem{"mail-format", 0, texts::saveRefusal(refusal)};
    case SaveRefusal::RequisiteRefused:
        // A character that could not be read is the load's problem already.
        if (std::any_of(read.otherEncoding.begin(), read.otherEncoding.end(), [&](Requisite r) { return r == refusal.requisite; })
            || requisiteText(value, refusal.requisite).contains(QChar::ReplacementCharacter))
            return std::nullopt;
        return Problem{"requisite-not-cp1251", 0, texts::saveRefusal(refusal)};
    case SaveRefusal::NoInput:
        return Problem{"no-input", 0, texts::saveRefusal(refusal)};
    case SaveRefusal::RangeNotNumber:
    case SaveRefusal::RangeTooNarrow:
        break;
    }
    const QuestionnaireChannel &ch = value.channels[std::size_t(refusal.channel)];
    const int number = refusal.channel + 1;
    if (refusal.kind == SaveRefusal::RangeNotNumber) {
        // As typed: the edit shows only what the range check kept of it.
        const ChannelRead &file = read.channels[std::size_t(refusal.channel)];
        const std::optional<QByteArray> &typed = refusal.maxBound ? file.maxValue : file.minValue;
        return Problem{"range-not-number", number,
                       QCoreApplication::translate("FileCheck", "%1 диапазона %2 не является числом: форма не сохранит такой опросный лист.").arg(
                               refusal.maxBound ? QCoreApplication::translate("FileCheck", "Максимум") : QCoreApplication::translate("FileCheck", "Минимум"),
                               quoted(typed ? read.text(typed) : refusal.maxBound ? ch.maxText : ch.minText))};
    }
    const RangeLimits *row = rangeRow(value.series610(), ch.sensorId);
    const QString unit = channelShown(value, refusal.channel).unit;
    return Problem{"range-too-narrow", number,
                   QCoreApplication::translate("FileCheck", "Диапазон %1…%2 %3 уже наименьшей ширины %4 %3: форма не сохранит такой опросный лист.").arg(
                           QString::number(*ch.min()), QString::number(*ch.max()), unit,
                           QString::asprintf("%.0f", double(row->minSpan)))};
}

// Where a problem stands in the report: the model, each channel, the inputs and requisites,
// the quantity.
int rank(const Problem &p)
{
    if (qstrcmp(p.code, "unknown-model") == 0)
        return 0;
    if (p.channel > 0)
        return p.channel;
    return qstrcmp(p.code, "quantity-invalid") == 0 ? 4 : 3;
}

// Control characters the window shows and the save turns into blanks.
void checkRequisiteCharacters(const Questionnaire &value, FileReport &report)
{
    for (const Requisite r : kRequisites) {
        const QString &text = requisiteText(value, r);
        // C1 controls are bytes that mean no character: the load's problem already.
        const bool control = std::any_of(text.begin(), text.end(), [](QChar c) {
            return c.category() == QChar::Other_Control && (c.unicode() < 0x80 || c.unicode() >= 0xA0);
        });
        if (control)
            report.problems.push_back({"requisite-not-cp1251", 0,
                                       QCoreApplication::translate("FileCheck", "Поле «%1» содержит управляющие символы: форма сохранит вместо них пробелы.").arg(
                                               texts::requisiteCaption(r))});
    }
}

void check(const QuestionnaireRead &read, FileReport &report)
{
    report.computedCode = read.sum;
    if (read.checkCodeText)
        report.storedCode = read.storedCode;
    if (read.idText)
        report.modelId = read.deviceCode;
    // As a new window loads it.
    report.loaded = loadedQuestionnaire(read, defaultQuestionnaire());
    report.verdict = verdictOf(read, report.loaded);
    if (!report.loaded.questionnaire)
        return;
    const Questionnaire &shown = report.loaded.value;
    report.firm = shown.firm;
    report.phone = shown.phone;
    report.mail = shown.mail;
    report.bill = shown.bill;
    report.version = report.loaded.version;
    report.problems = report.loaded.changes;
    for (const SaveRefusal &refusal : saveRefusals(report.loaded.value)) {
        if (auto problem = refusalProblem(refusal, read, report.loaded.value))
            report.problems.push_back(std::move(*problem));
    }
    checkRequisiteCharacters(report.loaded.value, report);
    std::stable_sort(report.problems.begin(), report.problems.end(),
                     [](const Problem &a, const Problem &b) { return rank(a) < rank(b); });
}

// The report's words are English, as its other keys; the system's reason is the system's text.
QString reportReason(const FileError &error)
{
    switch (error.fault) {
    case FileFault::NotRegular:
        return u"not a regular file"_s;
    case FileFault::TooLarge:
        return u"larger than 1 MiB"_s;
    case FileFault::DanglingLink:
        return u"dangling symbolic link"_s;
    case FileFault::None:
    case FileFault::System:
        break;
    }
    return russianReason(error);
}

} // namespace

int FileReport::quantity() const
{
    return checkQuantity(loaded.value.quantity, kQuantityMin, kQuantityMax).value;
}

const char *verdictName(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Unreadable:
        return "unreadable";
    case Verdict::InterruptedSave:
        return "interrupted-save";
    case Verdict::NotQuestionnaire:
        return "not-questionnaire";
    case Verdict::NoModelId:
        return "no-model-id";
    case Verdict::CheckCodeMismatch:
        return "check-code-mismatch";
    case Verdict::Incomplete:
        return "incomplete";
    case Verdict::RequisiteUnreadable:
        return "requisite-unreadable";
    case Verdict::NoCheckCode:
        return "no-check-code";
    case Verdict::Ok:
        break;
    }
    return "ok";
}

FileReport checkBytes(const QByteArray &bytes, const QString &path)
{
    FileReport report;
    report.path = path;
    check(readQuestionnaire(ProfileReader(bytes)), report);
    return report;
}

namespace {

FileReport unreadable(const QString &shown, const QString &reason)
{
    FileReport report;
    report.path = shown;
    report.verdict = Verdict::Unreadable;
    report.reason = reason;
    return report;
}

// Whatever the content says: it may be a mix of the old and the new.
void markInterrupted(FileReport &report, const std::optional<QByteArray> &copy)
{
    if (!copy)
        return;
    report.verdict = Verdict::InterruptedSave;
    report.reason = u"a save was interrupted; the old content is in %1"_s.arg(displayPath(*copy));
}

// One file that cannot be checked never ends a run over thousands.
template<typename Check>
FileReport guarded(const QString &shown, Check &&check)
{
    try {
        return check();
    } catch (const std::bad_alloc &) {
        return unreadable(shown, reportReason(systemError(ENOMEM)));
    } catch (const std::exception &e) {
        return unreadable(shown, QString::fromLocal8Bit(e.what()));
    }
}

} // namespace

FileReport checkFile(const std::filesystem::path &path)
{
    const QString shown = displayPath(path);
    return guarded(shown, [&] {
        FileError failure;
        const std::optional<QByteArray> bytes = readRegularFile(path, &failure);
        if (!bytes)
            return unreadable(shown, reportReason(failure));
        FileReport report = checkBytes(*bytes, shown);
        markInterrupted(report, interruptedSaveCopy(QByteArray(path.c_str())));
        return report;
    });
}

FileReport checkFile(const WalkEntry &entry, const InterruptedSaves &saves)
{
    const QString shown = displayPath(QByteArrayView(entry.path));
    return guarded(shown, [&] {
        FileError failure;
        platform::File file;
        platform::Status status;
        const std::optional<QByteArray> bytes = readRegularFileIn(entry.folder, entry.name, entry.kind, file, &status, &failure);
        if (!bytes)
            return unreadable(shown, reportReason(failure));
        FileReport report = checkBytes(*bytes, shown);
        // Still under the file's lock: a copy now beside it is no running save's.
        const std::string &path = entry.path;
        const QByteArray folderPath = QByteArray::fromStdString(path.substr(0, path.size() - std::size_t(entry.name.size()) - 1));
        markInterrupted(report, saves.copyOf(status, entry.folder, folderPath, entry.oldCopies));
        return report;
    });
}

} // namespace qsjuv::check
