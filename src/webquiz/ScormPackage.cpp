#include "webquiz/ScormPackage.h"

#include <QXmlStreamWriter>

namespace {
const QString kImsCp12 = QStringLiteral("http://www.imsproject.org/xsd/imscp_rootv1p1p2");
const QString kAdlCp12 = QStringLiteral("http://www.adlnet.org/xsd/adlcp_rootv1p2");
const QString kImsCp2004 = QStringLiteral("http://www.imsglobal.org/xsd/imscp_v1p1");
const QString kAdlCp2004 = QStringLiteral("http://www.adlnet.org/xsd/adlcp_v1p3");
const QString kImsSs = QStringLiteral("http://www.imsglobal.org/xsd/imsss");

// The pass mark as a share of one ("0.5", "0.67", "1").
QString normalized(int percent)
{
    return QString::number(qBound(0, percent, 100) / 100.0, 'g', 3);
}
}

namespace ScormPackage {
QString launchPage()
{
    return QStringLiteral("index.html");
}

QString versionName(ScormVersion version)
{
    return version == ScormVersion::Scorm2004 ? QStringLiteral("SCORM 2004") : QStringLiteral("SCORM 1.2");
}

QJsonObject pageSettings(const ScormSettings &settings)
{
    QJsonObject o;
    o[QStringLiteral("version")] = settings.version == ScormVersion::Scorm2004 ? QStringLiteral("2004")
                                                                               : QStringLiteral("1.2");
    o[QStringLiteral("passPercent")] = settings.hasPassMark() ? QJsonValue(qBound(0, settings.passPercent, 100))
                                                              : QJsonValue(QJsonValue::Null);
    return o;
}

QByteArray manifest(const ScormSettings &settings, const QString &title, const QString &identifier,
                    const QStringList &files)
{
    const bool v2004 = settings.version == ScormVersion::Scorm2004;
    const QString adlcp = v2004 ? kAdlCp2004 : kAdlCp12;
    // A platform lists the activity by this title; a test without one still
    // needs a name there.
    QString shown = title.trimmed().isEmpty() ? QStringLiteral("Quiz") : title;
    if (!v2004)
        shown = shown.left(kScorm12TitleLength);
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(v2004 ? kImsCp2004 : kImsCp12);
    xml.writeNamespace(adlcp, QStringLiteral("adlcp"));
    if (v2004)
        xml.writeNamespace(kImsSs, QStringLiteral("imsss"));
    xml.writeStartElement(v2004 ? kImsCp2004 : kImsCp12, QStringLiteral("manifest"));
    xml.writeAttribute(QStringLiteral("identifier"), QStringLiteral("ardeno-") + identifier);
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1"));

    xml.writeStartElement(QStringLiteral("metadata"));
    xml.writeTextElement(QStringLiteral("schema"), QStringLiteral("ADL SCORM"));
    xml.writeTextElement(QStringLiteral("schemaversion"), v2004 ? QStringLiteral("2004 4th Edition") : QStringLiteral("1.2"));
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("organizations"));
    xml.writeAttribute(QStringLiteral("default"), QStringLiteral("ORG-1"));
    xml.writeStartElement(QStringLiteral("organization"));
    xml.writeAttribute(QStringLiteral("identifier"), QStringLiteral("ORG-1"));
    xml.writeTextElement(QStringLiteral("title"), shown);
    xml.writeStartElement(QStringLiteral("item"));
    xml.writeAttribute(QStringLiteral("identifier"), QStringLiteral("ITEM-1"));
    xml.writeAttribute(QStringLiteral("identifierref"), QStringLiteral("RES-1"));
    xml.writeTextElement(QStringLiteral("title"), shown);
    if (!settings.hasPassMark()) {
        // No pass mark: the platform judges by nothing but the score.
    } else if (v2004) {
        // The pass mark as the platform reads it: the primary objective is
        // met by a score of at least this share.
        xml.writeStartElement(kImsSs, QStringLiteral("sequencing"));
        xml.writeStartElement(kImsSs, QStringLiteral("objectives"));
        xml.writeStartElement(kImsSs, QStringLiteral("primaryObjective"));
        xml.writeAttribute(QStringLiteral("objectiveID"), QStringLiteral("PRIMARYOBJ"));
        xml.writeAttribute(QStringLiteral("satisfiedByMeasure"), QStringLiteral("true"));
        xml.writeTextElement(kImsSs, QStringLiteral("minNormalizedMeasure"), normalized(settings.passPercent));
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();
    } else {
        xml.writeTextElement(adlcp, QStringLiteral("masteryscore"), QString::number(qBound(0, settings.passPercent, 100)));
    }
    xml.writeEndElement();   // item
    xml.writeEndElement();   // organization
    xml.writeEndElement();   // organizations

    xml.writeStartElement(QStringLiteral("resources"));
    xml.writeStartElement(QStringLiteral("resource"));
    xml.writeAttribute(QStringLiteral("identifier"), QStringLiteral("RES-1"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("webcontent"));
    xml.writeAttribute(adlcp, v2004 ? QStringLiteral("scormType") : QStringLiteral("scormtype"), QStringLiteral("sco"));
    xml.writeAttribute(QStringLiteral("href"), files.value(0));
    for (const QString &file : files) {
        xml.writeStartElement(QStringLiteral("file"));
        xml.writeAttribute(QStringLiteral("href"), file);
        xml.writeEndElement();
    }
    xml.writeEndElement();   // resource
    xml.writeEndElement();   // resources
    xml.writeEndElement();   // manifest
    xml.writeEndDocument();
    return out;
}

QStringList files(const WebQuizExport &page)
{
    QStringList names = {launchPage()};
    for (const PageMedia &m : page.parts.media())
        names << m.packagedName;
    return names;
}

bool write(const WebQuizExport &page, const ScormSettings &settings, const QString &title, const QString &identifier,
           const ZipWriter::Sink &sink, QString *reason)
{
    // The sizes are known before a byte is written: a package a zip cannot
    // hold is refused at once, not after gigabytes went to the disk.
    const QByteArray launch = page.page();
    constexpr qint64 kEntryOverhead = 128;   // both headers of an entry, without its name
    qint64 total = launch.size() + 64 * 1024;   // and the manifest, generously
    for (const PageMedia &m : page.parts.media())
        total += m.size() + 2 * (kEntryOverhead + m.packagedName.size());
    if (total > qint64(0xFFFFFFFFll)) {
        *reason = QStringLiteral("the package would be larger than 4 GB");
        return false;
    }
    ZipWriter zip(sink);
    const QStringList names = files(page);
    bool ok = zip.addBytes(QStringLiteral("imsmanifest.xml"), manifest(settings, title, identifier, names))
              && zip.addBytes(launchPage(), launch);
    const QList<PageMedia> &media = page.parts.media();
    for (qsizetype i = 0; ok && i < media.size(); ++i) {
        const PageMedia &m = media[i];
        // Pictures, sounds and videos are compressed already: stored.
        ok = !m.file ? zip.addBytes(m.packagedName, m.bytes, m.mimeType == QLatin1String("image/svg+xml")
                                                                       || m.mimeType == QLatin1String("image/bmp")
                                                                       || m.mimeType == QLatin1String("audio/wav"))
                              : zip.addFile(m.packagedName, *m.file);
        if (!ok && m.file)
            *reason = QStringLiteral("%1: %2").arg(m.file->name(), zip.errorString());
    }
    ok = ok && zip.finish();
    if (!ok && reason->isEmpty())
        *reason = zip.errorString();
    return ok;
}
}
