#include "exchange/MediaNames.h"

#include "document/FileKind.h"

#include "document/MediaLookup.h"
#include "document/Windows1252.h"
#include "document/MediaAdmission.h"
#include "platform/CheckedFile.h"
#include "platform/SourceFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
constexpr int kMaxNameLength = 100;

// The entry of `entries` named `name` in any letter case ("" when none):
// names are compared without letter case, as the test travels to Windows.
QString entryNamed(const QStringList &entries, const QString &name)
{
    QString found;
    for (const QString &e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            found = e;
    return found;
}

bool isReservedOnWindows(const QString &stem)
{
    static const QStringList reserved = {
        QStringLiteral("con"), QStringLiteral("prn"), QStringLiteral("aux"), QStringLiteral("nul"),
        QStringLiteral("com1"), QStringLiteral("com2"), QStringLiteral("com3"), QStringLiteral("com4"),
        QStringLiteral("com5"), QStringLiteral("com6"), QStringLiteral("com7"), QStringLiteral("com8"),
        QStringLiteral("com9"), QStringLiteral("lpt1"), QStringLiteral("lpt2"), QStringLiteral("lpt3"),
        QStringLiteral("lpt4"), QStringLiteral("lpt5"), QStringLiteral("lpt6"), QStringLiteral("lpt7"),
        QStringLiteral("lpt8"), QStringLiteral("lpt9")};
    return reserved.contains(stem.toLower());
}
}

QString MediaNames::sanitise(const QString &name)
{
    QString bare = MediaLookup::nameOf(name);
    QString clean;
    for (const QChar c : bare) {
        const bool unsafe = c.unicode() < 0x20 || c.unicode() == 0x7F
                            || QStringLiteral("/\\:*?\"<>|").contains(c) || c == QChar(0xA9)
                            || !Windows1252::unencodable(QString(c)).isEmpty() || c.isSurrogate();
        clean += unsafe ? QLatin1Char('_') : c;
    }
    clean = clean.trimmed();
    while (clean.startsWith(QLatin1Char('.')))
        clean.remove(0, 1);
    while (clean.endsWith(QLatin1Char('.')) || clean.endsWith(QLatin1Char(' ')))
        clean.chop(1);
    const qsizetype dot = clean.lastIndexOf(QLatin1Char('.'));
    QString stem = dot < 0 ? clean : clean.left(dot);
    QString suffix = dot < 0 ? QString() : clean.mid(dot + 1);
    stem.replace(QLatin1Char('.'), QLatin1Char('_'));
    stem = stem.trimmed();
    if (stem.isEmpty() || isReservedOnWindows(stem))
        stem = QStringLiteral("media") + (stem.isEmpty() ? QString() : QLatin1Char('_') + stem);
    suffix = suffix.left(10);
    stem = stem.left(kMaxNameLength - suffix.size() - 1);
    return suffix.isEmpty() ? stem : stem + QLatin1Char('.') + suffix;
}

MediaNames::MediaNames(const QString &folder, const QString &avoidNamesIn)
    : MediaNames(OutputFolder::open(folder), avoidNamesIn)
{
}

MediaNames::MediaNames(OutputFolderPtr folder, const QString &avoidNamesIn)
    : m_out(std::move(folder)), m_folder(m_out->path()), m_avoid(avoidNamesIn)
{
}

QString MediaNames::placeFor(const QString &name, const SameAs &sameAs, bool *reuse) const
{
    const QString clean = sanitise(name);   // one full stop at most
    // Names are compared without letter case: the test travels to Windows.
    // Every entry holds its name: a dangling link or a pipe as much as a file.
    const QStringList present = m_out->names();
    QStringList avoided;
    if (!m_avoid.isEmpty())
        for (const QString &name : QDir(m_avoid).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden))
            avoided << name.toLower();
    for (int n = 1;; ++n) {
        const QString candidate = numberedName(clean, n);
        const QString lower = candidate.toLower();
        const QString existing = entryNamed(present, candidate);
        if (avoided.contains(lower))
            continue;
        if (existing.isEmpty() && !m_written.contains(lower)) {
            *reuse = false;
            return candidate;
        }
        const OpenFilePtr there = existing.isEmpty() ? nullptr : m_out->openEntry(existing);
        if (there && sameAs(*there)) {
            *reuse = true;
            return existing;
        }
    }
}

QString MediaNames::sameInAvoided(const QString &name, const SameAs &sameAs) const
{
    if (m_avoid.isEmpty())
        return QString();
    const QString clean = sanitise(name);
    const SourceFolder avoided(m_avoid);
    const QStringList present = QDir(m_avoid).entryList(QDir::Files | QDir::Hidden);
    // The name and its numbered variants (logo-2.jpg...) as far as they go.
    for (int n = 1;; ++n) {
        const QString existing = entryNamed(present, numberedName(clean, n));
        if (existing.isEmpty())
            return QString();
        const SourceFolder::Opening there = avoided.open(existing);
        if (there.file && sameAs(*there.file))
            return QDir(m_avoid).absoluteFilePath(existing);
    }
}

QString MediaNames::write(const QString &name, const QByteArray &data, QString *error)
{
    if (const QString why = MediaAdmission::refusalOfContent(sanitise(name), data.left(4096), data.size()); !why.isEmpty()) {
        *error = why;
        return QString();
    }
    const auto same = [&](const OpenFile &existing) { return MediaAdmission::sameContent(existing, data); };
    if (const QString there = sameInAvoided(name, same); !there.isEmpty())
        return there;
    bool reuse = false;
    const QString chosen = placeFor(name, same, &reuse);
    const QString path = QDir(m_folder).filePath(chosen);
    m_written.insert(chosen.toLower());
    if (reuse)
        return path;
    // A new file under a free name, in the folder opened once: nothing is
    // replaced, and a failed write leaves nothing.
    if (!CheckedFile::write(m_out, chosen, data, error, CheckedFile::Mode::NewOnly))
        return QString();
    m_created << chosen;
    return path;
}

void MediaNames::removeCreated()
{
    for (const QString &name : std::as_const(m_created))
        m_out->remove(name);
    m_created.clear();
}

QStringList MediaNames::created() const
{
    QStringList paths;
    for (const QString &name : m_created)
        paths << QDir(m_folder).filePath(name);
    return paths;
}

QString MediaNames::copy(const OpenFile &file, const QString &name, QString *error)
{
    if (const QString why = MediaAdmission::refusalOf(file, sanitise(name)); !why.isEmpty()) {
        *error = why;
        return QString();
    }
    const QString bare = MediaLookup::nameOf(name);
    // The very file, already in the folder under its name (a bank imported
    // into a test beside it): used where it is.
    if (const OpenFilePtr there = m_out->openEntry(bare); there && there->isSameFile(file))
        return QDir(m_folder).filePath(bare);
    const auto same = [&](const OpenFile &existing) { return MediaAdmission::sameContent(existing, file); };
    if (const QString there = sameInAvoided(bare, same); !there.isEmpty())
        return there;
    bool reuse = false;
    const QString chosen = placeFor(bare, same, &reuse);
    const QString path = QDir(m_folder).filePath(chosen);
    m_written.insert(chosen.toLower());
    if (reuse)
        return path;
    if (!CheckedFile::copy(file, m_out, chosen, error, CheckedFile::Mode::NewOnly))
        return QString();
    m_created << chosen;
    return path;
}
