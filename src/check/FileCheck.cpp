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
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <new>

using namespace Qt::StringLiterals;

namespace qsjuv::check {

namespace {

QString text(const std::optional<QByteArray> &value)
{
    return value ? fromCp1251(*value) : QString();
}

QString quoted(const QString &value)
{
    return QCoreApplication::translate("FileCheck", "«%1»").arg(value);
}

// Windows-1251 decodes any byte sequence, so a text typed in UTF-8 somewhere else only shows as
// gibberish; high bytes that are well-formed UTF-8 give it away.
bool looksLikeUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError() && text.size() < bytes.size(); // fewer characters: some took several bytes
}

// Every UTF-8 byte sequence is also Windows-1251 text a person could type («ACME Р»» is), so a
// requisite alone proves nothing. The model's name does: the form writes it in Windows-1251,
// where it is never well-formed UTF-8.
bool writtenInUtf8(const QuestionnaireRead &read)
{
    return read.name && looksLikeUtf8(*read.name);
}

Verdict verdictOf(const QuestionnaireRead &read)
{
    // A matching code does not save a file without a model: the form would apply its channels
    // to whatever model it showed before.
    if (!read.idText)
        return Verdict::NoModelId;
    if (!read.accepted())
        return Verdict::CheckCodeMismatch;
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
    case SaveRefusal::RequisiteRefused: // text decoded from Windows-1251 always encodes again
        return std::nullopt;
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
                               quoted(typed ? text(typed) : refusal.maxBound ? ch.maxText : ch.minText))};
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

// Bytes of the file's requisites that the window would show other than they were meant.
void checkRequisiteBytes(const QuestionnaireRead &read, FileReport &report)
{
    const bool utf8File = writtenInUtf8(read);
    for (const Requisite r : kRequisites) {
        const std::optional<QByteArray> &bytes = r == Requisite::Firm ? read.firm
                : r == Requisite::Phone                               ? read.phone
                : r == Requisite::Mail                                ? read.mail
                                                                      : read.bill;
        if (!bytes)
            continue;
        if (!isRequisiteText(text(bytes)))
            report.problems.push_back({"requisite-not-cp1251", 0,
                                       QCoreApplication::translate("FileCheck", "Поле «%1» содержит байты, которые не являются текстом в кодировке Windows-1251.").arg(
                                               texts::requisiteCaption(r))});
        else if (utf8File && looksLikeUtf8(*bytes))
            report.problems.push_back({"requisite-not-cp1251", 0,
                                       QCoreApplication::translate("FileCheck", "Поле «%1» записано в UTF-8, а не в Windows-1251: %2.").arg(
                                               texts::requisiteCaption(r), quoted(QString::fromUtf8(*bytes)))});
    }
}

void check(const QuestionnaireRead &read, FileReport &report)
{
    report.computedCode = read.sum;
    if (read.checkCodeText)
        report.storedCode = read.storedCode;
    report.verdict = verdictOf(read);
    if (read.idText)
        report.modelId = read.deviceCode;
    report.firm = text(read.firm);
    report.phone = text(read.phone);
    report.mail = text(read.mail);
    report.bill = text(read.bill);
    report.version = text(read.version);

    // As a new window loads it.
    report.loaded = loadedQuestionnaire(read, defaultQuestionnaire());
    report.problems = report.loaded.changes;
    for (const SaveRefusal &refusal : saveRefusals(report.loaded.value)) {
        // A refused file's requisites are not taken: the window's own are no problem of the file.
        const bool ofRequisites = refusal.kind < SaveRefusal::NoInput;
        if (ofRequisites && !report.loaded.accepted)
            continue;
        if (auto problem = refusalProblem(refusal, read, report.loaded.value))
            report.problems.push_back(std::move(*problem));
    }
    checkRequisiteBytes(read, report);
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
    case Verdict::NoModelId:
        return "no-model-id";
    case Verdict::CheckCodeMismatch:
        return "check-code-mismatch";
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
