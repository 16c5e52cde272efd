#include "IniFile.h"
#include "SafeFile.h"

#include "TextCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QDeadlineTimer>
#include <QLockFile>
#include <QMutex>
#include <QThread>

#include <sys/stat.h>

#include <atomic>
#include <optional>

namespace {

constexpr int kMaxValueLength = 2047; // the profile functions' 2048-character buffer

enum class TLineKind { Other, Section, Key };

struct TIniLine {
    qsizetype Start = 0;     // first byte in the text
    qsizetype Length = 0;    // bytes before the line end
    qsizetype EndLength = 0; // 0 (last line without line end), 1 (CR or LF) or 2 (CRLF)
    TLineKind Kind = TLineKind::Other;
    QString Name;            // section or key name as written, trimmed
    QString RawValue;        // key lines: the text after '=', untrimmed
    bool Legacy = false;     // the line's bytes were not valid UTF-8
    bool Blank = true;
};

struct TIniText {
    QByteArray Bytes; // the file's 8-bit text, or a UTF-16 file's text in UTF-8
    TUtf16Order Utf16 = TUtf16Order::None;
    QList<TIniLine> Lines;
    bool AnyLegacy = false;
};

QString Fold(const QString &name) { return TrimBlanksAndControls(name).toCaseFolded(); }

// The first CR or LF from `pos`, or the end.
qsizetype LineEnd(const QByteArray &bytes, qsizetype pos)
{
    const char *data = bytes.constData();
    for (qsizetype i = pos; i < bytes.size(); ++i)
        if (data[i] == '\n' || data[i] == '\r')
            return i;
    return bytes.size();
}

// Splits the file into lines and classifies them as the profile functions do:
// CR, LF and CRLF each end a line; a file with a UTF-16 byte order mark is UTF-16.
TIniText ParseIni(const QByteArray &fileBytes)
{
    TIniText ini;
    ini.Utf16 = Utf16OrderOf(fileBytes);
    ini.Bytes = ini.Utf16 == TUtf16Order::None ? fileBytes : DecodeUtf16(fileBytes, ini.Utf16).toUtf8();
    const QByteArray &bytes = ini.Bytes;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        TIniLine line;
        line.Start = pos;
        const qsizetype end = LineEnd(bytes, pos);
        if (end < bytes.size())
            line.EndLength = bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1;
        line.Length = end - pos;
        pos = end + line.EndLength;

        QByteArray raw = bytes.mid(line.Start, line.Length);
        if (line.Start == 0 && raw.startsWith("\xEF\xBB\xBF"))
            raw.remove(0, 3);
        const QString text = DecodeText8Bit(raw);
        // Decoding fell back to Windows-1252 exactly when the bytes were not UTF-8.
        line.Legacy = text.toUtf8() != raw;
        ini.AnyLegacy = ini.AnyLegacy || line.Legacy;
        const QString trimmed = TrimBlanksAndControls(text);
        line.Blank = trimmed.isEmpty();
        if (trimmed.startsWith(u';')) {
            line.Kind = TLineKind::Other;
        } else if (trimmed.startsWith(u'[')) {
            // A header runs to the last ']' on the line; a header that never
            // closes is no header, so the lines after it stay in the section before.
            const qsizetype close = trimmed.lastIndexOf(u']');
            if (close > 0) {
                line.Kind = TLineKind::Section;
                line.Name = TrimBlanksAndControls(trimmed.mid(1, close - 1));
            }
        } else {
            const qsizetype eq = text.indexOf(u'=');
            if (eq >= 0) {
                const QString key = TrimBlanksAndControls(text.left(eq));
                if (!key.isEmpty()) {
                    line.Kind = TLineKind::Key;
                    line.Name = key;
                    line.RawValue = text.mid(eq + 1);
                }
            }
        }
        ini.Lines.append(line);
    }
    return ini;
}

QString CleanValue(const QString &raw)
{
    // The value is a zero-terminated text there: a NUL ends it.
    const qsizetype nul = raw.indexOf(QChar(0));
    QString v = TrimBlanksAndControls(nul < 0 ? raw : raw.left(nul));
    if (v.size() >= 2 && v.startsWith(u'"') && v.endsWith(u'"'))
        v = v.mid(1, v.size() - 2);
    if (v.size() > kMaxValueLength) {
        qsizetype cut = kMaxValueLength;
        if (v[cut - 1].isHighSurrogate())
            --cut;
        v.truncate(cut);
    }
    return v;
}

// The first section of each name and the first key of each name within it.
struct TIniLookup {
    QHash<QString, QHash<QString, QString>> Sections;
};

TIniLookup BuildLookup(const TIniText &ini)
{
    TIniLookup lookup;
    QHash<QString, QString> *current = nullptr;
    for (const TIniLine &line : ini.Lines) {
        if (line.Kind == TLineKind::Section) {
            const QString name = Fold(line.Name);
            current = lookup.Sections.contains(name) ? nullptr : &lookup.Sections[name];
        } else if (line.Kind == TLineKind::Key && current) {
            const QString key = Fold(line.Name);
            if (!current->contains(key))
                current->insert(key, CleanValue(line.RawValue));
        }
    }
    return lookup;
}

// Identity of a file's current content: any write, rename or edit changes it.
struct TFileStamp {
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = 0;
    int64_t ModifiedNs = 0;
    int64_t ChangedNs = 0;
    bool operator==(const TFileStamp &o) const
    {
        return Device == o.Device && Inode == o.Inode && Size == o.Size && ModifiedNs == o.ModifiedNs &&
               ChangedNs == o.ChangedNs;
    }
};

/// The files checked in the read scope of this thread, while one is open.
struct TReadScopeState {
    int Depth = 0;
    QHash<QString, std::optional<TFileStamp>> Checked;
    QString LastName; // the file asked for last, and what was found
    std::optional<TFileStamp> LastStamp;
};
thread_local TReadScopeState t_scope;

bool StatFile(const QString &fileName, TFileStamp &stamp);

bool StampOf(const QString &fileName, TFileStamp &stamp)
{
    if (t_scope.Depth == 0)
        return StatFile(fileName, stamp);
    if (!t_scope.LastName.isNull() && fileName == t_scope.LastName) {
        if (t_scope.LastStamp)
            stamp = *t_scope.LastStamp;
        return t_scope.LastStamp.has_value();
    }
    std::optional<TFileStamp> found;
    const auto it = t_scope.Checked.constFind(fileName);
    if (it != t_scope.Checked.constEnd()) {
        found = *it;
    } else {
        if (StatFile(fileName, stamp))
            found = stamp;
        t_scope.Checked.insert(fileName, found);
    }
    t_scope.LastName = fileName;
    t_scope.LastStamp = found;
    if (found)
        stamp = *found;
    return found.has_value();
}

bool StatFile(const QString &fileName, TFileStamp &stamp)
{
    // The same few files are asked for over and over: keep the last encoded name.
    thread_local QString lastName;
    thread_local QByteArray lastEncoded;
    if (fileName != lastName) {
        lastName = fileName;
        lastEncoded = QFile::encodeName(fileName);
    }
    struct stat st;
    if (::stat(lastEncoded.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    stamp.Device = st.st_dev;
    stamp.Inode = st.st_ino;
    stamp.Size = st.st_size;
    stamp.ModifiedNs = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.ChangedNs = int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return true;
}

// Language texts are looked up constantly; a parsed file is kept only as long
// as the file on disk is unchanged, so every change shows at the next lookup.
struct TCacheEntry {
    TFileStamp Stamp;
    TIniLookup Lookup;
};
QMutex g_cacheMutex;
QHash<QString, TCacheEntry> g_cache;
constexpr int kMaxCachedFiles = 32;
// Settings, language and check files are small: a larger file is not one of them.
constexpr qint64 kMaxIniBytes = 8 << 20;

// Beside it, each thread remembers the answers to the sections and keys asked
// for as written (before folding), for the few files it reads, while the file's
// stamp is the one they were read with and nothing was written through here.
std::atomic<quint64> g_writes{0};
struct TKnownFile {
    QString FileName;
    TFileStamp Stamp;
    quint64 Writes = 0;
    QHash<QString, QHash<QString, std::optional<QString>>> Answers;
};
constexpr int kKnownFiles = 4;
constexpr int kMaxKnownAnswers = 4096;
thread_local TKnownFile t_known[kKnownFiles];
thread_local int t_nextKnown = 0;

/// The answers known for the file in the state `stamp`; emptied when it changed.
TKnownFile &KnownFile(const QString &fileName, const TFileStamp &stamp)
{
    const quint64 writes = g_writes.load(std::memory_order_relaxed);
    TKnownFile *slot = nullptr;
    for (TKnownFile &k : t_known)
        if (k.FileName == fileName) {
            slot = &k;
            break;
        }
    if (slot == nullptr) {
        slot = &t_known[t_nextKnown];
        t_nextKnown = (t_nextKnown + 1) % kKnownFiles;
        slot->FileName = fileName;
        slot->Answers.clear();
    } else if (!(slot->Stamp == stamp) || slot->Writes != writes || slot->Answers.size() > kMaxKnownAnswers) {
        slot->Answers.clear();
    }
    slot->Stamp = stamp;
    slot->Writes = writes;
    return *slot;
}

bool LookupOf(const QString &fileName, TIniLookup &lookup, TFileStamp &stamp)
{
    TFileStamp before;
    if (fileName.isEmpty() || !StampOf(fileName, before))
        return false;
    stamp = before;
    {
        QMutexLocker lock(&g_cacheMutex);
        const auto it = g_cache.constFind(fileName);
        if (it != g_cache.constEnd() && it->Stamp == before) {
            lookup = it->Lookup;
            return true;
        }
    }
    QFile file(fileName);
    if (before.Size > kMaxIniBytes || !file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes;
    if (!ReadAtMost(file, kMaxIniBytes, bytes))
        return false;
    file.close();
    lookup = BuildLookup(ParseIni(bytes));
    TFileStamp after;
    // Keep it only when nobody wrote the file while it was read.
    if (StatFile(fileName, after) && after == before && after.Size == bytes.size()) {
        QMutexLocker lock(&g_cacheMutex);
        if (g_cache.size() >= kMaxCachedFiles)
            g_cache.clear();
        g_cache.insert(fileName, {after, lookup});
    }
    return true;
}

bool LookupOf(const QString &fileName, TIniLookup &lookup)
{
    TFileStamp stamp;
    return LookupOf(fileName, lookup, stamp);
}

void Forget(const QString &fileName)
{
    g_writes.fetch_add(1, std::memory_order_relaxed);
    t_scope.Checked.remove(fileName);
    if (fileName == t_scope.LastName) {
        t_scope.LastName.clear();
        t_scope.LastStamp.reset();
    }
    QMutexLocker lock(&g_cacheMutex);
    g_cache.remove(fileName);
}

// The value as the line holds it, so that reading strips back exactly what was
// written: blanks at either end, or a quote at both, are kept inside quotes.
QString StoredValue(const QString &value)
{
    const bool needsQuotes = TrimBlanksAndControls(value) != value ||
                             (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'));
    return needsQuotes ? u'"' + value + u'"' : value;
}

bool HasLineBreak(const QString &s)
{
    return s.contains(u'\n') || s.contains(u'\r') || s.contains(QChar(0));
}

} // namespace

QString IniReadString(const QString &fileName, const QString &section, const QString &key, const QString &def)
{
    TFileStamp stamp;
    if (fileName.isEmpty() || !StampOf(fileName, stamp))
        return def;
    TKnownFile &known = KnownFile(fileName, stamp);
    const auto sectionAnswers = known.Answers.constFind(section);
    if (sectionAnswers != known.Answers.constEnd()) {
        const auto answer = sectionAnswers->constFind(key);
        if (answer != sectionAnswers->constEnd())
            return *answer ? **answer : def;
    }
    TIniLookup lookup;
    TFileStamp read;
    if (!LookupOf(fileName, lookup, read))
        return def;
    std::optional<QString> value;
    const auto sec = lookup.Sections.constFind(Fold(section));
    if (sec != lookup.Sections.constEnd()) {
        const auto found = sec->constFind(Fold(key));
        if (found != sec->constEnd())
            value = *found;
    }
    if (read == stamp)
        known.Answers[section].insert(key, value);
    return value ? *value : def;
}

bool IniKeyExists(const QString &fileName, const QString &section, const QString &key)
{
    TIniLookup lookup;
    if (!LookupOf(fileName, lookup))
        return false;
    const auto sec = lookup.Sections.constFind(Fold(section));
    return sec != lookup.Sections.constEnd() && sec->contains(Fold(key));
}

namespace {

/// The file's text with key=value in the section: its line changed (the key
/// keeps the file's spelling), or added after the section's last line, or in a
/// new section at the end. New lines take the file's own line end and code page.
QByteArray WithValue(const TIniText &ini, const QString &sectionName, const QString &keyName, const QString &value)
{
    const QByteArray &bytes = ini.Bytes;
    // The file's own line end; CRLF files stay CRLF, CR files CR.
    QByteArray eol = "\n";
    for (const TIniLine &line : ini.Lines) {
        if (line.EndLength > 0) {
            eol = bytes.mid(line.Start + line.Length, line.EndLength);
            break;
        }
    }
    // New lines follow the file's code page where they can, but only where the
    // bytes read back as the same text: Windows-1252 bytes that happen to form
    // UTF-8 ("Ã©" is C3 A9) would read back as other characters.
    auto encode = [&](const QString &text) {
        QByteArray out;
        if (ini.AnyLegacy && EncodeWindows1252(text, out) && DecodeText8Bit(out) == text)
            return out;
        return text.toUtf8();
    };

    const QString wantedSection = Fold(sectionName);
    const QString wantedKey = Fold(keyName);
    qsizetype sectionLine = -1;
    for (qsizetype i = 0; i < ini.Lines.size(); ++i) {
        if (ini.Lines[i].Kind == TLineKind::Section && Fold(ini.Lines[i].Name) == wantedSection) {
            sectionLine = i;
            break;
        }
    }
    QByteArray out;
    if (sectionLine < 0) {
        out = bytes;
        if (!out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r'))
            out += eol;
        out += encode(u'[' + sectionName + u']');
        out += eol;
        out += encode(keyName + u'=' + StoredValue(value));
        out += eol;
        return out;
    }
    qsizetype keyLine = -1;
    qsizetype lastFilled = sectionLine;
    for (qsizetype i = sectionLine + 1; i < ini.Lines.size(); ++i) {
        const TIniLine &line = ini.Lines[i];
        if (line.Kind == TLineKind::Section)
            break;
        if (line.Kind == TLineKind::Key && Fold(line.Name) == wantedKey) {
            keyLine = i;
            break;
        }
        if (!line.Blank)
            lastFilled = i;
    }
    if (keyLine >= 0) {
        const TIniLine &line = ini.Lines[keyLine];
        out = bytes.left(line.Start);
        out += encode(line.Name + u'=' + StoredValue(value));
        out += bytes.mid(line.Start + line.Length);
        return out;
    }
    const TIniLine &after = ini.Lines[lastFilled];
    const qsizetype insertAt = after.Start + after.Length + after.EndLength;
    out = bytes.left(insertAt);
    if (after.EndLength == 0)
        out += eol;
    out += encode(keyName + u'=' + StoredValue(value));
    out += eol;
    out += bytes.mid(insertAt);
    return out;
}

// Programs started together each read the file, change one line and replace
// it: without a lock between processes, the last one would drop the others'
// lines. A write holds the lock for milliseconds; one older than the stale
// time belongs to a program that hangs, and a lock not had within the wait
// fails the write rather than the start.
constexpr int kLockWaitMs = 5000;
constexpr int kStaleLockMs = 10000;

/// Takes the lock, trying again every few milliseconds (QLockFile's own wait
/// doubles its pauses up to seconds) until the wait is over.
bool TakeLock(QLockFile &lock)
{
    lock.setStaleLockTime(kStaleLockMs);
    const QDeadlineTimer wait(kLockWaitMs);
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || wait.hasExpired())
            return false;
        QThread::msleep(2);
    }
    return true;
}

} // namespace

bool IniWriteString(const QString &fileName, const QString &section, const QString &key, const QString &value)
{
    // A line break inside any part would add lines of its own to the file.
    const QString sectionName = TrimBlanksAndControls(section);
    const QString keyName = TrimBlanksAndControls(key);
    if (fileName.isEmpty() || HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) ||
        keyName.isEmpty() || keyName.contains(u'=') || keyName.startsWith(u';') || keyName.startsWith(u'[') ||
        sectionName.contains(u']') || value.size() > kMaxValueLength)
        return false;

    QLockFile lock(fileName + QStringLiteral(".lock"));
    if (!TakeLock(lock))
        return false;

    // Only a regular file (or a link to one) is read and replaced: a pipe would
    // block for ever, a device would be replaced by a plain file.
    QByteArray fileBytes;
    const QFileInfo info(fileName);
    if (info.exists() || info.isSymLink()) {
        if (!info.isFile() || info.size() > kMaxIniBytes)
            return false;
        QFile existing(fileName);
        if (!existing.open(QIODevice::ReadOnly))
            return false;
        if (!ReadAtMost(existing, kMaxIniBytes, fileBytes))
            return false;
    }
    const TIniText ini = ParseIni(fileBytes);
    QByteArray out = WithValue(ini, sectionName, keyName, value);
    // A UTF-16 file stays UTF-16, with its byte order mark.
    if (ini.Utf16 != TUtf16Order::None)
        out = EncodeUtf16(QString::fromUtf8(out), ini.Utf16);

    // Written beside the file and renamed over it: a failed write leaves the old file whole.
    QString error;
    const bool ok = WriteFileSafely(
        fileName, [&](QIODevice &file) { return file.write(out) == out.size(); }, error);
    Forget(fileName);
    return ok;
}

TIniReadScope::TIniReadScope() { ++t_scope.Depth; }

TIniReadScope::~TIniReadScope()
{
    if (--t_scope.Depth == 0)
        t_scope.Checked.clear();
}
