#include "check/FolderWalk.h"

#include "core/AtomicFile.h"
#include "core/PathText.h"
#include "core/Platform.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>


using namespace Qt::StringLiterals;
namespace fs = std::filesystem;

namespace qsjuv::check {

namespace {

constexpr char kProgram[] = "qs_juv_check";
// The walk recurses once a level. Its thread's stack is reserved, not used, for this many levels
// at a sanitizer build's frame sizes; deeper folders are reported rather than entered.
constexpr std::size_t kMaxDepth = 50000;
constexpr uint kWalkStackBytes = 1024u * 1024u * 1024u;
// Names are kept in blocks that never move, so that holding them costs little more than their
// bytes. Small folders take small blocks: every folder on the way down holds its own.
constexpr std::size_t kFirstBlock = 256;
constexpr std::size_t kFirstIndex = 16;
constexpr int kBlockBits = 20;
constexpr std::size_t kLargestBlock = std::size_t(1) << kBlockBits;
constexpr std::size_t kMaxBlocks = std::size_t(1) << (32 - kBlockBits); // a record's place fits four bytes

bool hasQuestionnaireSuffix(std::string_view name)
{
    if (name.size() < 4)
        return false;
    const std::string_view tail = name.substr(name.size() - 4);
    return tail[0] == '.' && (tail[1] | 0x20) == 'c' && (tail[2] | 0x20) == 'f' && (tail[3] | 0x20) == 'g';
}

// Regular: a file as the listing says, opened without a look first; Entry: anything else.
enum class Kind : char { Folder, Regular, Entry };
// Folders held open on the way down; those above are opened again through ".." on the way up.
constexpr std::size_t kHeldFolders = 64;
// Names of old-content copies held for one folder; beyond, each file's are asked for.
constexpr qsizetype kHeldCopyNames = 1024;

// One folder's names while they are sorted: each record is its kind, the name and a 0 byte.
// What they take is charged to the walk's budget and given back when they go.
class HeldNames
{
public:
    explicit HeldNames(std::size_t &budget) : m_budget(budget), m_limit(budget / 2) { }
    ~HeldNames() { clear(); }
    HeldNames(const HeldNames &) = delete;
    HeldNames &operator=(const HeldNames &) = delete;

    // False, holding nothing more, when the name does not fit in what is left of the budget.
    bool add(Kind kind, std::string_view name)
    {
        const std::size_t length = name.size() + 2;
        if (m_used + length > m_blockSize) {
            const std::size_t size = std::clamp(m_charged, kFirstBlock, kLargestBlock);
            if (m_blocks.size() >= kMaxBlocks || !charge(size))
                return false;
            m_blocks.push_back(std::make_unique<char[]>(size));
            m_blockSize = size;
            m_used = 0;
        }
        if (m_index.size() == m_index.capacity()) {
            const std::size_t more = std::max(m_index.capacity(), kFirstIndex);
            if (!charge(more * sizeof(Record)))
                return false;
            m_index.reserve(m_index.capacity() + more);
        }
        char *record = m_blocks.back().get() + m_used;
        record[0] = char(kind);
        std::memcpy(record + 1, name.data(), name.size());
        record[length - 1] = 0;
        // Where the record is, in four bytes: its block's number and the place in it.
        m_index.push_back(Record((m_blocks.size() - 1) << kBlockBits | m_used));
        m_used += length;
        return true;
    }

    // Byte order: strcmp compares as unsigned char.
    void sort()
    {
        std::sort(m_index.begin(), m_index.end(),
                  [this](Record a, Record b) { return std::strcmp(record(a) + 1, record(b) + 1) < 0; });
    }

    std::size_t size() const { return m_index.size(); }
    Kind kind(std::size_t i) const { return Kind(record(m_index[i])[0]); }
    const char *name(std::size_t i) const { return record(m_index[i]) + 1; }

    void clear()
    {
        std::vector<Record>().swap(m_index);
        std::vector<std::unique_ptr<char[]>>().swap(m_blocks);
        m_blockSize = m_used = 0;
        m_budget += std::exchange(m_charged, 0);
    }

private:
    using Record = std::uint32_t;

    const char *record(Record r) const
    {
        return m_blocks[r >> kBlockBits].get() + (r & (kLargestBlock - 1));
    }

    bool charge(std::size_t bytes)
    {
        if (bytes > m_budget || m_charged + bytes > m_limit)
            return false;
        m_budget -= bytes;
        m_charged += bytes;
        return true;
    }

    std::size_t &m_budget;
    const std::size_t m_limit;
    std::size_t m_charged = 0;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::size_t m_blockSize = 0;
    std::size_t m_used = 0;
    std::vector<Record> m_index;
};

struct Level
{
    platform::Folder folder;
    platform::Status status;
};

class Walker
{
public:
    Walker(const std::function<void(const WalkEntry &)> &visit, QTextStream &err, bool &failed, const WalkLimits &limits)
        : m_visit(visit), m_err(err), m_failed(failed), m_listingTypes(limits.listingTypes), m_budget(limits.nameBytes)
    {
    }

    // current names a folder; the names below it are appended while they are visited: one
    // string for the whole walk.
    std::size_t walk(std::string current)
    {
        m_current = std::move(current);
        auto root = std::make_unique<Level>();
        platform::Error error = root->folder.open(QByteArray::fromStdString(m_current));
        if (!error)
            error = root->folder.status(&root->status);
        if (error) {
            report(nullptr, QCoreApplication::translate("FolderWalk", "не удалось прочитать каталог"), error);
            return 0;
        }
        m_levels.push_back(std::move(root));
        folder();
        return m_found;
    }

private:
    void folder();
    void takeInListingOrder(platform::FolderListing &listing, HeldNames &names, Kind kind, const QByteArray &name);
    std::optional<Kind> kindOf(const platform::FolderListing::Entry &entry);
    void visitOne(Kind kind, const QByteArray &name, const QByteArrayList *copies);
    void enter(const QByteArray &name);
    void leave(std::unique_ptr<Level> child);
    void report(const char *name, const QString &what, int error);

    const std::function<void(const WalkEntry &)> &m_visit;
    QTextStream &m_err;
    bool &m_failed;
    const bool m_listingTypes;
    std::size_t m_budget;
    std::size_t m_found = 0;
    std::string m_current;
    std::vector<std::unique_ptr<Level>> m_levels;
};

void Walker::folder()
{
    platform::FolderListing listing;
    if (const platform::Error error = listing.open(m_levels.back()->folder)) {
        report(nullptr, QCoreApplication::translate("FolderWalk", "не удалось прочитать каталог"), error);
        return;
    }
    HeldNames names(m_budget);
    QByteArrayList copies;
    bool allCopies = true;
    platform::FolderListing::Entry entry;
    platform::Error error = 0;
    while (listing.next(&entry, &error, !m_listingTypes)) {
        if (isOldContentCopyName(entry.name)) {
            allCopies = allCopies && copies.size() < kHeldCopyNames;
            if (allCopies)
                copies << entry.name;
            continue;
        }
        const std::optional<Kind> kind = kindOf(entry);
        if (kind && !names.add(*kind, std::string_view(entry.name.constData(), entry.name.size()))) {
            takeInListingOrder(listing, names, *kind, entry.name);
            return;
        }
    }
    if (error != 0)
        report(nullptr, QCoreApplication::translate("FolderWalk", "не удалось прочитать каталог"), error);
    listing.close(); // the folder itself stays open, its listing does not
    names.sort();
    for (std::size_t i = 0; i < names.size(); ++i)
        visitOne(names.kind(i), QByteArray(names.name(i)), allCopies ? &copies : nullptr);
}

// The names held so far, the one that did not fit, then the rest as the listing gives them.
void Walker::takeInListingOrder(platform::FolderListing &listing, HeldNames &names, Kind kind, const QByteArray &name)
{
    m_err << kProgram << ": " << displayPath(QByteArrayView(m_current))
          << QCoreApplication::translate("FolderWalk", ": имён слишком много, чтобы упорядочить их; записи взяты в порядке каталога\n");
    for (std::size_t i = 0; i < names.size(); ++i)
        visitOne(names.kind(i), QByteArray(names.name(i)), nullptr);
    names.clear();
    visitOne(kind, name, nullptr);
    platform::FolderListing::Entry entry;
    platform::Error error = 0;
    while (listing.next(&entry, &error, !m_listingTypes)) {
        if (const std::optional<Kind> nextKind = kindOf(entry))
            visitOne(*nextKind, entry.name, nullptr);
    }
    if (error != 0)
        report(nullptr, QCoreApplication::translate("FolderWalk", "не удалось прочитать каталог"), error);
}

// Nullopt for an entry the walk passes by: not a folder, not named *.cfg, or gone meanwhile.
std::optional<Kind> Walker::kindOf(const platform::FolderListing::Entry &entry)
{
    const std::string_view name(entry.name.constData(), std::size_t(entry.name.size()));
    if (!entry.kind) {
        if (hasQuestionnaireSuffix(name))
            return Kind::Entry; // its check says why it cannot be read
        if (entry.kindError != ENOENT)
            report(entry.name.constData(), QCoreApplication::translate("FolderWalk", "не удалось узнать тип записи"), entry.kindError);
        return std::nullopt;
    }
    if (*entry.kind == platform::Kind::Directory)
        return Kind::Folder;
    if (!hasQuestionnaireSuffix(name))
        return std::nullopt;
    return *entry.kind == platform::Kind::Regular ? Kind::Regular : Kind::Entry;
}

void Walker::visitOne(Kind kind, const QByteArray &name, const QByteArrayList *copies)
{
    // A folder that could not be opened again on the way up was reported then.
    if (!m_levels.back()->folder.isOpen())
        return;
    const std::size_t length = m_current.size();
    if (m_current.empty() || m_current.back() != '/')
        m_current += '/';
    m_current += name.toStdString();
    if (kind == Kind::Folder) {
        enter(name);
    } else {
        const std::optional<platform::Kind> listed = kind == Kind::Regular ? std::optional(platform::Kind::Regular) : std::nullopt;
        m_visit(WalkEntry{m_levels.back()->folder, name, m_current, listed, copies});
        ++m_found;
    }
    m_current.resize(length);
}

void Walker::enter(const QByteArray &name)
{
    auto child = std::make_unique<Level>();
    if (const platform::Error error = child->folder.openChild(m_levels.back()->folder, name, &child->status)) {
        report(nullptr, QCoreApplication::translate("FolderWalk", "не удалось прочитать каталог"), error);
        return;
    }
    for (const std::unique_ptr<Level> &above : m_levels) {
        if (above->status.sameFile(child->status)) {
            m_err << kProgram << ": " << displayPath(QByteArrayView(m_current))
                  << QCoreApplication::translate("FolderWalk", ": каталог уже обходится выше по пути (смонтирован сам в себя), повторно не обходится\n");
            return;
        }
    }
    if (m_levels.size() >= kMaxDepth) {
        m_err << kProgram << ": " << displayPath(QByteArrayView(m_current))
              << QCoreApplication::translate("FolderWalk", ": каталоги вложены слишком глубоко, глубже не обходятся\n");
        m_failed = true;
        return;
    }
    m_levels.push_back(std::move(child));
    if (m_levels.size() > kHeldFolders)
        m_levels[m_levels.size() - 1 - kHeldFolders]->folder.close();
    folder();
    child = std::move(m_levels.back());
    m_levels.pop_back();
    leave(std::move(child));
}

// Back in the folder above child: opened again where it was closed, and only if it is the same.
void Walker::leave(std::unique_ptr<Level> child)
{
    Level &parent = *m_levels.back();
    if (parent.folder.isOpen())
        return;
    platform::Status again;
    platform::Error error = parent.folder.openParent(child->folder, &again);
    if (!error && !again.sameFile(parent.status))
        error = ESTALE;
    if (error) {
        parent.folder.close();
        const std::size_t slash = m_current.rfind('/');
        const std::string below = m_current;
        m_current.resize(slash == std::string::npos ? 0 : slash);
        report(nullptr, QCoreApplication::translate("FolderWalk", "каталог перемещён во время обхода"), error);
        m_current = below;
    }
}

void Walker::report(const char *name, const QString &what, int error)
{
    std::string path = m_current;
    if (name)
        path.append(path.empty() || path.back() != '/' ? "/" : "").append(name);
    m_err << kProgram << ": " << displayPath(QByteArrayView(path)) << u": "_s << what << u": "_s
          << platform::errorText(error) << '\n';
    m_failed = true;
}

} // namespace

std::size_t forEachQuestionnaireFile(const fs::path &dir, const std::function<void(const WalkEntry &)> &visit,
                                     QTextStream &err, bool &failed, const WalkLimits &limits)
{
    // On a thread of its own, so that a deep tree cannot overflow the caller's stack.
    std::size_t visited = 0;
    std::exception_ptr thrown;
    QThread *walk = QThread::create([&] {
        try {
            visited = Walker(visit, err, failed, limits).walk(dir.native());
        } catch (...) {
            thrown = std::current_exception();
        }
    });
    walk->setStackSize(kWalkStackBytes);
    walk->start();
    walk->wait();
    delete walk;
    if (thrown)
        std::rethrow_exception(thrown);
    return visited;
}

std::size_t forEachQuestionnaireFile(const fs::path &dir, const std::function<void(const fs::path &)> &visit,
                                     QTextStream &err, bool &failed, const WalkLimits &limits)
{
    return forEachQuestionnaireFile(
            dir, [&visit](const WalkEntry &entry) { visit(fs::path(entry.path)); }, err, failed, limits);
}

} // namespace qsjuv::check
