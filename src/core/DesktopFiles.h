#pragma once
// Files as a desktop user expects them: the configurations opened or saved
// last (most recent first), the folder each kind of file was last saved in or
// opened from, the file name suggested from the offer's reference and
// customer, and the rule that gives offer documents saved again after a change
// their next revision. All kept in the settings file the caller names.

#include "OfferDetails.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

constexpr int kMaxRecentFiles = 8;
constexpr const char *kRecentFilesSection = "RecentFiles";
constexpr const char *kLastFoldersSection = "Folders";
constexpr const char *kDocumentRevisionsSection = "OfferRevisions";
/// The longest name SuggestedFileName gives, without extension.
constexpr int kMaxSuggestedNameLength = 80;

// --- Recent configurations

/// The list with `fileName` (made absolute) at its head, once, at most eight entries.
QStringList AddRecentFile(const QStringList &list, const QString &fileName);
/// The list without `fileName`.
QStringList RemoveRecentFile(const QStringList &list, const QString &fileName);
/// The files of the list that still exist, in its order.
QStringList ExistingRecentFiles(const QStringList &list);
/// The list kept in the settings, most recent first; empty entries left out.
QStringList ReadRecentFiles(const QString &iniFile);
/// Keeps the first eight of the list; a name a settings line cannot hold (a line
/// break, too long) is left out. False when the settings file cannot be written.
bool WriteRecentFiles(const QString &iniFile, const QStringList &list);

// --- The folder last used for each kind of file

enum class TFileKind { Configuration, Document, Picture, BillOfMaterials };

/// The folder last used for the kind; empty when none is kept or it no longer exists.
QString ReadLastFolder(const QString &iniFile, TFileKind kind);
/// Keeps the folder of `fileName` for the kind.
bool WriteLastFolder(const QString &iniFile, TFileKind kind, const QString &fileName);
/// What a file dialog starts with: the folder and the suggested name, each may be empty.
QString StartFileName(const QString &folder, const QString &suggestedName);

// --- Suggested file names

/// The text as a file name: control characters, slashes, the characters Windows
/// refuses (: * ? " < > |) and dots (which would start an extension the save
/// dialogs replace) become blanks, runs of blanks one, no blank at either end,
/// at most `maxLength` characters (never half a character).
QString SanitizedFileName(const QString &text, int maxLength = kMaxSuggestedNameLength);
/// "<reference> <customer>" as a file name, either part alone when the other is
/// missing; empty without both (the dialogs then suggest nothing, as before).
QString SuggestedFileName(const TOfferDetails &offer);

// --- Revisions of the offer documents

/// What documents were last saved for a reference (its revisions share one entry).
struct TSavedDocuments {
    QString Reference;   // as written on them, with its revision suffix
    QString Fingerprint; // of the configuration they were made from
    bool IsEmpty() const { return Reference.isEmpty(); }
};

/// The configuration as its offer documents tell it: the request without the
/// offer's reference (which the revision changes), as a hash.
QString ConfigurationFingerprint(const QJsonObject &request);
/// The reference offer documents are saved under now. Rule: a reference whose
/// documents were never saved, or were last saved from this same configuration,
/// stays as it is; documents saved for it (or another revision of it) from a
/// configuration that has changed since take the revision after the higher of
/// the two ("-R1", then "-R2"). An empty reference stays empty.
QString DocumentsReference(const QString &reference, const QString &fingerprint, const TSavedDocuments &last);
/// The documents last saved for the reference's base (without revision suffix).
TSavedDocuments ReadSavedDocuments(const QString &iniFile, const QString &reference);
bool WriteSavedDocuments(const QString &iniFile, const TSavedDocuments &saved);
