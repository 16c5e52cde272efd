#include "Catalogue.h"
#include "CatalogueCache.h"
#include "CatalogueData.h"
#include "CatalogueRecords.h"
#include "Globals.h"
#include "TextUtils.h"
#include "Vendor.h"

#include <cmath>
#include <vector>

namespace {

// What is known of one stored text, filled on first use.
struct TTextEntry {
    QString Text;
    bool IntRead = false;
    bool IntOk = false;
    int32_t IntValue = 0;
    bool DecimalRead = false;
    float DecimalValue = 0.0f;
    bool CurveRead = false;
    TDatasheetData Curve;
};

class TCatalogueStore {
public:
    TCatalogueStore()
    {
        m_entries.resize(size_t(kUpsRecordCount + kAccessoryRecordCount) * kCatalogueFields);
        for (int32_t r = 0; r < kUpsRecordCount; ++r)
            for (int32_t f = 0; f < kCatalogueFields; ++f)
                if (const char *t = kUpsTexts[r][f])
                    m_entries[size_t(r) * kCatalogueFields + f].Text = QString::fromLatin1(t);
        for (int32_t r = 0; r < kAccessoryRecordCount; ++r)
            for (int32_t f = 0; f < kCatalogueFields; ++f)
                if (const char *t = kAccessoryTexts[r][f])
                    m_entries[size_t(kUpsRecordCount + r) * kCatalogueFields + f].Text = QString::fromLatin1(t);
    }

    /// The entry of a text id; nullptr when the id is outside both areas.
    TTextEntry *Entry(int64_t textId)
    {
        const int64_t upsEnd = int64_t(kUpsArea) + int64_t(kUpsRecordCount) * kCatalogueFields;
        const int64_t accEnd = int64_t(kAccessoryArea) + int64_t(kAccessoryRecordCount) * kCatalogueFields;
        if (textId >= kUpsArea && textId < upsEnd)
            return &m_entries[size_t(textId - kUpsArea)];
        if (textId >= kAccessoryArea && textId < accEnd)
            return &m_entries[size_t(int64_t(kUpsRecordCount) * kCatalogueFields + (textId - kAccessoryArea))];
        return nullptr;
    }

private:
    std::vector<TTextEntry> m_entries;
};

TCatalogueStore &Store()
{
    static TCatalogueStore store;
    return store;
}

TTextEntry *FieldEntry(int32_t recordId, int32_t field) { return Store().Entry(int64_t(recordId) + field); }

const TTextEntry *IntEntry(int32_t recordId, int32_t field)
{
    TTextEntry *e = FieldEntry(recordId, field);
    if (e && !e->IntRead) {
        e->IntRead = true;
        e->IntOk = !e->Text.isEmpty() && ParseInteger(e->Text, e->IntValue, false);
    }
    return e;
}

const QString &EmptyText()
{
    static const QString empty;
    return empty;
}

} // namespace

bool LanguageListAdmits(const QString &list, int32_t languageId)
{
    const QStringList items = SplitBar(list);
    if (items.size() == 1) {
        int32_t v = 0;
        return ParseInteger(items.first(), v, false) && (v == 0 || v == languageId);
    }
    for (const QString &item : items) {
        int32_t v = 0;
        if (ParseInteger(item, v, false) && v == languageId)
            return true;
    }
    return false;
}

const QString &CatalogueText(int32_t textId)
{
    const TTextEntry *e = Store().Entry(textId);
    return e ? e->Text : EmptyText();
}

QString CatalogueField(int32_t recordId, int32_t field)
{
    const TTextEntry *e = FieldEntry(recordId, field);
    return e ? e->Text : QString();
}

int32_t CatalogueInt(int32_t recordId, int32_t field, int32_t def)
{
    const TTextEntry *e = IntEntry(recordId, field);
    return e && e->IntOk ? e->IntValue : def;
}

bool CatalogueFlag(int32_t recordId, int32_t field) { return CatalogueInt(recordId, field, 0) == 1; }

float CatalogueDecimal(int32_t recordId, int32_t field)
{
    TTextEntry *e = FieldEntry(recordId, field);
    if (!e)
        return 0.0f;
    if (!e->DecimalRead) {
        // Kept, so an unreadable text reports its error once per run.
        e->DecimalValue = ParseDecimal(e->Text);
        e->DecimalRead = true;
    }
    return e->DecimalValue;
}

const TDatasheetData &CatalogueCurve(int32_t recordId, int32_t field)
{
    static const TDatasheetData none;
    TTextEntry *e = FieldEntry(recordId, field);
    if (!e)
        return none;
    if (!e->CurveRead) {
        ReadCurveText(e->Text, e->Curve);
        e->CurveRead = true;
    }
    return e->Curve;
}

TIntegerArray ListRecords(int32_t areaStart, int32_t family)
{
    TIntegerArray ids;
    for (int64_t rec = areaStart; rec <= std::numeric_limits<int32_t>::max(); rec += kCatalogueFields) {
        const TTextEntry *e = IntEntry(int32_t(rec), 0);
        if (!e || !e->IntOk)
            break;
        if (family == -1 || e->IntValue == family)
            ids.append(int32_t(rec));
    }
    return ids;
}

TIntegerArray OfferedUpsItems(int32_t family)
{
    TIntegerArray offered;
    for (int32_t rec : ListRecords(kUpsArea, family)) {
        const int32_t code = CatalogueRecord(rec).ProductCode;
        if (code == -1)
            continue;
        QString flag;
        if (GetVendorText(code + 1, flag) && flag == QLatin1String("1"))
            offered.append(rec);
    }
    return offered;
}

TIntegerArray OfferedAccessoryItems(int32_t family, int32_t languageId)
{
    TIntegerArray offered;
    for (int32_t rec : ListRecords(kAccessoryArea, family)) {
        const int32_t code = CatalogueRecord(rec).ProductCode;
        if (code == -1 || VendorInt(code + 1, 0) != 1)
            continue;
        QString languages;
        if (GetVendorText(code + 2, languages) && LanguageListAdmits(languages, languageId))
            offered.append(rec);
    }
    return offered;
}


QString ArticleCode(int32_t recordId)
{
    const int32_t code = CatalogueRecord(recordId).ProductCode;
    QString text;
    if (code == -1 || !GetVendorText(code, text))
        return QString();
    return text;
}

bool ReadCurve(int32_t recordId, int32_t field, TDatasheetData &curve)
{
    curve = CatalogueCurve(recordId, field);
    return !curve.isEmpty();
}

bool ReadCurveText(const QString &text, TDatasheetData &curve)
{
    curve.clear();
    for (const QString &item : SplitBar(text)) {
        const qsizetype p = item.indexOf(QLatin1Char(';'));
        if (p < 0)
            continue; // not a pair
        TDatasheetPoint point;
        point.X = ParseDecimal(item.left(p).trimmed());
        point.Y = ParseDecimal(item.mid(p + 1).trimmed());
        curve.append(point);
    }
    return !curve.isEmpty();
}

float CurveLookup(const TDatasheetData &curve, TLookup direction, float value)
{
    const bool byX = direction == TLookup::ByX;
    const qsizetype n = curve.size();
    const TDatasheetPoint *p = curve.constData();
    for (qsizetype k = 0; k < n; ++k) {
        const float key = byX ? p[k].X : p[k].Y;
        const float result = byX ? p[k].Y : p[k].X;
        if (key == value)
            return result;
        const bool qualifies = byX ? key > value : key < value;
        if (!qualifies || k == 0)
            continue;
        const float prevKey = byX ? p[k - 1].X : p[k - 1].Y;
        const float prevResult = byX ? p[k - 1].Y : p[k - 1].X;
        const float span = key - prevKey;
        if (span == 0.0f)
            return prevResult; // two points on the same key: no slope to follow
        return prevResult + (result - prevResult) * (value - prevKey) / span;
    }
    return -1.0f;
}

int32_t RoundUpAboveThreshold(float threshold, float value)
{
    const float whole = std::trunc(value);
    const int32_t n = TruncToInt32(value);
    if (value - whole > threshold && n < std::numeric_limits<int32_t>::max())
        return n + 1;
    return n;
}

int32_t RoundUp(float value)
{
    if (std::isnan(value))
        return 0;
    return ClampToInt32(RoundEven64(double(std::ceil(value))));
}

int32_t CabinetSlots(int32_t inverterRecord) { return InverterCabinet(inverterRecord).TotalSlots(); }
