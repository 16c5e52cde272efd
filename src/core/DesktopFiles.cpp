#include "DesktopFiles.h"

#include "IniFile.h"
#include "RequestKeys.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>

#include <algorithm>

namespace {

constexpr int kMaxSettingsValue = 2000; // a settings line holds 2047 characters

QString Section(const char *name) { return QString::fromLatin1(name); }

QString RecentKey(int index) { return QStringLiteral("File%1").arg(index + 1); }

QString AbsoluteName(const QString &fileName)
{
    return fileName.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(fileName).absoluteFilePath());
}

/// A name a settings line can hold (the settings writer keeps blanks at its ends).
bool FitsSettingsLine(const QString &text)
{
    return !text.isEmpty() && text.size() <= kMaxSettingsValue && !text.contains(u'\n') && !text.contains(u'\r') &&
           !text.contains(QChar(0));
}

QString ReadValue(const QString &iniFile, const char *section, const QString &key)
{
    return IniReadString(iniFile, Section(section), key, QString());
}

const char *FolderKey(TFileKind kind)
{
    switch (kind) {
    case TFileKind::Configuration:
        return "Configuration";
    case TFileKind::Document:
        return "Document";
    case TFileKind::Picture:
        return "Picture";
    case TFileKind::BillOfMaterials:
        return "BillOfMaterials";
    }
    return "Configuration";
}

/// One entry for every revision of a reference; the key holds no character a settings key may not.
QString RevisionKey(const QString &reference)
{
    return QStringLiteral("R") +
           QString::fromLatin1(
               QCryptographicHash::hash(BaseReference(reference).toUtf8(), QCryptographicHash::Sha1).toHex());
}

bool IsRefusedInName(QChar c)
{
    // A dot would start an extension the save dialogs replace by their own.
    static const QString refused = QStringLiteral("/\\:*?\"<>|.");
    return c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ||
           c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph ||
           refused.contains(c);
}

QString TrimmedName(QString text)
{
    while (!text.isEmpty() && (text.front().isSpace() || text.front() == u'.'))
        text.remove(0, 1);
    while (!text.isEmpty() && (text.back().isSpace() || text.back() == u'.'))
        text.chop(1);
    return text;
}

} // namespace

QStringList AddRecentFile(const QStringList &list, const QString &fileName)
{
    const QString name = AbsoluteName(fileName);
    if (name.isEmpty())
        return list.mid(0, kMaxRecentFiles);
    QStringList result = RemoveRecentFile(list, name);
    result.prepend(name);
    return result.mid(0, kMaxRecentFiles);
}

QStringList RemoveRecentFile(const QStringList &list, const QString &fileName)
{
    const QString name = AbsoluteName(fileName);
    QStringList result;
    for (const QString &entry : list)
        if (AbsoluteName(entry) != name)
            result << entry;
    return result;
}

QStringList ExistingRecentFiles(const QStringList &list)
{
    QStringList result;
    for (const QString &entry : list)
        if (QFileInfo(entry).isFile())
            result << entry;
    return result;
}

QStringList ReadRecentFiles(const QString &iniFile)
{
    QStringList list;
    for (int i = 0; i < kMaxRecentFiles; ++i) {
        const QString name = ReadValue(iniFile, kRecentFilesSection, RecentKey(i));
        if (!name.isEmpty() && !list.contains(name))
            list << name;
    }
    return list;
}

bool WriteRecentFiles(const QString &iniFile, const QStringList &list)
{
    QStringList kept;
    for (const QString &name : list)
        if (FitsSettingsLine(name) && !kept.contains(name) && kept.size() < kMaxRecentFiles)
            kept << name;
    bool written = true;
    for (int i = 0; i < kMaxRecentFiles; ++i)
        written = IniWriteString(iniFile, Section(kRecentFilesSection), RecentKey(i),
                                 i < kept.size() ? kept[i] : QString()) &&
                  written;
    return written;
}

QString ReadLastFolder(const QString &iniFile, TFileKind kind)
{
    const QString folder = ReadValue(iniFile, kLastFoldersSection, QLatin1String(FolderKey(kind)));
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

bool WriteLastFolder(const QString &iniFile, TFileKind kind, const QString &fileName)
{
    const QString folder = QFileInfo(AbsoluteName(fileName)).absolutePath();
    if (!FitsSettingsLine(folder))
        return false;
    return IniWriteString(iniFile, Section(kLastFoldersSection), QLatin1String(FolderKey(kind)), folder);
}

QString StartFileName(const QString &folder, const QString &suggestedName)
{
    if (folder.isEmpty())
        return suggestedName;
    if (suggestedName.isEmpty())
        return QDir::cleanPath(folder) + u'/';
    return QDir(folder).filePath(suggestedName);
}

QString SanitizedFileName(const QString &text, int maxLength)
{
    QString name;
    name.reserve(text.size());
    for (QChar c : text)
        name += IsRefusedInName(c) ? QChar(u' ') : c;
    name = TrimmedName(name.simplified());
    if (name.size() > maxLength) {
        qsizetype cut = maxLength;
        if (cut > 0 && name.at(cut - 1).isHighSurrogate())
            --cut;
        name = TrimmedName(name.left(cut));
    }
    return name;
}

QString SuggestedFileName(const TOfferDetails &offer)
{
    QStringList parts;
    for (const QString &part : {offer.Reference, offer.Customer}) {
        const QString clean = SanitizedFileName(part);
        if (!clean.isEmpty())
            parts << clean;
    }
    return SanitizedFileName(parts.join(u' '));
}

QString ConfigurationFingerprint(const QJsonObject &request)
{
    QJsonObject copy = request;
    const QString offerKey = RequestKeyName(TRequestKeyId::Offer);
    QJsonObject offer = copy.value(offerKey).toObject();
    offer.remove(QLatin1String(OfferMember::Reference));
    if (offer.isEmpty())
        copy.remove(offerKey);
    else
        copy.insert(offerKey, offer);
    // A JSON object keeps its members sorted: one configuration, one text.
    const QByteArray text = QJsonDocument(copy).toJson(QJsonDocument::Compact);
    return QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex());
}

QString DocumentsReference(const QString &reference, const QString &fingerprint, const TSavedDocuments &last)
{
    if (reference.isEmpty() || last.IsEmpty() || BaseReference(last.Reference) != BaseReference(reference) ||
        last.Fingerprint == fingerprint)
        return reference;
    const int32_t revision = std::max(RevisionOf(reference), RevisionOf(last.Reference));
    return BaseReference(reference) + QStringLiteral("-R%1").arg(revision + 1);
}

TSavedDocuments ReadSavedDocuments(const QString &iniFile, const QString &reference)
{
    if (reference.isEmpty())
        return {};
    const QString value = ReadValue(iniFile, kDocumentRevisionsSection, RevisionKey(reference));
    const qsizetype bar = value.lastIndexOf(u'|');
    if (bar <= 0)
        return {};
    TSavedDocuments saved{value.left(bar), value.mid(bar + 1)};
    if (BaseReference(saved.Reference) != BaseReference(reference))
        return {};
    return saved;
}

bool WriteSavedDocuments(const QString &iniFile, const TSavedDocuments &saved)
{
    const QString value = saved.Reference + u'|' + saved.Fingerprint;
    if (saved.IsEmpty() || !FitsSettingsLine(value))
        return false;
    return IniWriteString(iniFile, Section(kDocumentRevisionsSection), RevisionKey(saved.Reference), value);
}
